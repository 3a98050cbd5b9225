#include "platform/FileManagerReveal.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QFileInfo>
#include <QUrl>

namespace FileManagerReveal {

QString serviceName() { return QStringLiteral("org.freedesktop.FileManager1"); }

void reveal(const QStringList& paths, const FolderOpener& openFolder, QObject* context) {
    if (paths.isEmpty()) return;
    const QString parentFolder = QFileInfo(paths.first()).absolutePath();
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        openFolder(parentFolder);
        return;
    }
    QStringList uris;
    for (const QString& path : paths) uris.append(QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded));
    QDBusMessage call = QDBusMessage::createMethodCall(
        serviceName(), QStringLiteral("/org/freedesktop/FileManager1"),
        QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("ShowItems"));
    call << uris << QString();
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call), context);
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, context,
                     [watcher, openFolder, parentFolder] {
                         if (watcher->isError()) openFolder(parentFolder);
                         watcher->deleteLater();
                     });
}

}  // namespace FileManagerReveal
