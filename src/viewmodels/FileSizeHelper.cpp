#include "viewmodels/FileSizeHelper.h"

#include "core/base/FileTree.h"
#include "core/base/SplitArchiveDetector.h"
#include "platform/ToolText.h"

#include <QDir>
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

qint64 archiveSize(const QString& url, const CancellationToken& token) {
    const QFileInfo archive(url);
    const std::optional<SplitArchiveDetector::Match> volume =
        SplitArchiveDetector::detect(archive.fileName());
    if (!volume || !archive.isFile()) return totalSize(url, token);
    qint64 total = 0;
    for (const QFileInfo& entry : archive.dir().entryInfoList(QDir::Files | QDir::NoDotAndDotDot)) {
        const auto match = SplitArchiveDetector::detect(entry.fileName());
        if (match && match->format == volume->format && match->baseName == volume->baseName)
            total += fileSize(entry.filePath());
    }
    return total;
}

qint64 fileSize(const QString& url) {
    struct stat info {};
    if (::stat(ToolText::encodedName(url).constData(), &info) != 0) return 0;
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
