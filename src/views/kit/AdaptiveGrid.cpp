#include "views/kit/AdaptiveGrid.h"

#include "views/kit/WorkbenchTexts.h"

#include <QGridLayout>
#include <QResizeEvent>

AdaptiveGrid::AdaptiveGrid(int minimumWidth, int spacing, QWidget* parent)
    : QWidget(parent), m_minimumWidth(minimumWidth), m_spacing(spacing), m_grid(new QGridLayout(this)) {
    m_grid->setContentsMargins(0, 0, 0, 0);
    m_grid->setSpacing(spacing);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
}

void AdaptiveGrid::addItem(QWidget* item) {
    item->setParent(this);
    item->setMinimumWidth(m_minimumWidth);
    m_items.append(item);
    place(std::max(m_columns, 1));
}

void AdaptiveGrid::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    const int columns = WorkbenchTexts::gridColumns(event->size().width(), m_minimumWidth, m_spacing);
    if (columns != m_columns) place(columns);
}

void AdaptiveGrid::place(int columns) {
    m_columns = columns;
    for (QWidget* item : m_items) m_grid->removeWidget(item);
    for (int column = 0; column < m_grid->columnCount(); ++column) m_grid->setColumnStretch(column, 0);
    for (qsizetype index = 0; index < m_items.size(); ++index) {
        m_grid->addWidget(m_items.at(index), int(index) / columns, int(index) % columns);
    }
    for (int column = 0; column < columns; ++column) m_grid->setColumnStretch(column, 1);
}
