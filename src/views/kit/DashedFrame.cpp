#include "views/kit/DashedFrame.h"

#include "views/kit/Theme.h"

#include <QPainter>

namespace {
constexpr qreal kRadius = 8;
}

DashedFrame::DashedFrame(QWidget* parent)
    : QWidget(parent), m_outline(Theme::color(Theme::Colour::accent, 0.45)) {}

void DashedFrame::setOutline(const QColor& color, qreal width, qreal dash, qreal gap) {
    m_outline = color;
    m_width = width;
    m_dash = dash;
    m_gap = gap;
    update();
}

void DashedFrame::setFill(const QColor& color) {
    m_fill = color;
    update();
}

QVector<qreal> DashedFrame::dashPattern(qreal width, qreal dash, qreal gap) {
    return {dash / width, gap / width};
}

void DashedFrame::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QPen pen(m_outline, m_width);
    pen.setDashPattern(dashPattern(m_width, m_dash, m_gap));
    painter.setPen(pen);
    painter.setBrush(m_fill);
    const qreal inset = m_width / 2;
    painter.drawRoundedRect(QRectF(rect()).adjusted(inset, inset, -inset, -inset), kRadius, kRadius);
}
