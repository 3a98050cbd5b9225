#include "views/browser/BrowserWindowPlacement.h"

#include <algorithm>

namespace BrowserWindowPlacement {

QPoint cascaded(QPoint previous, QSize size, const QRect& available) {
    const QPoint next = previous + QPoint(kStep, kStep);
    // The farthest a corner may go with the whole window on the screen; a window larger than the
    // screen gets one step of room, so two in a row still differ.
    const int right = available.left() + std::max(available.width() - size.width(), kStep);
    const int bottom = available.top() + std::max(available.height() - size.height(), kStep);
    if (next.x() <= right && next.y() <= bottom && next.x() >= available.left() &&
        next.y() >= available.top())
        return next;
    return available.topLeft();
}

QPoint place(QSize size, const std::optional<QPoint>& previous, const QRect& available) {
    if (previous) return cascaded(*previous, size, available);
    QRect frame(QPoint(), size);
    frame.moveCenter(available.center());
    return {std::max(frame.left(), available.left()), std::max(frame.top(), available.top())};
}

QSize frameSize(QSize size, QSize shownFrame, QSize shownSize) {
    return size + (shownFrame - shownSize).expandedTo(QSize(0, 0));
}

}  // namespace BrowserWindowPlacement
