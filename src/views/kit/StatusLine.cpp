#include "views/kit/StatusLine.h"

#include "views/kit/Labels.h"

#include <QHBoxLayout>

StatusLine::StatusLine(const QString& label, const QString& value, QWidget* parent)
    : QWidget(parent), m_label(label), m_value(Labels::make(value, Theme::TextStyle::headline)) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(Labels::make(label, Theme::TextStyle::body, Theme::Colour::secondary));
    layout->addStretch();
    layout->addWidget(m_value);
}

QString StatusLine::value() const { return m_value->text(); }

void StatusLine::setValue(const QString& value) {
    if (value != m_value->text()) m_value->setText(value);
}
