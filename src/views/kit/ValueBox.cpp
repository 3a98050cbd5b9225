#include "views/kit/ValueBox.h"

#include "views/kit/ElidedLabel.h"
#include "views/kit/Theme.h"

#include <QHBoxLayout>
#include <QPainter>

ValueBox::ValueBox(int padding, QWidget* parent) : QWidget(parent), m_label(new ElidedLabel({}, this)) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(padding, padding, padding, padding);
    layout->addWidget(m_label);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

QString ValueBox::text() const { return m_label->text(); }

void ValueBox::setText(const QString& text) { m_label->setText(text); }

void ValueBox::setMaximumLines(int lines) { m_label->setMaximumLines(lines); }

void ValueBox::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Theme::color(Theme::Colour::black, 0.08), 1));
    painter.setBrush(Theme::color(Theme::Colour::textBackground));
    painter.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 6, 6);
}
