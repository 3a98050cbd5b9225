#pragma once

#include "views/kit/Theme.h"

#include <QWidget>

class ElidedLabel;

// One figure of the info panel's header: a caption above a bold value in the figure's colour, 92 px
// wide. A value that does not fit first shrinks a little, then is cut.
class SplitExtractMetric : public QWidget {
    Q_OBJECT

public:
    SplitExtractMetric(const QString& title, const QString& value, Theme::Colour colour,
                       QWidget* parent = nullptr);

    QString value() const;
    Theme::Colour colour() const { return m_colour; }

private:
    ElidedLabel* m_value;
    Theme::Colour m_colour;
};
