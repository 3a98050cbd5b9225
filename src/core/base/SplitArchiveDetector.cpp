#include "core/base/SplitArchiveDetector.h"

#include <QRegularExpression>
#include <QStringList>
#include <algorithm>
#include <limits>

namespace SplitArchiveDetector {

namespace {

// "\z" rather than "$": a name ending in a line break is not a volume name. 7-Zip numbers the pieces
// of a ZIP it splits as it numbers a 7Z's (name.zip.001), and opens either set from its first piece.
const QRegularExpression& sevenZipVolumePattern() {
    static const QRegularExpression pattern(QStringLiteral("^(.+\\.(?:7z|zip))\\.(\\d+)\\z"));
    return pattern;
}
const QRegularExpression& rarNewVolumePattern() {
    static const QRegularExpression pattern(QStringLiteral("^(.+)\\.part(\\d+)\\.rar\\z"));
    return pattern;
}
const QRegularExpression& rarOldVolumePattern() {
    static const QRegularExpression pattern(QStringLiteral("^(.+)\\.r(\\d+)\\z"));
    return pattern;
}
const QRegularExpression& zipVolumePattern() {
    static const QRegularExpression pattern(QStringLiteral("^(.+)\\.z(\\d+)\\z"));
    return pattern;
}

// Capture groups 1..n of the first match; nothing when there is no match or a group took no part.
std::optional<QStringList> regexMatch(const QString& text, const QRegularExpression& pattern) {
    if (!pattern.isValid()) return std::nullopt;
    const QRegularExpressionMatch match = pattern.match(text);
    if (!match.hasMatch()) return std::nullopt;
    QStringList groups;
    for (int group = 1; group <= pattern.captureCount(); ++group) {
        if (match.capturedStart(group) < 0) return std::nullopt;
        groups << match.captured(group);
    }
    return groups;
}

QString padded(qint64 number, int width) {
    return QString::asprintf("%0*lld", std::max(width, 1), static_cast<long long>(number));
}

// The volume number of a match, or nothing when its digits do not fit a 64-bit integer.
std::optional<qint64> volumeNumber(const QString& digits) {
    bool ok = false;
    const qint64 number = digits.toLongLong(&ok, 10);
    return ok ? std::optional<qint64>(number) : std::nullopt;
}

std::optional<Match> sevenZipVolume(const QString& name) {
    const auto groups = regexMatch(name, sevenZipVolumePattern());
    if (!groups) return std::nullopt;
    const auto number = volumeNumber(groups->at(1));
    if (!number) return std::nullopt;
    const QString& base = groups->at(0);
    const int width = static_cast<int>(groups->at(1).size());
    return Match{SplitArchiveFormat::sevenZip,
                 base,
                 *number,
                 width,
                 base + QLatin1Char('.') + padded(1, width),
                 *number == 1,
                 true,
                 base};
}

std::optional<Match> rarNewVolume(const QString& name) {
    const auto groups = regexMatch(name, rarNewVolumePattern());
    if (!groups) return std::nullopt;
    const auto number = volumeNumber(groups->at(1));
    if (!number) return std::nullopt;
    const QString& base = groups->at(0);
    const int width = static_cast<int>(groups->at(1).size());
    return Match{SplitArchiveFormat::rarNew,
                 base,
                 *number,
                 width,
                 base + QStringLiteral(".part") + padded(1, width) + QStringLiteral(".rar"),
                 *number == 1,
                 true,
                 base + QStringLiteral(".rar")};
}

std::optional<Match> rarOldMainFile(const QString& name) {
    if (!name.endsWith(QStringLiteral(".rar"))) return std::nullopt;
    const QString base = name.chopped(4);
    const QString mainName = base + QStringLiteral(".rar");
    return Match{SplitArchiveFormat::rarOld, base, 1, 2, mainName, true, false, mainName};
}

std::optional<Match> rarOldVolume(const QString& name) {
    const auto groups = regexMatch(name, rarOldVolumePattern());
    if (!groups) return std::nullopt;
    const auto number = volumeNumber(groups->at(1));
    // name.r00 is volume 2; a number with no room for that shift is not a volume.
    if (!number || *number > std::numeric_limits<qint64>::max() - 2) return std::nullopt;
    const QString& base = groups->at(0);
    const int width = static_cast<int>(groups->at(1).size());
    const QString mainName = base + QStringLiteral(".rar");
    return Match{SplitArchiveFormat::rarOld, base, *number + 2, width, mainName, false, true, mainName};
}

std::optional<Match> zipMainFile(const QString& name) {
    if (!name.endsWith(QStringLiteral(".zip"))) return std::nullopt;
    const QString base = name.chopped(4);
    const QString mainName = base + QStringLiteral(".zip");
    return Match{SplitArchiveFormat::zip, base, kZipPrimaryIndex, 2, mainName, true, false, mainName};
}

std::optional<Match> zipVolume(const QString& name) {
    const auto groups = regexMatch(name, zipVolumePattern());
    if (!groups) return std::nullopt;
    const auto number = volumeNumber(groups->at(1));
    if (!number) return std::nullopt;
    const QString& base = groups->at(0);
    const int width = static_cast<int>(groups->at(1).size());
    const QString mainName = base + QStringLiteral(".zip");
    return Match{SplitArchiveFormat::zip, base, *number, width, mainName, false, true, mainName};
}

}  // namespace

QString Match::expectedFileName(qint64 volumeIndex) const {
    switch (format) {
        case SplitArchiveFormat::sevenZip:
            return baseName + QLatin1Char('.') + padded(volumeIndex, width);
        case SplitArchiveFormat::rarNew:
            return baseName + QStringLiteral(".part") + padded(volumeIndex, width) + QStringLiteral(".rar");
        case SplitArchiveFormat::rarOld:
            if (volumeIndex == 1) return baseName + QStringLiteral(".rar");
            return baseName + QStringLiteral(".r") + padded(volumeIndex - 2, width);
        case SplitArchiveFormat::zip:
            return baseName + QStringLiteral(".z") + padded(volumeIndex, width);
        case SplitArchiveFormat::unsupported:
            return {};
    }
    return {};
}

std::optional<Match> detect(const QString& fileName) {
    const QString name = fileName.toLower();
    // The order matters: name.part1.rar is a new-style volume before it is a plain .rar file.
    for (auto test : {sevenZipVolume, rarNewVolume, rarOldMainFile, rarOldVolume, zipMainFile, zipVolume}) {
        if (auto match = test(name)) return match;
    }
    return std::nullopt;
}

}  // namespace SplitArchiveDetector
