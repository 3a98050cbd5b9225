#pragma once

#include <QList>
#include <QRect>
#include <optional>

// One screen as the placement sees it: its whole area and the part panels and docks leave free.
struct TrayDropScreen {
    QRect geometry;
    QRect availableGeometry;
};

// Where the drop panel goes, how far its pointer sits from the panel's right edge (negative), and
// whether it points down at an icon below it.
struct TrayDropPlacement {
    QRect frame;
    int pointerOffsetX = 0;
    bool pointsDown = false;
};

// Places the drop panel beside the tray icon (anchor, in screen coordinates) on the screen's side of
// it, on the first screen that holds it, 8 px inside that screen's free area: below an icon in the
// upper half of the screen, above one in the lower half (a panel at the bottom), pointing at it,
// with the pointer at the icon's middle but at least 28 px from either edge of the panel. Without an anchor, or when no screen holds it, the panel goes
// to the top right of the primary screen's free area; without screens, of a 1440 x 900 area.
TrayDropPlacement placeTrayDropWindow(const std::optional<QRect>& anchor, bool expanded,
                                      const QList<TrayDropScreen>& screens,
                                      const std::optional<QRect>& primaryAvailableGeometry);
