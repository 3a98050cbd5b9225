#include "app/DragWatcher.h"

#include "app/NullDragWatcher.h"

#ifdef VELMORA_HAVE_X11_DRAG_WATCHER
#include "app/X11DragWatcher.h"
#endif

#include <QFileInfo>
#include <QGuiApplication>
#include <QUrl>

std::unique_ptr<DragWatcher> DragWatcher::forCurrentSession() {
#ifdef VELMORA_HAVE_X11_DRAG_WATCHER
    if (QGuiApplication::platformName() == QLatin1String("xcb")) return std::make_unique<X11DragWatcher>();
#endif
    return std::make_unique<NullDragWatcher>();
}

bool DragWatcher::namesExistingItem(const QByteArray& uriList) {
    for (const QByteArray& line : uriList.split('\n')) {
        const QByteArray entry = line.trimmed();
        if (entry.isEmpty() || entry.startsWith('#')) continue;
        const QUrl url = QUrl::fromEncoded(entry);
        if (url.isLocalFile() && QFileInfo::exists(url.toLocalFile())) return true;
    }
    return false;
}
