#include "views/kit/DashedFrame.h"

#include "views/kit/Theme.h"

#include <QPainter>

namespace {
constexpr qreal kRadius = 8;
constexpr qreal kWidth = 1.5;
constexpr qreal kDash = 8;
constexpr qreal kGap = 8;
}

DashedFrame::DashedFrame(QWidget* parent)
    : QWidget(parent), m_outline(Theme::color(Theme::Colour::accent, 0.45)) {}

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
    QPen pen(m_outline, kWidth);
    pen.setDashPattern(dashPattern(kWidth, kDash, kGap));
    painter.setPen(pen);
    painter.setBrush(m_fill);
    const qreal inset = kWidth / 2;
    painter.drawRoundedRect(QRectF(rect()).adjusted(inset, inset, -inset, -inset), kRadius, kRadius);
}
