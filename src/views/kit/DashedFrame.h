#pragma once

#include <QColor>
#include <QWidget>

// A rounded rectangle outlined with a dashed line behind the widget's own layout: the look of the
// drop areas. Dash and gap lengths are given in pixels and converted to the pen widths Qt counts in.
class DashedFrame : public QWidget {
    Q_OBJECT

public:
    explicit DashedFrame(QWidget* parent = nullptr);

    // Outlined in accent at 0.45, 1.5 px wide, 8 px dashes with 8 px gaps, radius 8; no fill unless set.
    void setFill(const QColor& color);

    // Qt measures a dash pattern in pen widths.
    static QVector<qreal> dashPattern(qreal width, qreal dash, qreal gap);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    const QColor m_outline;
    QColor m_fill = Qt::transparent;
};
