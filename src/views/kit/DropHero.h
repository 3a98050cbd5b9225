#pragma once

#include "views/kit/DashedFrame.h"
#include "views/kit/DropIntake.h"

class QPushButton;

// The large drop area of a page: a dashed accent outline around the tray icon, a title, a subtitle
// of at most two lines and a 220 px button. Files dropped on it go through DropIntake to `take`;
// the button emits actionRequested.
class DropHero : public DashedFrame {
    Q_OBJECT

public:
    DropHero(const QString& title, const QString& subtitle, const QString& buttonTitle, DropIntake::Take take,
             QWidget* parent = nullptr);

    QPushButton* button() const { return m_button; }

Q_SIGNALS:
    void actionRequested();

private:
    QPushButton* m_button;
};
