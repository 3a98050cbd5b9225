#include "views/kit/ElidedLabel.h"

#include "core/base/SplitArchiveDetector.h"
#include "views/kit/Theme.h"

#include <QEvent>
#include <QHelpEvent>
#include <QPainter>
#include <QTextLayout>
#include <QToolTip>
#include <cmath>

namespace {

// The exact advance, as eliding measures it; QFontMetrics rounds to whole pixels, and a width rounded
// down would cut a text that fits.
qreal advance(const QFont& font, const QString& text) { return QFontMetricsF(font).horizontalAdvance(text); }

}  // namespace

bool ElidedLabel::fits(const QFont& font, const QString& text, int width) {
    return advance(font, text) <= width;
}

ElidedLabel::ElidedLabel(const QString& text, QWidget* parent)
    : QWidget(parent), m_text(text), m_color(Theme::color(Theme::Colour::primary)) {
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
}

void ElidedLabel::setText(const QString& text) {
    if (text == m_text) return;
    m_text = text;
    updateGeometry();
    update();
}

void ElidedLabel::setMaximumLines(int lines) {
    m_maximumLines = std::max(1, lines);
    updateGeometry();
    update();
}

void ElidedLabel::setElideMode(Qt::TextElideMode mode) {
    m_elideMode = mode;
    update();
}

void ElidedLabel::setKeepsVolumeSuffix(bool keeps) {
    m_keepsVolumeSuffix = keeps;
    update();
}

void ElidedLabel::setColor(const QColor& color) {
    m_color = color;
    update();
}

void ElidedLabel::setAlignment(Qt::Alignment alignment) {
    m_alignment = alignment;
    update();
}

QStringList ElidedLabel::displayedLines(int width) const {
    const QFontMetrics metrics(font());
    QStringList lines;
    QString rest = m_text;
    while (int(lines.size()) < m_maximumLines - 1 && !fits(font(), rest, width)) {
        QTextLayout layout(rest, font());
        QTextOption option;
        option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        layout.setTextOption(option);
        layout.beginLayout();
        QTextLine line = layout.createLine();
        line.setLineWidth(width);
        layout.endLayout();
        const int length = line.textLength();
        if (length <= 0 || length >= rest.size()) break;
        lines.append(rest.left(length).trimmed());
        rest = rest.mid(length);
    }
    lines.append(elided(rest, width));
    return lines;
}

QString ElidedLabel::elided(const QString& text, int width) const {
    const QFontMetrics metrics(font());
    if (fits(font(), text, width)) return text;
    const QString tail = m_keepsVolumeSuffix ? SplitArchiveDetector::volumeSuffix(text) : QString();
    if (!tail.isEmpty() && tail.size() < text.size()) {
        const int headWidth = width - int(std::ceil(advance(font(), tail)));
        const QString head = metrics.elidedText(text.chopped(tail.size()), Qt::ElideRight, headWidth);
        if (!head.isEmpty() && head != QChar(0x2026)) return head + tail;
    }
    return metrics.elidedText(text, m_elideMode, width);
}

QSize ElidedLabel::sizeHint() const {
    return {int(std::ceil(advance(font(), m_text))), QFontMetrics(font()).height()};
}

int ElidedLabel::heightForWidth(int width) const {
    return QFontMetrics(font()).height() * int(displayedLines(width).size());
}

QSize ElidedLabel::minimumSizeHint() const {
    const QFontMetrics metrics(font());
    return {metrics.horizontalAdvance(QStringLiteral("…")) * 3, metrics.height()};
}

void ElidedLabel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setPen(m_color);
    const QStringList lines = displayedLines(width());
    const int lineHeight = QFontMetrics(font()).height();
    const int blockHeight = lineHeight * int(lines.size());
    int top = 0;
    if (m_alignment & Qt::AlignVCenter) top = (height() - blockHeight) / 2;
    if (m_alignment & Qt::AlignBottom) top = height() - blockHeight;
    for (const QString& line : lines) {
        painter.drawText(QRect(0, top, width(), lineHeight),
                         int(m_alignment & Qt::AlignHorizontal_Mask) | Qt::AlignVCenter, line);
        top += lineHeight;
    }
}

bool ElidedLabel::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip && toolTip().isEmpty() && isCut()) {
        QToolTip::showText(static_cast<QHelpEvent*>(event)->globalPos(), m_text, this);
        return true;
    }
    return QWidget::event(event);
}

bool ElidedLabel::isCut() const {
    // Wrapping only drops the spaces at the breaks; anything else missing was cut.
    QString shown = displayedLines(width()).join(QString());
    return shown.remove(QLatin1Char(' ')) != QString(m_text).remove(QLatin1Char(' '));
}

void ElidedLabel::changeEvent(QEvent* event) {
    if (event->type() == QEvent::FontChange) updateGeometry();
    QWidget::changeEvent(event);
}
