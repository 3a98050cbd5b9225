#include "views/browser/ArchiveEntryIcon.h"

#include "viewmodels/ArchiveEntryOutline.h"

#include <QApplication>
#include <QHash>
#include <QMimeDatabase>
#include <QStyle>

namespace ArchiveEntryIcon {

namespace {

QIcon themedIcon(const QMimeType& mime) {
    for (const QString& name : {mime.iconName(), mime.genericIconName()}) {
        const QIcon themed = QIcon::fromTheme(name);
        if (!themed.isNull()) return themed;
    }
    return QApplication::style()->standardIcon(QStyle::SP_FileIcon);
}

}  // namespace

QIcon folderIcon() {
    const QIcon themed = QIcon::fromTheme(QStringLiteral("folder"));
    return themed.isNull() ? QApplication::style()->standardIcon(QStyle::SP_DirIcon) : themed;
}

QIcon fileIcon(const QString& fileName) {
    const qsizetype dot = fileName.lastIndexOf(u'.');
    const QString extension = dot < 0 ? QString() : fileName.mid(dot + 1).toLower();
    static QHash<QString, QIcon> cache;
    const auto cached = cache.constFind(extension);
    if (cached != cache.constEnd()) return *cached;
    const QMimeDatabase database;
    const QMimeType mime =
        extension.isEmpty()
            ? database.mimeTypeForName(QStringLiteral("application/octet-stream"))
            : database.mimeTypeForFile(QStringLiteral("x.") + extension, QMimeDatabase::MatchExtension);
    return *cache.insert(extension, themedIcon(mime));
}

QIcon icon(const ArchivePreviewEntry& entry) {
    if (ArchiveEntryOutline::isFolder(entry)) return folderIcon();
    QString path = entry.path;
    while (path.endsWith(u'/')) path.chop(1);
    return fileIcon(path.section(u'/', -1));
}

}  // namespace ArchiveEntryIcon
