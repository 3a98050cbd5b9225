#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

// Where a new archive browser window goes when another is open: one step below and right of the
// last one, so that window's title bar and left edge stay in sight, and back to the screen's top
// left corner when the step would take it off the screen. Browsers opened one after another never
// lie exactly on top of each other.
namespace BrowserWindowPlacement {

// About a title bar's height.
inline constexpr int kStep = 32;

// The frame's top-left corner for a window of `size` after one whose frame starts at `previous`,
// on a screen whose free area is `available`.
QPoint cascaded(QPoint previous, QSize size, const QRect& available);

}  // namespace BrowserWindowPlacement
