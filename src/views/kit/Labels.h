#pragma once

#include "views/kit/Theme.h"

#include <QFont>
#include <QLabel>

class QFrame;
class QPushButton;

// Small factories for the plain labels and buttons every page repeats.
namespace Labels {

// A label in a text style and colour.
QLabel* make(const QString& text, Theme::TextStyle style, Theme::Colour colour = Theme::Colour::primary,
             QWidget* parent = nullptr);
QLabel* make(const QString& text, Theme::TextStyle style, QFont::Weight weight,
             Theme::Colour colour = Theme::Colour::primary, QWidget* parent = nullptr);

// A label showing one of our icons.
QLabel* icon(const QString& name, int size, const QColor& color, QWidget* parent = nullptr);

// A plain push button with an icon of ours before its title.
QPushButton* button(const QString& title, const QString& iconName, QWidget* parent = nullptr);

// A 1 px divider line, horizontal or vertical.
QFrame* divider(Qt::Orientation orientation, QWidget* parent = nullptr);

// The page's main action: accent fill, white label, the large control size.
QPushButton* prominentButton(const QString& title, const QString& iconName, QWidget* parent = nullptr);

// A sheet's confirming button: the prominent look at the size of the plain buttons beside it.
QPushButton* defaultButton(const QString& title, const QString& iconName = {}, QWidget* parent = nullptr);

}  // namespace Labels
