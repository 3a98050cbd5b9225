#include "viewmodels/CompressionEstimateHelper.h"

#include "core/base/FileNameHelper.h"
#include "core/base/FileTree.h"
#include "viewmodels/FileSizeHelper.h"

#include <QFileInfo>
#include <QSet>

#include <algorithm>
#include <cmath>
#include <vector>

namespace CompressionEstimateHelper {

namespace {
constexpr double kMinimumRatio = 0.08;
constexpr double kMaximumRatio = 1.03;
// Already compressed data gains nothing from format or level.
constexpr double kIncompressibleRatio = 0.95;

struct RatioSet {
    QSet<QString> extensions;
    double ratio;
};

RatioSet ratioSet(QLatin1StringView extensions, double ratio) {
    const QStringList list = QString(extensions).split(QLatin1Char(' '));
    return {QSet<QString>(list.begin(), list.end()), ratio};
}

// Tested in this order; the first set holding the extension wins.
const std::vector<RatioSet>& ratioSets() {
    static const std::vector<RatioSet> sets{
        ratioSet(QLatin1StringView("zip 7z rar gz tgz bz2 xz lz lzma zst dmg iso pkg ipa apk jar war ear"),
                 0.99),
        ratioSet(QLatin1StringView(
                     "jpg jpeg png gif webp heic heif mp3 aac m4a flac wav mp4 m4v mov avi mkv webm wmv"),
                 0.97),
        ratioSet(QLatin1StringView("pdf docx xlsx pptx pages numbers key"), 0.88),
        ratioSet(QLatin1StringView(
                     "txt md csv tsv json xml html css js ts swift java kt py rb go rs c cpp h hpp sql "
                     "log plist yaml yml"),
                 0.35),
        ratioSet(QLatin1StringView("app exe dll dylib so o a bin sqlite db"), 0.72),
    };
    return sets;
}

constexpr double kOtherRatio = 0.68;

double formatAdjustment(CompressionFormat format) {
    switch (format) {
        case CompressionFormat::sevenZip:
            return -0.08;
        case CompressionFormat::tarGzip:
            return 0.03;
        case CompressionFormat::zip:
        case CompressionFormat::rar:
            return 0;
    }
    return 0;
}

double levelAdjustment(CompressionLevel level) {
    switch (level) {
        case CompressionLevel::fastest:
            return 0.08;
        case CompressionLevel::maximum:
            return -0.06;
        case CompressionLevel::standard:
            return 0;
    }
    return 0;
}

qint64 estimatedDirectorySize(const QString& url, CompressionFormat format, CompressionLevel level,
                              const CancellationToken& token) {
    qint64 total = 0;
    FileTree::walk(
        url,
        [&](const FileTree::Entry& entry) {
            if (FileTree::isHiddenName(entry.name)) return false;
            if (entry.kind == FileTree::EntryKind::regularFile) {
                total += estimatedFileSize(entry.info.st_size, FileNameHelper::pathExtension(entry.name),
                                           format, level);
            }
            return true;
        },
        {}, token);
    return total;
}
}  // namespace

double baseCompressionRatio(const QString& extension) {
    const QString lowered = extension.toLower();
    for (const RatioSet& set : ratioSets()) {
        if (set.extensions.contains(lowered)) return set.ratio;
    }
    return kOtherRatio;
}

qint64 estimatedFileSize(qint64 sizeBytes, const QString& extension, CompressionFormat format,
                         CompressionLevel level) {
    if (sizeBytes <= 0) return 0;
    const double base = baseCompressionRatio(extension);
    double ratio = base;
    if (base < kIncompressibleRatio) ratio = base + formatAdjustment(format) + levelAdjustment(level);
    ratio = std::clamp(ratio, kMinimumRatio, kMaximumRatio);
    return std::max<qint64>(1, std::llround(ratio * static_cast<double>(sizeBytes)));
}

qint64 estimatedSize(const QStringList& urls, CompressionFormat format, CompressionLevel level,
                     const CancellationToken& token) {
    qint64 total = 0;
    for (const QString& url : urls) {
        const QFileInfo info(url);
        if (!info.exists()) continue;
        if (info.isDir()) {
            total += estimatedDirectorySize(url, format, level, token);
        } else {
            total += estimatedFileSize(FileSizeHelper::totalSize(url), FileNameHelper::pathExtension(url),
                                       format, level);
        }
    }
    return std::max<qint64>(0, total);
}

}  // namespace CompressionEstimateHelper
