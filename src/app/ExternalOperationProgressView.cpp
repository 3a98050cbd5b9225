#include "app/ExternalOperationProgressView.h"

#include "app/ExternalOperationProgressModel.h"
#include "views/kit/CapsuleProgressBar.h"
#include "views/kit/FeedbackBanner.h"
#include "views/kit/Icons.h"
#include "views/kit/Theme.h"
#include "views/kit/WindowKeys.h"

#include <QCloseEvent>
#include <QFontMetricsF>
#include <QRegularExpression>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

constexpr int kOutcomeIconSize = 22;

QString colourSheet(Theme::Colour colour) {
    return QStringLiteral("color: %1;").arg(Theme::color(colour).name());
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
      m_noteLabel(new QLabel(this)),
      m_progressBar(new CapsuleProgressBar(6, this)),
      m_cancelButton(new QPushButton(Icons::icon(QStringLiteral("cross"), Theme::color(Theme::Colour::red)),
                                     QStringLiteral(u"取消"), this)),
      m_closeButton(new QPushButton(QStringLiteral(u"关闭"), this)) {
    // Escape and Ctrl+W close it as the window manager's close does, asking while the run goes on.
    WindowKeys::install(this);
    m_percentLabel->setFont(Theme::font(Theme::TextStyle::headline));
    m_percentLabel->setFixedWidth(48);
    m_percentLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_percentLabel->setStyleSheet(colourSheet(Theme::Colour::accent));
    m_outcomeIcon->setFixedSize(kOutcomeIconSize, kOutcomeIconSize);
    m_titleLabel->setFont(Theme::font(Theme::TextStyle::headline));
    m_messageLabel->setFont(Theme::font(Theme::TextStyle::callout));
    m_messageLabel->setStyleSheet(colourSheet(Theme::Colour::secondary));
    m_messageLabel->setMinimumWidth(1);
    // Names and reasons, read whole and copyable as a failure's reason is.
    m_noteLabel->setFont(Theme::font(Theme::TextStyle::callout));
    m_noteLabel->setStyleSheet(colourSheet(Theme::Colour::orange));
    m_noteLabel->setWordWrap(true);
    m_noteLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_cancelButton->setStyleSheet(colourSheet(Theme::Colour::red));
    connect(m_cancelButton, &QPushButton::clicked, this, &ExternalOperationProgressView::cancelRequested);
    connect(m_closeButton, &QPushButton::clicked, this, &ExternalOperationProgressView::closeRequested);

    auto* header = new QHBoxLayout;
    header->setSpacing(12);
    header->addWidget(m_percentLabel);
    header->addWidget(m_outcomeIcon);
    header->addWidget(m_titleLabel, 1);
    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(12);
    buttons->addStretch(1);
    buttons->addWidget(m_cancelButton);
    buttons->addWidget(m_closeButton);
    // The window has a fixed size; the content sits in its middle in every state, so the shorter
    // finished state does not leave an empty band at the bottom.
    auto* layout = new QVBoxLayout(this);
    layout->setSpacing(14);
    layout->setContentsMargins(22, 22, 22, 22);
    layout->addStretch(1);
    layout->addLayout(header);
    layout->addWidget(m_messageLabel);
    layout->addWidget(m_noteLabel);
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
    // The banner's symbol for the same kind of outcome.
    const FeedbackBanner::Look look = FeedbackBanner::look(false, m_model.outcome());
    m_outcomeIcon->setPixmap(Icons::pixmap(look.symbol, kOutcomeIconSize, Theme::color(look.colour)));
    m_titleLabel->setText(m_model.title());
    m_noteLabel->setVisible(!m_model.note().isEmpty());
    m_noteLabel->setText(m_model.note());
    m_progressBar->setVisible(running);
    m_progressBar->setProgress(m_model.progress());
    m_cancelButton->setVisible(running);
    m_closeButton->setVisible(!running);
    // A reason must be readable whole, and copyable into a search or a report.
    m_messageLabel->setWordWrap(!running);
    m_messageLabel->setTextInteractionFlags(running ? Qt::NoTextInteraction : Qt::TextSelectableByMouse);
    showElidedMessage();
}

// The window manager's close (Alt+F4, the title bar's button) would leave the operation working with
// nothing to show it, end it or tell its outcome: while it runs, the controller asks first.
void ExternalOperationProgressView::closeEvent(QCloseEvent* event) {
    if (m_model.isFinished()) {
        QWidget::closeEvent(event);
        Q_EMIT closed();
        return;
    }
    event->ignore();
    Q_EMIT closeWhileRunningRequested();
}

void ExternalOperationProgressView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    showElidedMessage();
}

// Long paths lose their middle, so both the folder and the name stay readable.
void ExternalOperationProgressView::showElidedMessage() {
    const QString message = m_model.message();
    if (m_model.isFinished()) {
        const QMargins margins = layout()->contentsMargins();
        const QString shown =
            fittedMessage(message, m_messageLabel->font(), width() - margins.left() - margins.right());
        m_messageLabel->setToolTip(shown == message ? QString() : message);
        m_messageLabel->setText(shown);
        return;
    }
    m_messageLabel->setToolTip(message);
    m_messageLabel->setText(
        m_messageLabel->fontMetrics().elidedText(message, Qt::ElideMiddle, m_messageLabel->width()));
}

// A wrap may break a path at any "/"; a path that does not fit beside the words before it takes a line
// of its own instead, cut in its middle when even that is too narrow, so its file name stays.
QString ExternalOperationProgressView::fittedMessage(const QString& message, const QFont& font, int width) {
    const QFontMetricsF metrics(font);
    if (metrics.horizontalAdvance(message) <= width) return message;
    static const QRegularExpression pathPattern(QStringLiteral("(?<![\\w./~-])/[^\\s（）()，,；;。]+"),
                                                QRegularExpression::UseUnicodePropertiesOption);
    const QRegularExpressionMatch match = pathPattern.match(message);
    if (!match.hasMatch()) return message;
    QString path = match.captured();
    if (metrics.horizontalAdvance(path) > width) {
        const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
        const QString name = path.mid(slash);
        const qreal nameWidth = metrics.horizontalAdvance(name);
        const QFontMetrics whole(font);
        path = slash > 0 && nameWidth < width * 0.7
                   ? whole.elidedText(path.left(slash), Qt::ElideMiddle, int(width - nameWidth)) + name
                   : whole.elidedText(path, Qt::ElideMiddle, width);
    }
    QStringList lines;
    const QString before = message.left(match.capturedStart()).trimmed();
    const QString after = message.mid(match.capturedEnd()).trimmed();
    if (!before.isEmpty()) lines << before;
    lines << path;
    if (!after.isEmpty()) lines << after;
    return lines.join(QLatin1Char('\n'));
}
