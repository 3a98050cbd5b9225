#include "views/kit/DropIntake.h"

#include "core/base/InputItem.h"

#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <QWidget>

DropIntake::DropIntake(QWidget* target, Take take) : QObject(target), m_take(std::move(take)) {}

DropIntake* DropIntake::install(QWidget* target, Take take) {
    auto* intake = new DropIntake(target, std::move(take));
    target->setAcceptDrops(true);
    target->installEventFilter(intake);
    return intake;
}

QStringList DropIntake::localFilePaths(const QMimeData* data) {
    QStringList paths;
    if (!data || !data->hasUrls()) return paths;
    for (const QUrl& url : data->urls()) {
        if (const std::optional<QString> path = InputItem::localPathOf(url))
            paths.append(InputItem::normalizedPath(*path));
    }
    return paths;
}

bool DropIntake::handleDrop(const QMimeData* data, const Take& take) {
    const QStringList paths = localFilePaths(data);
    if (paths.isEmpty()) return false;
    take(paths);
    return true;
}

bool DropIntake::acceptAsCopy(QDropEvent* event) {
    if (!event->possibleActions().testFlag(Qt::CopyAction)) {
        event->ignore();
        return false;
    }
    event->setDropAction(Qt::CopyAction);
    event->accept();
    return true;
}

bool DropIntake::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
        case QEvent::DragEnter:
        case QEvent::DragMove: {
            auto* drag = static_cast<QDragMoveEvent*>(event);
            if (localFilePaths(drag->mimeData()).isEmpty()) {
                drag->ignore();
            } else {
                acceptAsCopy(drag);
            }
            return true;
        }
        case QEvent::Drop: {
            auto* drop = static_cast<QDropEvent*>(event);
            if (localFilePaths(drop->mimeData()).isEmpty() || !acceptAsCopy(drop)) {
                drop->ignore();
            } else {
                handleDrop(drop->mimeData(), m_take);
            }
            return true;
        }
        default:
            return QObject::eventFilter(watched, event);
    }
}
