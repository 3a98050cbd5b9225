#include "views/browser/FilePreviewWidget.h"

#include "platform/ByteCountFormatter.h"
#include "views/browser/ArchiveEntryIcon.h"

#include <QFontDatabase>
#include <QLabel>
#include <QPlainTextEdit>
#include <QStackedLayout>
#include <QTextDocument>
#include <QVBoxLayout>
#include <QtConcurrent/QtConcurrentRun>

namespace {
constexpr int kImagePadding = 12;
}

FilePreviewWidget::FilePreviewWidget(QWidget* parent) : QWidget(parent) {
    m_stack = new QStackedLayout(this);
    m_stack->setContentsMargins(0, 0, 0, 0);

    m_image = new QLabel(this);
    m_image->setAlignment(Qt::AlignCenter);
    m_image->setAutoFillBackground(true);
    m_image->setBackgroundRole(QPalette::Base);
    m_image->setMinimumSize(1, 1);
    m_stack->addWidget(m_image);

    m_text = new QPlainTextEdit(this);
    m_text->setReadOnly(true);
    m_text->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    // Text that touches the pane's edge reads as cut off.
    m_text->document()->setDocumentMargin(12);
    m_stack->addWidget(m_text);

    m_card = new QWidget(this);
    auto* cardLayout = new QVBoxLayout(m_card);
    cardLayout->setSpacing(10);
    cardLayout->addStretch();
    m_cardIcon = new QLabel(m_card);
    m_cardName = new QLabel(m_card);
    m_cardDetail = new QLabel(m_card);
    for (QLabel* label : {m_cardIcon, m_cardName, m_cardDetail}) {
        label->setAlignment(Qt::AlignCenter);
        label->setWordWrap(label != m_cardIcon);
        cardLayout->addWidget(label);
    }
    QFont nameFont = m_cardName->font();
    nameFont.setPixelSize(15);
    nameFont.setBold(true);
    m_cardName->setFont(nameFont);
    m_cardDetail->setForegroundRole(QPalette::PlaceholderText);
    cardLayout->addStretch();
    m_stack->addWidget(m_card);

    connect(&m_watcher, &QFutureWatcher<FilePreviewContent>::finished, this,
            [this] { show(m_watcher.result()); });
}

FilePreviewWidget::~FilePreviewWidget() { m_watcher.waitForFinished(); }

void FilePreviewWidget::setFile(const QString& fileURL) {
    if (fileURL == m_file) return;
    m_file = fileURL;
    m_shownKind.reset();
    // The finished signal of a replaced future is not delivered once a new one is set.
    m_watcher.setFuture(QtConcurrent::run(&FilePreviewContent::load, fileURL));
}

void FilePreviewWidget::show(const FilePreviewContent& content) {
    switch (content.kind) {
        case FilePreviewContent::Kind::image:
        case FilePreviewContent::Kind::pdf:
            m_fullImage = content.image;
            updateScaledImage();
            m_stack->setCurrentWidget(m_image);
            break;
        case FilePreviewContent::Kind::text:
            m_text->setPlainText(content.text);
            m_stack->setCurrentWidget(m_text);
            break;
        case FilePreviewContent::Kind::card:
            showCard(content);
            break;
    }
    m_shownKind = content.kind;
}

void FilePreviewWidget::showCard(const FilePreviewContent& content) {
    m_cardIcon->setPixmap(ArchiveEntryIcon::fileIcon(content.fileName).pixmap(64, 64));
    m_cardName->setText(content.fileName);
    m_cardDetail->setText(content.typeDescription + QStringLiteral(" · ") +
                          ByteCountFormatter::fileStyle(content.byteSize));
    m_stack->setCurrentWidget(m_card);
}

void FilePreviewWidget::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    updateScaledImage();
}

void FilePreviewWidget::updateScaledImage() {
    if (m_fullImage.isNull()) return;
    const QSize room = (size() - QSize(2 * kImagePadding, 2 * kImagePadding)).expandedTo(QSize(1, 1));
    // Fitted to the room, never enlarged.
    const QSize fitted = m_fullImage.size().scaled(room, Qt::KeepAspectRatio).boundedTo(m_fullImage.size());
    m_image->setPixmap(
        QPixmap::fromImage(m_fullImage.scaled(fitted, Qt::KeepAspectRatio, Qt::SmoothTransformation)));
}
