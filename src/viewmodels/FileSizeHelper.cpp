#include "viewmodels/FileSizeHelper.h"

#include "core/base/FileNameHelper.h"
#include "core/base/FileTree.h"
#include "core/base/SplitArchiveDetector.h"
#include "platform/ToolText.h"

#include <algorithm>
#include <optional>

#include <sys/stat.h>

namespace FileSizeHelper {

namespace {

// By the path's bytes, following links: QFileInfo loses a name that is not UTF-8.
std::optional<mode_t> modeOf(const QString& url) {
    struct stat info {};
    if (::stat(ToolText::encodedName(url).constData(), &info) != 0) return std::nullopt;
    return info.st_mode;
}

}  // namespace

qint64 totalSize(const QString& url, const CancellationToken& token) {
    const std::optional<mode_t> mode = modeOf(url);
    if (!mode) return 0;
    return S_ISDIR(*mode) ? directorySize(url, token) : fileSize(url);
}

qint64 totalSize(const QStringList& urls, const CancellationToken& token) {
    qint64 total = 0;
    for (const QString& url : urls) total += totalSize(url, token);
    return total;
}

qint64 archiveSize(const QString& url, const CancellationToken& token) {
    const std::optional<SplitArchiveDetector::Match> volume =
        SplitArchiveDetector::detect(FileNameHelper::lastPathComponent(url));
    const std::optional<mode_t> mode = modeOf(url);
    if (!volume || !mode || !S_ISREG(*mode)) return totalSize(url, token);
    const QString folder = url.left(std::max<qsizetype>(url.lastIndexOf(QLatin1Char('/')), 1));
    qint64 total = 0;
    for (const QString& name : FileTree::childNames(folder)) {
        const QString path = folder + QLatin1Char('/') + name;
        const auto match = SplitArchiveDetector::detect(name);
        const std::optional<mode_t> entryMode = modeOf(path);
        if (match && match->format == volume->format && match->baseName == volume->baseName && entryMode &&
            S_ISREG(*entryMode))
            total += fileSize(path);
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
