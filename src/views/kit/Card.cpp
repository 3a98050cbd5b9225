#include "views/kit/Card.h"

#include <QPainter>
#include <QPainterPath>
#include <QVBoxLayout>

namespace {
constexpr qreal kRadius = 8;
}

Card::Card(QWidget* parent) : QFrame(parent), m_layout(new QVBoxLayout(this)) {
    m_layout->setContentsMargins(22, 22, 22, 22);
    m_layout->setSpacing(16);
}

void Card::setBackground(Theme::Colour colour) {
    m_background = colour;
    update();
}

void Card::setContentMargin(int margin) { m_layout->setContentsMargins(margin, margin, margin, margin); }

void Card::setSpacing(int spacing) { m_layout->setSpacing(spacing); }

void Card::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF frame = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    painter.setPen(QPen(Theme::color(Theme::Colour::black, 0.06), 1));
    painter.setBrush(Theme::color(m_background));
    painter.drawRoundedRect(frame, kRadius, kRadius);
}
