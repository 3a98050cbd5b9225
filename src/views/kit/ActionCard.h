#pragma once

#include "views/kit/Theme.h"

#include <QAbstractButton>

// A shortcut card that is a button: a 54 px coloured tile with a white icon, the title and the
// subtitle, on the control background with a faint outline. clicked() runs the shortcut.
class ActionCard : public QAbstractButton {
    Q_OBJECT

public:
    ActionCard(const QString& title, const QString& subtitle, const QString& iconName, Theme::Colour colour,
               QWidget* parent = nullptr);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
};
