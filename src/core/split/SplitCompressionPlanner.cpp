#include "core/split/SplitCompressionPlanner.h"

#include "core/base/FileNameHelper.h"
#include "core/base/FileSystemError.h"
#include "core/base/FileTree.h"
#include "core/base/SplitArchiveDetector.h"
#include "platform/ToolText.h"
#include "core/split/SplitCompressionError.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <clocale>
#include <cmath>
#include <cstdlib>

#include <sys/statvfs.h>

namespace SplitCompressionPlanner {

namespace {
constexpr qint64 kMiB = Q_INT64_C(1) << 20;
constexpr double kLargestVolume = 1e12;
constexpr qint64 kMinimumSpareSpace = 256 * kMiB;
// What 7-Zip and zip add to data that does not compress, with room to spare: measured 0.007 % (7z) and
// 0.016 % (zip) on random data, plus headers and names.
constexpr qint64 kArchiveOverheadShare = 1024;
constexpr qint64 kArchiveOverheadBytes = 64 * 1024;
constexpr double kSpareSpaceShare = 0.18;
// 7-Zip numbers volumes x.7z.001; zip numbers x.z01 and goes on past .z99 with .z100.
constexpr int kSevenZipVolumeDigits = 3;
constexpr int kZipVolumeDigits = 2;

// strtod in the C locale: the application's locale must not change what a decimal point is.
std::optional<double> parseDouble(const QString& text) {
    static const locale_t cLocale = newlocale(LC_NUMERIC_MASK, "C", nullptr);
    const QByteArray bytes = text.toUtf8();
    if (bytes.isEmpty()) return std::nullopt;
    char* end = nullptr;
    const double value = strtod_l(bytes.constData(), &end, cLocale);
    if (end != bytes.constData() + bytes.size()) return std::nullopt;
    return value;
}

QString fileWithExtension(const QString& baseName, CompressionFormat format) {
    return baseName + QLatin1Char('.') + CompressionFormats::fileExtension(format);
}

QString sevenZipVolumeName(const QString& baseName, int number) {
    return SplitArchiveDetector::volumeFileName(SplitArchiveFormat::sevenZip,
                                                fileWithExtension(baseName, CompressionFormat::sevenZip),
                                                number, kSevenZipVolumeDigits);
}

bool existsWithoutFollowingLinks(const QString& path) {
    struct stat info {};
    return ::lstat(ToolText::encodedName(path).constData(), &info) == 0;
}

bool isSplitOutputName(CompressionFormat format, const QString& baseName, const QString& name) {
    switch (format) {
        case CompressionFormat::zip:
            return name == baseName + QStringLiteral(".zip") || isZipNumberedVolume(name, baseName);
        case CompressionFormat::sevenZip:
            return name.startsWith(baseName + QStringLiteral(".7z."));
        case CompressionFormat::rar:
        case CompressionFormat::tarGzip:
            return false;
    }
    return false;
}
}  // namespace

const std::vector<CompressionFormat>& supportedCreationFormats() {
    static const std::vector<CompressionFormat> formats{CompressionFormat::sevenZip, CompressionFormat::zip};
    return formats;
}

qint64 bytes(const QString& text, SplitCompressionUnit unit) {
    QString normalized = text.trimmed();
    normalized.replace(QLatin1Char(','), QLatin1Char('.'));
    const std::optional<double> number = parseDouble(normalized);
    if (!number || !(*number > 0) || !std::isfinite(*number))
        throw SplitCompressionError::invalidVolumeSize();
    const double product = *number * double(SplitCompressionUnits::factor(unit));
    if (!(product > 0) || product > kLargestVolume) throw SplitCompressionError::invalidVolumeSize();
    const qint64 rounded = std::llround(product);
    if (rounded < 1) throw SplitCompressionError::invalidVolumeSize();
    return rounded;
}

int estimatedPartCount(qint64 originalBytes, std::optional<qint64> volumeSizeBytes, bool splitEnabled) {
    if (!splitEnabled || !volumeSizeBytes || *volumeSizeBytes < 1) return originalBytes > 0 ? 1 : 0;
    if (originalBytes < 1) return 0;
    const qint64 parts = originalBytes / *volumeSizeBytes + (originalBytes % *volumeSizeBytes != 0 ? 1 : 0);
    return static_cast<int>(std::clamp<qint64>(parts, 1, std::numeric_limits<int>::max()));
}

qint64 largestArchiveBytes(qint64 originalBytes) {
    if (originalBytes < 1) return originalBytes;
    return originalBytes + originalBytes / kArchiveOverheadShare + kArchiveOverheadBytes;
}

QString sanitizedBaseName(const QString& baseName) {
    QString name = baseName.trimmed();
    name.replace(QLatin1Char('/'), QLatin1Char('-'));
    name.replace(QLatin1Char(':'), QLatin1Char('-'));
    return name.isEmpty() ? QStringLiteral(u"压缩文件") : name;
}

QString primaryOutputFileName(CompressionFormat format, const QString& baseName, bool splitEnabled) {
    const QString name = sanitizedBaseName(baseName);
    if (splitEnabled && format == CompressionFormat::sevenZip) return sevenZipVolumeName(name, 1);
    return fileWithExtension(name, format);
}

QStringList expectedPartFileNames(CompressionFormat format, const QString& baseName, int partCount,
                                  bool splitEnabled) {
    const QString name = sanitizedBaseName(baseName);
    if (!splitEnabled) return {fileWithExtension(name, format)};
    QStringList names;
    switch (format) {
        case CompressionFormat::zip:
            for (int part = 1; part < partCount; ++part)
                names << SplitArchiveDetector::volumeFileName(SplitArchiveFormat::zip, name, part,
                                                              kZipVolumeDigits);
            names << fileWithExtension(name, format);
            break;
        case CompressionFormat::sevenZip:
            for (int part = 1; part <= std::max(partCount, 1); ++part)
                names << sevenZipVolumeName(name, part);
            break;
        case CompressionFormat::rar:
        case CompressionFormat::tarGzip:
            names << fileWithExtension(name, format);
            break;
    }
    return names;
}

QString namingRuleDescription(CompressionFormat format, const QString& baseName, int estimatedPartCount,
                              bool splitEnabled) {
    const QStringList names =
        expectedPartFileNames(format, baseName, std::max(estimatedPartCount, 1), splitEnabled);
    if (splitEnabled && names.size() >= 2) return names.first() + QStringLiteral(" ~ ") + names.last();
    return names.first();
}

std::optional<qint64> availableCapacityBytes(const QString& directoryURL) {
    struct statvfs info {};
    if (::statvfs(ToolText::encodedName(directoryURL).constData(), &info) != 0) return std::nullopt;
    return static_cast<qint64>(info.f_bavail) * static_cast<qint64>(info.f_frsize);
}

qint64 estimatedRequiredSpaceBytes(qint64 originalBytes, std::optional<qint64> estimatedCompressedBytes) {
    const qint64 largest = std::max(originalBytes, estimatedCompressedBytes.value_or(originalBytes));
    const qint64 spare =
        std::max<qint64>(std::llround(double(largest) * kSpareSpaceShare), kMinimumSpareSpace);
    return largest + spare;
}

QString defaultBaseName(const QStringList& urls) {
    if (urls.size() != 1) return QStringLiteral(u"压缩文件");
    const QString name = FileNameHelper::lastPathComponent(urls.first());
    if (QFileInfo(urls.first()).isDir()) return name;
    return FileNameHelper::deletingPathExtension(name);
}

std::pair<QString, SplitCompressionUnit> presetValue(qint64 bytes) {
    for (const SplitCompressionUnit unit : {SplitCompressionUnit::gb, SplitCompressionUnit::mb}) {
        const qint64 factor = SplitCompressionUnits::factor(unit);
        if (bytes % factor == 0) return {QString::number(bytes / factor), unit};
    }
    const qint64 kilobyte = SplitCompressionUnits::factor(SplitCompressionUnit::kb);
    return {QString::number(std::max<qint64>(bytes / kilobyte, 1)), SplitCompressionUnit::kb};
}

QStringList outputConflictURLs(CompressionFormat format, const QString& baseName,
                               const QString& destinationDirectoryURL, bool splitEnabled) {
    const QString name = sanitizedBaseName(baseName);
    if (!splitEnabled) {
        const QString path = destinationDirectoryURL + QLatin1Char('/') + fileWithExtension(name, format);
        return existsWithoutFollowingLinks(path) ? QStringList{path} : QStringList{};
    }
    QStringList names;
    try {
        names = FileTree::childNames(destinationDirectoryURL);
    } catch (const FileSystemError&) {
        return {};
    }
    QStringList conflicts;
    for (const QString& entry : names) {
        if (isSplitOutputName(format, name, entry))
            conflicts << destinationDirectoryURL + QLatin1Char('/') + entry;
    }
    return conflicts;
}

bool isZipNumberedVolume(const QString& name, const QString& baseName) {
    return SplitArchiveDetector::volumeIndex(SplitArchiveFormat::zip, baseName, name, kZipVolumeDigits)
        .has_value();
}

}  // namespace SplitCompressionPlanner
