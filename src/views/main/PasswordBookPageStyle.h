#pragma once

#include <QString>

class QPushButton;
class QTableView;
class QWidget;

// How the password book page's own controls look.
namespace PasswordBookPageStyle {

// One half of the book picker; `leading` rounds the left corners, else the right ones.
QPushButton* bookSegment(const QString& title, bool leading, QWidget* parent);
// Rows of one line, no grid, the accent's faint tint for the selection.
void styleTable(QTableView* table);

}  // namespace PasswordBookPageStyle
