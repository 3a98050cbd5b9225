#include "views/main/RecentHistoryList.h"

#include "viewmodels/DateFormattingHelper.h"
#include "viewmodels/HomeViewModel.h"
#include "viewmodels/WorkbenchContext.h"
#include "views/kit/ElidedLabel.h"
#include "views/kit/EmptyState.h"
#include "views/kit/FileIcon.h"
#include "views/kit/Labels.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

const QString kRowName = QStringLiteral("historyRow");

QWidget* historyRow(const ArchiveHistoryRecord& record, QWidget* parent) {
    auto* row = new QWidget(parent);
    row->setObjectName(kRowName);
    row->setProperty("fileName", record.fileName);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 6, 0, 6);
    layout->addWidget(new FileIcon(record.kind, 38, row));
    auto* texts = new QVBoxLayout;
    texts->setSpacing(2);
    auto* name = new ElidedLabel(record.fileName, row);
    name->setFont(Theme::font(Theme::TextStyle::headline));
    texts->addWidget(name);
    auto* path = new ElidedLabel(record.path, row);
    path->setFont(Theme::font(Theme::TextStyle::caption));
    path->setColor(Theme::color(Theme::Colour::secondary));
    texts->addWidget(path);
    layout->addLayout(texts, 1);
    layout->addWidget(Labels::make(DateFormattingHelper::dateTime(record.createdAt), Theme::TextStyle::body,
                                   Theme::Colour::secondary, row));
    return row;
}

}  // namespace

RecentHistoryList::RecentHistoryList(HomeViewModel& model, QWidget* parent)
    : Card(parent),
      m_model(model),
      m_allHistory(new QPushButton(QStringLiteral(u"查看全部历史记录"), this)),
      m_rows(new QVBoxLayout) {
    auto* header = new QHBoxLayout;
    header->addWidget(Labels::make(QStringLiteral(u"最近解压"), Theme::TextStyle::title3, QFont::Bold));
    header->addStretch();
    header->addWidget(m_allHistory);
    contentLayout()->addLayout(header);
    m_rows->setSpacing(0);
    contentLayout()->addLayout(m_rows);
    contentLayout()->addStretch();

    connect(m_allHistory, &QPushButton::clicked, this,
            [&model] { model.context().setSelectedSection(WorkbenchSection::history); });
    connect(&m_model, &HomeViewModel::recentHistoryChanged, this, &RecentHistoryList::rebuild);
    rebuild();
}

QStringList RecentHistoryList::shownFileNames() const {
    QStringList names;
    for (const QWidget* row : findChildren<QWidget*>(kRowName))
        names.append(row->property("fileName").toString());
    return names;
}

bool RecentHistoryList::showsEmptyState() const { return findChild<EmptyState*>() != nullptr; }

void RecentHistoryList::rebuild() {
    while (QLayoutItem* item = m_rows->takeAt(0)) {
        delete item->widget();
        delete item;
    }
    const QList<ArchiveHistoryRecord> history = m_model.recentHistory();
    if (history.isEmpty()) {
        m_rows->addWidget(new EmptyState(QStringLiteral(u"暂无最近记录"), QStringLiteral("clock"), this));
        return;
    }
    for (const ArchiveHistoryRecord& record : history) {
        m_rows->addWidget(historyRow(record, this));
        m_rows->addWidget(Labels::divider(Qt::Horizontal, this));
    }
}
