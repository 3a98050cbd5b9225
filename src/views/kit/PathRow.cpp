#include "views/kit/PathRow.h"

#include "views/kit/Labels.h"
#include "views/kit/ValueBox.h"

#include <QHBoxLayout>
#include <QPushButton>

PathRow::PathRow(const QString& title, QWidget* parent)
    : QWidget(parent),
      m_value(new ValueBox(8, this)),
      m_browse(new QPushButton(QStringLiteral(u"浏览"), this)) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    QLabel* label = Labels::make(title, Theme::TextStyle::body, Theme::Colour::secondary);
    label->setFixedWidth(110);
    layout->addWidget(label);
    layout->addWidget(m_value, 1);
    layout->addWidget(m_browse);
    connect(m_browse, &QPushButton::clicked, this, &PathRow::browseRequested);
}

QString PathRow::value() const { return m_value->text(); }

void PathRow::setValue(const QString& value) { m_value->setText(value); }
