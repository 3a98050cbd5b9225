#pragma once

#include <QRect>
#include <QSize>

// The size a window takes on a screen: its own where the screen's free area (less the panels) holds it
// with its title bar, else as much of it as that area holds, so no part of the window lies off the screen.
namespace WindowFit {

// About a title bar's height: the window manager draws it above the window.
inline constexpr int kTitleBar = 32;

QSize size(QSize preferred, const QRect& available);

}  // namespace WindowFit
