#pragma once

#include <QPixmap>

class QWidget;

// Windows that open over another one (sheets, popovers) are separate top-level widgets, so a grab
// of the parent misses them; this draws one where it opened, outlined like a floating panel.
namespace PopupComposer {

QPixmap withPopup(QWidget& window, QWidget& popup);

}  // namespace PopupComposer
