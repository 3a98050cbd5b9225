#include "views/browser/PreviewPane.h"

#include "viewmodels/ArchivePreviewWindowModel.h"
#include "views/browser/ArchiveEntryIcon.h"
#include "views/browser/ArchiveEntryTableModel.h"
#include "views/browser/FilePreviewWidget.h"
#include "views/kit/Icons.h"
#include "views/kit/Theme.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QStackedLayout>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

QLabel* centredLabel(QWidget* parent, const QFont& font) {
    auto* label = new QLabel(parent);
    label->setAlignment(Qt::AlignCenter);
    label->setWordWrap(true);
    label->setContentsMargins(24, 0, 24, 0);
    label->setForegroundRole(QPalette::PlaceholderText);
    label->setFont(font);
    return label;
}

}  // namespace

PreviewPane::PreviewPane(ArchivePreviewWindowModel& model, QWidget* parent)
    : QWidget(parent), m_model(model) {
    setMinimumWidth(380);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    m_header = buildHeader();
    layout->addWidget(m_header);
    auto* body = new QWidget(this);
    m_body = new QStackedLayout(body);
    m_placeholder = buildPlaceholder();
    m_body->addWidget(m_placeholder);
    m_filePreview = new FilePreviewWidget(body);
    m_body->addWidget(m_filePreview);
    layout->addWidget(body, 1);

    for (auto signal :
         {&ArchivePreviewWindowModel::selectedEntryIDChanged, &ArchivePreviewWindowModel::entriesChanged,
          &ArchivePreviewWindowModel::previewFileURLChanged,
          &ArchivePreviewWindowModel::isPreviewLoadingChanged,
          &ArchivePreviewWindowModel::previewMessageChanged}) {
        connect(&m_model, signal, this, &PreviewPane::syncFromModel);
    }
    syncFromModel();
}

QWidget* PreviewPane::buildHeader() {
    auto* header = new QFrame(this);
    header->setAutoFillBackground(true);
    header->setBackgroundRole(QPalette::Window);
    header->setFrameShape(QFrame::StyledPanel);
    auto* row = new QHBoxLayout(header);
    row->setContentsMargins(14, 10, 14, 10);
    row->setSpacing(10);
    m_headerIcon = new QLabel(header);
    row->addWidget(m_headerIcon);
    auto* texts = new QVBoxLayout;
    texts->setSpacing(2);
    m_headerName = new QLabel(header);
    m_headerName->setFont(Theme::font(Theme::TextStyle::headline));
    m_headerDetail = new QLabel(header);
    m_headerDetail->setFont(Theme::font(Theme::TextStyle::caption));
    m_headerDetail->setForegroundRole(QPalette::PlaceholderText);
    texts->addWidget(m_headerName);
    texts->addWidget(m_headerDetail);
    row->addLayout(texts, 1);
    auto* reveal = new QToolButton(header);
    reveal->setIcon(Icons::icon(QStringLiteral("magnifier"), Theme::color(Theme::Colour::primary)));
    reveal->setToolTip(QStringLiteral(u"在文件管理器中显示压缩包"));
    connect(reveal, &QToolButton::clicked, this, [this] { m_model.revealArchiveInFileManager(); });
    row->addWidget(reveal);
    return header;
}

QWidget* PreviewPane::buildPlaceholder() {
    auto* placeholder = new QWidget(this);
    auto* column = new QVBoxLayout(placeholder);
    column->setSpacing(10);
    column->addStretch();
    m_placeholderIcon = new QLabel(placeholder);
    m_placeholderIcon->setAlignment(Qt::AlignCenter);
    column->addWidget(m_placeholderIcon);
    m_placeholderMessage = centredLabel(placeholder, Theme::font(Theme::TextStyle::title3, QFont::DemiBold));
    column->addWidget(m_placeholderMessage);
    m_placeholderPath = centredLabel(placeholder, Theme::font(Theme::TextStyle::caption));
    column->addWidget(m_placeholderPath);
    column->addStretch();
    return placeholder;
}

QString PreviewPane::placeholderMessage() const { return m_placeholderMessage->text(); }

bool PreviewPane::showsHeader() const { return !m_header->isHidden(); }

void PreviewPane::syncFromModel() {
    const std::optional<ArchivePreviewEntry> entry = m_model.selectedEntry();
    m_header->setHidden(!entry);
    if (entry) {
        m_headerIcon->setPixmap(ArchiveEntryIcon::icon(*entry).pixmap(24, 24));
        const QString name = ArchiveEntryTableModel::displayName(entry->path);
        m_headerName->setText(m_headerName->fontMetrics().elidedText(name, Qt::ElideMiddle, 300));
        QStringList detail{entry->kindDescription.isEmpty() ? QStringLiteral(u"文件")
                                                            : entry->kindDescription};
        if (!entry->sizeDescription.isEmpty()) detail << entry->sizeDescription;
        m_headerDetail->setText(detail.join(QStringLiteral(" · ")));
    }
    if (entry && m_model.previewFileURL()) {
        m_filePreview->setFile(*m_model.previewFileURL());
        m_body->setCurrentWidget(m_filePreview);
        return;
    }
    // A preview being prepared shows the small generic symbol; otherwise the entry's own icon.
    const bool preparing = entry && m_model.isPreviewLoading();
    if (entry && !preparing) {
        m_placeholderIcon->setPixmap(ArchiveEntryIcon::icon(*entry).pixmap(56, 56));
    } else {
        m_placeholderIcon->setPixmap(Icons::pixmap(QStringLiteral("document-in-frame"), preparing ? 40 : 52,
                                                   Theme::color(Theme::Colour::secondary)));
    }
    m_placeholderMessage->setText(m_model.previewMessage());
    m_placeholderMessage->setHidden(m_model.previewMessage().isEmpty());
    m_placeholderPath->setText(entry ? entry->path : QString());
    m_placeholderPath->setHidden(!entry);
    m_body->setCurrentWidget(m_placeholder);
}
