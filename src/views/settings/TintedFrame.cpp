#include "views/settings/TintedFrame.h"

#include <QPainter>

TintedFrame::TintedFrame(QWidget* parent) : QFrame(parent) {}

void TintedFrame::setColour(Theme::Colour colour) {
    if (colour == m_colour) return;
    m_colour = colour;
    update();
}

void TintedFrame::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Theme::color(m_colour, 0.25), 1));
    painter.setBrush(Theme::color(m_colour, 0.1));
    painter.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 8, 8);
}
