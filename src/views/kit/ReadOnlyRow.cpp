#include "views/kit/ReadOnlyRow.h"

#include "views/kit/Labels.h"
#include "views/kit/ValueBox.h"

#include <QHBoxLayout>

ReadOnlyRow::ReadOnlyRow(const QString& title, const QString& value, QWidget* parent)
    : QWidget(parent), m_value(new ValueBox(7, this)) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    QLabel* label = Labels::make(title, Theme::TextStyle::body, Theme::Colour::secondary);
    label->setFixedWidth(82);
    layout->addWidget(label);
    layout->addWidget(m_value, 1);
    m_value->setMaximumLines(3);
    m_value->setText(value);
}

QString ReadOnlyRow::value() const { return m_value->text(); }

void ReadOnlyRow::setValue(const QString& value) { m_value->setText(value); }
