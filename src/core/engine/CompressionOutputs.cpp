#include "core/engine/CompressionOutputs.h"

#include "core/base/FileTree.h"
#include "core/base/SplitArchiveDetector.h"
#include "core/engine/ArchiveError.h"
#include "core/split/SplitCompressionPlanner.h"
#include "platform/ToolText.h"

#include <algorithm>
#include <limits>

#include <sys/stat.h>

namespace CompressionOutputs {

namespace {
QString joined(const QString& folder, const QString& name) { return folder + QLatin1Char('/') + name; }

// In volume order; a name that is no numbered volume of the set goes last.
QStringList pathsInVolumeOrder(const QString& folder, QStringList names, SplitArchiveFormat format,
                               const QString& setName) {
    const auto key = [&](const QString& name) {
        return SplitArchiveDetector::volumeIndex(format, setName, name)
            .value_or(std::numeric_limits<qint64>::max());
    };
    std::stable_sort(names.begin(), names.end(),
                     [&](const QString& left, const QString& right) { return key(left) < key(right); });
    QStringList paths;
    for (const QString& name : names) paths << joined(folder, name);
    return paths;
}
}  // namespace

QStringList findSevenZipOutputs(const QString& destinationDirectoryURL, const QString& baseName) {
    const QString prefix = baseName + QStringLiteral(".7z.");
    QStringList names = FileTree::childNames(destinationDirectoryURL);
    names.removeIf([&](const QString& name) { return !name.startsWith(prefix); });
    if (names.isEmpty()) throw ArchiveError::compressFailed(QStringLiteral(u"未找到生成的分卷文件。"));
    return pathsInVolumeOrder(destinationDirectoryURL, names, SplitArchiveFormat::sevenZip,
                              baseName + QStringLiteral(".7z"));
}

QStringList findZipSplitOutputs(const QString& destinationDirectoryURL, const QString& baseName) {
    QStringList names = FileTree::childNames(destinationDirectoryURL);
    names.removeIf(
        [&](const QString& name) { return !SplitCompressionPlanner::isZipNumberedVolume(name, baseName); });
    const QString mainVolume = joined(destinationDirectoryURL, baseName + QStringLiteral(".zip"));
    struct stat info {};
    // By its bytes: QFileInfo loses a name that is not UTF-8.
    if (::stat(ToolText::encodedName(mainVolume).constData(), &info) != 0)
        throw ArchiveError::compressFailed(QStringLiteral(u"未找到生成的 ZIP 主卷。"));
    return pathsInVolumeOrder(destinationDirectoryURL, names, SplitArchiveFormat::zip, baseName) +
           QStringList{mainVolume};
}

}  // namespace CompressionOutputs
