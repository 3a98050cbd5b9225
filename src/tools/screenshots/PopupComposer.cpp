#include "PopupComposer.h"

#include <QPainter>
#include <QWidget>

namespace PopupComposer {

QPixmap withPopup(QWidget& window, QWidget& popup) {
    QPixmap picture = window.grab();
    const QRect frame(window.mapFromGlobal(popup.pos()), popup.size());
    QPainter painter(&picture);
    painter.drawPixmap(frame.topLeft(), popup.grab());
    painter.setPen(QColor(0, 0, 0, 40));
    painter.drawRect(frame.adjusted(0, 0, -1, -1));
    return picture;
}

}  // namespace PopupComposer
