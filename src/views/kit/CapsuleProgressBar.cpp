#include "views/kit/CapsuleProgressBar.h"

#include <QPainter>
#include <cmath>

CapsuleProgressBar::CapsuleProgressBar(int height, QWidget* parent) : QWidget(parent) {
    setFixedHeight(height);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void CapsuleProgressBar::setProgress(double progress) {
    if (progress == m_progress) return;
    m_progress = progress;
    update();
}

void CapsuleProgressBar::setFillColour(Theme::Colour colour) {
    m_fill = colour;
    update();
}

double CapsuleProgressBar::filledFraction(double progress) {
    if (!std::isfinite(progress)) return 0;
    return std::clamp(progress, 0.0, 1.0);
}

void CapsuleProgressBar::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    const qreal radius = height() / 2.0;
    painter.setBrush(Theme::color(Theme::Colour::black, 0.08));
    painter.drawRoundedRect(rect(), radius, radius);
    const qreal filled = width() * filledFraction(m_progress);
    if (filled <= 0) return;
    painter.setBrush(Theme::color(m_fill));
    painter.drawRoundedRect(QRectF(0, 0, std::max(filled, qreal(height())), height()), radius, radius);
}
