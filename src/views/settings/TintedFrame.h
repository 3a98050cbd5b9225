#pragma once

#include "views/kit/Theme.h"

#include <QFrame>

// A guide card tinted in a status colour: the colour at 10 % as fill and at 25 % as outline, corner
// radius 8.
class TintedFrame : public QFrame {
    Q_OBJECT

public:
    explicit TintedFrame(QWidget* parent = nullptr);

    void setColour(Theme::Colour colour);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Theme::Colour m_colour = Theme::Colour::orange;
};
