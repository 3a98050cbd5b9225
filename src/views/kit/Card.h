#pragma once

#include "views/kit/Theme.h"

#include <QFrame>

class QVBoxLayout;

// The rounded card that frames the content of the main window's pages: a column of rows on the
// control background, corner radius 8, a faint black outline. Defaults: 22 px inner margin and 16 px
// between rows; panels that differ set their own.
class Card : public QFrame {
    Q_OBJECT

public:
    explicit Card(QWidget* parent = nullptr);

    // Add the card's rows here.
    QVBoxLayout* contentLayout() const { return m_layout; }

    void setBackground(Theme::Colour colour);
    void setContentMargin(int margin);
    void setSpacing(int spacing);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QVBoxLayout* m_layout;
    Theme::Colour m_background = Theme::Colour::controlBackground;
};
