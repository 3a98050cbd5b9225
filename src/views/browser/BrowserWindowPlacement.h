#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>
#include <optional>

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

// The frame's top-left corner of a new window whose frame has `size`: cascaded() after the previous
// window's frame corner, or the middle of `available` for the first one, never above or left of it.
QPoint place(QSize size, const std::optional<QPoint>& previous, const QRect& available);

// A window's frame before it is shown, when only its size is known: the window manager adds the
// decoration that `shownFrame` (of a window already shown, `shownSize` inside it) has.
QSize frameSize(QSize size, QSize shownFrame, QSize shownSize);

}  // namespace BrowserWindowPlacement
