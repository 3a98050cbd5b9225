#include "views/kit/FileList.h"

#include "core/base/FileNameHelper.h"
#include "viewmodels/SelectionSizes.h"
#include "views/kit/ElidedLabel.h"
#include "views/kit/FileIcon.h"
#include "views/kit/Labels.h"
#include "views/kit/WorkbenchTexts.h"

#include <QFileInfo>
#include <QFrame>
#include <QHBoxLayout>
#include <QVBoxLayout>

namespace {

const char* const kPathProperty = "velmoraPath";

}  // namespace

FileList::FileList(ArchiveActivityKind kind, const SelectionSizes& sizes, QWidget* parent)
    : QWidget(parent), m_kind(kind), m_sizes(sizes), m_rows(new QVBoxLayout(this)) {
    m_rows->setContentsMargins(0, 0, 0, 0);
    m_rows->setSpacing(0);
    connect(&sizes, &SelectionSizes::changed, this, &FileList::refreshSizes);
}

void FileList::setPaths(const QStringList& paths) {
    if (paths == m_paths) return;
    m_paths = paths;
    rebuild();
}

QString FileList::sizeText(const QString& path) const {
    const auto size = m_sizes.size(path);
    return size ? WorkbenchTexts::sizeText(*size) : QStringLiteral(u"…");
}

void FileList::rebuild() {
    while (QLayoutItem* item = m_rows->takeAt(0)) {
        delete item->widget();
        delete item;
    }
    for (const QString& path : m_paths) {
        auto* row = new QWidget(this);
        auto* layout = new QHBoxLayout(row);
        layout->setContentsMargins(0, 10, 0, 10);
        layout->addWidget(new FileIcon(m_kind, 38, row));
        auto* name = new ElidedLabel(FileNameHelper::shownName(path), row);
        name->setFont(Theme::font(Theme::TextStyle::headline));
        layout->addWidget(name, 1);
        QLabel* size = Labels::make(sizeText(path), Theme::TextStyle::body, Theme::Colour::secondary, row);
        size->setProperty(kPathProperty, path);
        size->setObjectName(QStringLiteral("sizeText"));
        layout->addWidget(size);
        layout->addWidget(Labels::make(WorkbenchTexts::fileTypeText(path), Theme::TextStyle::body,
                                       Theme::Colour::secondary, row));
        m_rows->addWidget(row);
        m_rows->addWidget(Labels::divider(Qt::Horizontal, this));
    }
}

void FileList::refreshSizes() {
    for (QLabel* label : findChildren<QLabel*>(QStringLiteral("sizeText"))) {
        label->setText(sizeText(label->property(kPathProperty).toString()));
    }
}
