#pragma once

#include <QList>
#include <QWidget>

class QGridLayout;

// Items in as many equal columns of at least `minimumWidth` as the width allows, `spacing` apart
// both ways, wrapping into further rows when the widget is narrower.
class AdaptiveGrid : public QWidget {
    Q_OBJECT

public:
    AdaptiveGrid(int minimumWidth, int spacing, QWidget* parent = nullptr);

    void addItem(QWidget* item);
    int columnCount() const { return m_columns; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void place(int columns);

    int m_minimumWidth;
    int m_spacing;
    int m_columns = 0;
    QList<QWidget*> m_items;
    QGridLayout* m_grid;
};
