#include "views/kit/DropIntake.h"

#include "viewmodels/MainViewModel.h"

#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <QWidget>

DropIntake::DropIntake(QWidget* target, DropIntent intent, MainViewModel& model)
    : QObject(target), m_intent(intent), m_model(model) {}

DropIntake* DropIntake::install(QWidget* target, DropIntent intent, MainViewModel& model) {
    auto* intake = new DropIntake(target, intent, model);
    target->setAcceptDrops(true);
    target->installEventFilter(intake);
    return intake;
}

QStringList DropIntake::localFilePaths(const QMimeData* data) {
    QStringList paths;
    if (!data || !data->hasUrls()) return paths;
    for (const QUrl& url : data->urls()) {
        if (url.isLocalFile() && !url.toLocalFile().isEmpty()) paths.append(url.toLocalFile());
    }
    return paths;
}

bool DropIntake::handleDrop(const QMimeData* data, DropIntent intent, MainViewModel& model) {
    const QStringList paths = localFilePaths(data);
    if (paths.isEmpty()) return false;
    route(paths, intent, model);
    return true;
}

void DropIntake::route(const QStringList& paths, DropIntent intent, MainViewModel& model) {
    switch (intent) {
        case DropIntent::home:
            model.handleDropped(paths);
            return;
        case DropIntent::extract:
            model.selectArchivesForExtraction(paths);
            return;
        case DropIntent::compress:
            model.selectFilesForCompression(paths);
            return;
        case DropIntent::splitCompress:
            model.addSplitCompressionItems(paths);
            return;
        case DropIntent::splitExtract:
            if (paths.size() == 1) {
                model.selectSplitArchiveForExtraction(paths.first());
            } else {
                model.setAlertMessage(QStringLiteral(u"请只拖入一个分卷文件。"));
            }
            return;
    }
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
                handleDrop(drop->mimeData(), m_intent, m_model);
            }
            return true;
        }
        default:
            return QObject::eventFilter(watched, event);
    }
}
