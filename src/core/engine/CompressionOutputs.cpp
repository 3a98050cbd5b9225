#include "core/engine/CompressionOutputs.h"

#include "core/base/FileTree.h"
#include "core/engine/ArchiveError.h"
#include "core/split/SplitCompressionPlanner.h"

#include <QFileInfo>

#include <algorithm>
#include <functional>
#include <limits>
#include <optional>

namespace CompressionOutputs {

namespace {
constexpr qint64 kLast = std::numeric_limits<qint64>::max();

// An optional sign and ASCII digits only, without overflow.
std::optional<qint64> decimalInteger(QStringView text) {
    bool negative = false;
    if (text.startsWith(QLatin1Char('+')) || text.startsWith(QLatin1Char('-'))) {
        negative = text.front() == QLatin1Char('-');
        text = text.mid(1);
    }
    if (text.isEmpty()) return std::nullopt;
    qint64 value = 0;
    for (QChar character : text) {
        if (character < QLatin1Char('0') || character > QLatin1Char('9')) return std::nullopt;
        const int digit = character.unicode() - '0';
        if (value > (kLast - digit) / 10) return std::nullopt;
        value = value * 10 + digit;
    }
    return negative ? -value : value;
}

qint64 indexAfterPrefix(const QString& name, const QString& prefix) {
    return decimalInteger(QStringView(name).mid(prefix.size())).value_or(kLast);
}

QString joined(const QString& folder, const QString& name) { return folder + QLatin1Char('/') + name; }

QStringList pathsSortedBy(const QString& folder, QStringList names,
                          const std::function<qint64(const QString&)>& key) {
    std::stable_sort(names.begin(), names.end(),
                     [&](const QString& left, const QString& right) { return key(left) < key(right); });
    QStringList paths;
    for (const QString& name : names) paths << joined(folder, name);
    return paths;
}
}  // namespace

qint64 sevenZipVolumeIndex(const QString& name, const QString& prefix) {
    return indexAfterPrefix(name, prefix);
}

qint64 zipVolumeIndex(const QString& name, const QString& baseName) {
    const QString prefix = baseName + QStringLiteral(".z");
    if (!name.startsWith(prefix)) return kLast;
    return indexAfterPrefix(name, prefix);
}

QStringList findSevenZipOutputs(const QString& destinationDirectoryURL, const QString& baseName) {
    const QString prefix = baseName + QStringLiteral(".7z.");
    QStringList names = FileTree::childNames(destinationDirectoryURL);
    names.removeIf([&](const QString& name) { return !name.startsWith(prefix); });
    if (names.isEmpty()) throw ArchiveError::compressFailed(QStringLiteral(u"未找到生成的分卷文件。"));
    return pathsSortedBy(destinationDirectoryURL, names,
                         [&](const QString& name) { return sevenZipVolumeIndex(name, prefix); });
}

QStringList findZipSplitOutputs(const QString& destinationDirectoryURL, const QString& baseName) {
    QStringList names = FileTree::childNames(destinationDirectoryURL);
    names.removeIf(
        [&](const QString& name) { return !SplitCompressionPlanner::isZipNumberedVolume(name, baseName); });
    const QString mainVolume = joined(destinationDirectoryURL, baseName + QStringLiteral(".zip"));
    if (!QFileInfo::exists(mainVolume))
        throw ArchiveError::compressFailed(QStringLiteral(u"未找到生成的 ZIP 主卷。"));
    return pathsSortedBy(destinationDirectoryURL, names,
                         [&](const QString& name) { return zipVolumeIndex(name, baseName); }) +
           QStringList{mainVolume};
}

}  // namespace CompressionOutputs
