#include "app/TrayDropPlacement.h"

#include <algorithm>

namespace {

constexpr int kMargin = 8;
constexpr int kPointerInset = 28;

QRect visibleArea(const std::optional<QRect>& anchor, const QList<TrayDropScreen>& screens,
                  const std::optional<QRect>& primaryAvailableGeometry) {
    if (anchor) {
        for (const TrayDropScreen& screen : screens) {
            if (screen.geometry.intersects(*anchor)) return screen.availableGeometry;
        }
    }
    return primaryAvailableGeometry.value_or(QRect(0, 0, 1440, 900));
}

}  // namespace

TrayDropPlacement placeTrayDropWindow(const std::optional<QRect>& anchor, bool expanded,
                                      const QList<TrayDropScreen>& screens,
                                      const std::optional<QRect>& primaryAvailableGeometry) {
    const QRect area = visibleArea(anchor, screens, primaryAvailableGeometry);
    const int width = expanded ? 420 : 380;
    const int height = expanded ? 360 : 56;
    const int gap = expanded ? 10 : 8;
    const int areaRight = area.x() + area.width();
    const int areaBottom = area.y() + area.height();
    const int preferredLeft = anchor ? anchor->x() : areaRight - 88;
    const int pointerTarget = anchor ? anchor->x() + anchor->width() / 2 : areaRight - 70;
    // Screen coordinates grow downwards: the panel hangs below the icon's lower edge, or stands on
    // its upper edge when the icon is in the lower half of the screen.
    const bool pointsDown = anchor && anchor->center().y() > area.center().y();
    const int preferredTop =
        !anchor ? area.y() + gap : pointsDown ? anchor->y() - gap - height : anchor->y() + anchor->height() + gap;

    const int x = std::min(std::max(area.x() + kMargin, preferredLeft), areaRight - width - kMargin);
    const int y = std::max(std::min(preferredTop, areaBottom - height - kMargin), area.y() + kMargin);
    const int pointer = std::clamp(pointerTarget - x, kPointerInset, width - kPointerInset);
    return {QRect(x, y, width, height), pointer - width, pointsDown};
}
