#pragma once

#include <QColor>
#include <QWidget>

// A rounded rectangle outlined with a dashed line behind the widget's own layout: the look of the
// drop areas. Dash and gap lengths are given in pixels and converted to the pen widths Qt counts in.
class DashedFrame : public QWidget {
    Q_OBJECT

public:
    explicit DashedFrame(QWidget* parent = nullptr);

    // Defaults: accent at 0.45, 1.5 px wide, 8 px dashes with 8 px gaps, radius 8, no fill.
    void setOutline(const QColor& color, qreal width, qreal dash, qreal gap);
    void setFill(const QColor& color);

    // Qt measures a dash pattern in pen widths.
    static QVector<qreal> dashPattern(qreal width, qreal dash, qreal gap);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor m_outline;
    QColor m_fill = Qt::transparent;
    qreal m_width = 1.5;
    qreal m_dash = 8;
    qreal m_gap = 8;
};
