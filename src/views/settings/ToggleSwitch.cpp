#include "views/settings/ToggleSwitch.h"

#include "views/kit/Theme.h"

#include <QPainter>

ToggleSwitch::ToggleSwitch(QWidget* parent) : QAbstractButton(parent) {
    setCheckable(true);
    setCursor(Qt::PointingHandCursor);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

QSize ToggleSwitch::sizeHint() const { return {38, 22}; }

void ToggleSwitch::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF track = QRectF(rect()).adjusted(1, 1, -1, -1);
    const qreal radius = track.height() / 2;
    QColor fill =
        isChecked() ? Theme::color(Theme::Colour::accent) : Theme::color(Theme::Colour::black, 0.16);
    if (!isEnabled()) fill.setAlphaF(fill.alphaF() * 0.5);
    painter.setPen(Qt::NoPen);
    painter.setBrush(fill);
    painter.drawRoundedRect(track, radius, radius);

    const qreal knob = track.height() - 4;
    const qreal x = isChecked() ? track.right() - 2 - knob : track.left() + 2;
    painter.setPen(QPen(Theme::color(Theme::Colour::black, 0.12), 0.5));
    painter.setBrush(Theme::color(Theme::Colour::white));
    painter.drawEllipse(QRectF(x, track.top() + 2, knob, knob));
}
