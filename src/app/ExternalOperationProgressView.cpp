#include "app/ExternalOperationProgressView.h"

#include "app/ExternalOperationProgressModel.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

constexpr int kProgressSteps = 1000;

QFont pixelFont(int pixelSize, bool bold = false) {
    QFont font;
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}

}  // namespace

ExternalOperationProgressView::ExternalOperationProgressView(ExternalOperationProgressModel& model,
                                                             QWidget* parent)
    : QWidget(parent),
      m_model(model),
      m_percentLabel(new QLabel(this)),
      m_outcomeIcon(new QLabel(this)),
      m_titleLabel(new QLabel(this)),
      m_messageLabel(new QLabel(this)),
      m_progressBar(new QProgressBar(this)),
      m_cancelButton(new QPushButton(QStringLiteral(u"✕  取消"), this)) {
    m_percentLabel->setFont(pixelFont(13, true));
    m_percentLabel->setFixedWidth(48);
    m_percentLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_percentLabel->setStyleSheet(QStringLiteral("color: #0a84ff;"));
    m_outcomeIcon->setFont(pixelFont(17, true));
    m_titleLabel->setFont(pixelFont(13, true));
    m_messageLabel->setFont(pixelFont(12));
    m_messageLabel->setStyleSheet(QStringLiteral("color: #6e6e73;"));
    m_messageLabel->setMinimumWidth(1);
    m_progressBar->setRange(0, kProgressSteps);
    m_progressBar->setTextVisible(false);
    m_cancelButton->setStyleSheet(QStringLiteral("color: #ff3b30;"));
    connect(m_cancelButton, &QPushButton::clicked, this, &ExternalOperationProgressView::cancelRequested);

    auto* header = new QHBoxLayout;
    header->setSpacing(12);
    header->addWidget(m_percentLabel);
    header->addWidget(m_outcomeIcon);
    header->addWidget(m_titleLabel, 1);
    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(12);
    buttons->addStretch(1);
    buttons->addWidget(m_cancelButton);
    auto* layout = new QVBoxLayout(this);
    layout->setSpacing(14);
    layout->setContentsMargins(22, 22, 22, 22);
    layout->addLayout(header);
    layout->addWidget(m_messageLabel);
    layout->addWidget(m_progressBar);
    layout->addLayout(buttons);
    layout->addStretch(1);

    connect(&m_model, &ExternalOperationProgressModel::changed, this,
            &ExternalOperationProgressView::syncFromModel);
    syncFromModel();
}

void ExternalOperationProgressView::syncFromModel() {
    const bool running = !m_model.isFinished();
    m_percentLabel->setVisible(running);
    m_percentLabel->setText(ExternalOperationProgressModel::percentText(m_model.progress()));
    m_outcomeIcon->setVisible(!running);
    m_outcomeIcon->setText(m_model.isError() ? QStringLiteral(u"✖") : QStringLiteral(u"✔"));
    m_outcomeIcon->setStyleSheet(m_model.isError() ? QStringLiteral("color: #ff3b30;")
                                                   : QStringLiteral("color: #34c759;"));
    m_titleLabel->setText(m_model.title());
    m_progressBar->setVisible(running);
    m_progressBar->setValue(static_cast<int>(m_model.progress() * kProgressSteps));
    m_cancelButton->setVisible(running);
    showElidedMessage();
}

void ExternalOperationProgressView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    showElidedMessage();
}

// Long paths lose their middle, so both the folder and the name stay readable.
void ExternalOperationProgressView::showElidedMessage() {
    const QString message = m_model.message();
    m_messageLabel->setToolTip(message);
    m_messageLabel->setText(
        m_messageLabel->fontMetrics().elidedText(message, Qt::ElideMiddle, m_messageLabel->width()));
}
