#include "viewmodels/FileSizeHelper.h"

#include "core/base/FileTree.h"

#include <QFile>
#include <QFileInfo>

namespace FileSizeHelper {

qint64 totalSize(const QString& url, const CancellationToken& token) {
    const QFileInfo info(url);
    if (!info.exists()) return 0;
    return info.isDir() ? directorySize(url, token) : fileSize(url);
}

qint64 totalSize(const QStringList& urls, const CancellationToken& token) {
    qint64 total = 0;
    for (const QString& url : urls) total += totalSize(url, token);
    return total;
}

qint64 fileSize(const QString& url) {
    struct stat info {};
    if (::stat(QFile::encodeName(url).constData(), &info) != 0) return 0;
    return info.st_size;
}

qint64 directorySize(const QString& url, const CancellationToken& token) {
    qint64 total = 0;
    FileTree::walk(
        url,
        [&](const FileTree::Entry& entry) {
            if (FileTree::isHiddenName(entry.name)) return false;
            if (entry.kind == FileTree::EntryKind::regularFile) total += entry.info.st_size;
            return true;
        },
        {}, token);
    return total;
}

}  // namespace FileSizeHelper
