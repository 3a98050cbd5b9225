#include "core/base/SplitArchiveDetector.h"

#include "platform/ToolText.h"

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

// The text with each lone surrogate (an escaped byte of a name that is not UTF-8) as a private-use
// character: a pattern matches nothing in a text that is not valid UTF-16.
QString matchable(const QString& text) {
    QString stand = text;
    for (qsizetype index = 0; index < stand.size(); ++index) {
        if (ToolText::isEscapedByte(text, index))
            stand[index] = QChar(char16_t(0xE000 + (text[index].unicode() & 0xFF)));
    }
    return stand;
}

// Capture groups 1..n of the first match; nothing when there is no match or a group took no part. The
// groups are the text's own, escaped bytes included.
std::optional<QStringList> regexMatch(const QString& text, const QRegularExpression& pattern) {
    if (!pattern.isValid()) return std::nullopt;
    const QRegularExpressionMatch match = pattern.match(matchable(text));
    if (!match.hasMatch()) return std::nullopt;
    QStringList groups;
    for (int group = 1; group <= pattern.captureCount(); ++group) {
        if (match.capturedStart(group) < 0) return std::nullopt;
        groups << text.mid(match.capturedStart(group), match.capturedLength(group));
    }
    return groups;
}

QString padded(qint64 number, int width) {
    return QString::asprintf("%0*lld", std::max(width, 1), static_cast<long long>(number));
}

// A numbered volume's name: prefix, number, suffix. The set's index is the number plus indexOffset
// (name.r00 is volume 2, after name.rar).
struct NumberedName {
    QString prefix;
    QString suffix;
    qint64 indexOffset = 0;
};

std::optional<NumberedName> numberedName(SplitArchiveFormat format, const QString& baseName) {
    switch (format) {
        case SplitArchiveFormat::sevenZip:
            return NumberedName{baseName + QLatin1Char('.'), {}, 0};
        case SplitArchiveFormat::rarNew:
            return NumberedName{baseName + QStringLiteral(".part"), QStringLiteral(".rar"), 0};
        case SplitArchiveFormat::rarOld:
            return NumberedName{baseName + QStringLiteral(".r"), {}, 2};
        case SplitArchiveFormat::zip:
            return NumberedName{baseName + QStringLiteral(".z"), {}, 0};
        case SplitArchiveFormat::unsupported:
            break;
    }
    return std::nullopt;
}

// ASCII digits only, and nothing when they do not fit a 64-bit integer.
std::optional<qint64> volumeNumber(QStringView digits) {
    if (digits.isEmpty()) return std::nullopt;
    for (QChar digit : digits) {
        if (digit < QLatin1Char('0') || digit > QLatin1Char('9')) return std::nullopt;
    }
    bool ok = false;
    const qint64 number = digits.toLongLong(&ok, 10);
    return ok ? std::optional<qint64>(number) : std::nullopt;
}

// A volume the pattern matched, with its base name and digits as groups 1 and 2.
struct NumberedMatch {
    QString baseName;
    qint64 index = 0;
    int width = 0;
};

std::optional<NumberedMatch> numberedMatch(const QString& name, SplitArchiveFormat format,
                                           const QRegularExpression& pattern) {
    const auto groups = regexMatch(name, pattern);
    if (!groups) return std::nullopt;
    const auto index = volumeIndex(format, groups->at(0), name);
    if (!index) return std::nullopt;
    return NumberedMatch{groups->at(0), *index, static_cast<int>(groups->at(1).size())};
}

std::optional<Match> sevenZipVolume(const QString& name) {
    const auto volume = numberedMatch(name, SplitArchiveFormat::sevenZip, sevenZipVolumePattern());
    if (!volume) return std::nullopt;
    return Match{SplitArchiveFormat::sevenZip,
                 volume->baseName,
                 volume->index,
                 volume->width,
                 volumeFileName(SplitArchiveFormat::sevenZip, volume->baseName, 1, volume->width),
                 volume->index == 1,
                 true,
                 volume->baseName};
}

std::optional<Match> rarNewVolume(const QString& name) {
    const auto volume = numberedMatch(name, SplitArchiveFormat::rarNew, rarNewVolumePattern());
    if (!volume) return std::nullopt;
    return Match{SplitArchiveFormat::rarNew,
                 volume->baseName,
                 volume->index,
                 volume->width,
                 volumeFileName(SplitArchiveFormat::rarNew, volume->baseName, 1, volume->width),
                 volume->index == 1,
                 true,
                 volume->baseName + QStringLiteral(".rar")};
}

std::optional<Match> rarOldMainFile(const QString& name) {
    if (!name.endsWith(QStringLiteral(".rar"))) return std::nullopt;
    const QString base = name.chopped(4);
    const QString mainName = base + QStringLiteral(".rar");
    return Match{SplitArchiveFormat::rarOld, base, 1, 2, mainName, true, false, mainName};
}

// A numbered volume of a set whose main volume carries the plain suffix (a.r00 of a.rar, a.z01 of a.zip).
std::optional<Match> volumeBesideMainFile(const QString& name, SplitArchiveFormat format,
                                          const QRegularExpression& pattern, const QString& mainSuffix) {
    const auto volume = numberedMatch(name, format, pattern);
    if (!volume) return std::nullopt;
    const QString mainName = volume->baseName + mainSuffix;
    return Match{format, volume->baseName, volume->index, volume->width, mainName, false, true, mainName};
}

std::optional<Match> rarOldVolume(const QString& name) {
    return volumeBesideMainFile(name, SplitArchiveFormat::rarOld, rarOldVolumePattern(),
                                QStringLiteral(".rar"));
}

std::optional<Match> zipMainFile(const QString& name) {
    if (!name.endsWith(QStringLiteral(".zip"))) return std::nullopt;
    const QString base = name.chopped(4);
    const QString mainName = base + QStringLiteral(".zip");
    return Match{SplitArchiveFormat::zip, base, kZipPrimaryIndex, 2, mainName, true, false, mainName};
}

std::optional<Match> zipVolume(const QString& name) {
    return volumeBesideMainFile(name, SplitArchiveFormat::zip, zipVolumePattern(), QStringLiteral(".zip"));
}

}  // namespace

QString Match::expectedFileName(qint64 volumeIndex) const {
    return volumeFileName(format, baseName, volumeIndex, width);
}

std::optional<Match> detect(const QString& fileName) {
    const QString name = fileName.toLower();
    // The order matters: name.part1.rar is a new-style volume before it is a plain .rar file.
    for (auto test : {sevenZipVolume, rarNewVolume, rarOldMainFile, rarOldVolume, zipMainFile, zipVolume}) {
        if (auto match = test(name)) return match;
    }
    return std::nullopt;
}

QString volumeSuffix(const QString& fileName) {
    const std::optional<Match> match = detect(fileName);
    if (!match) return {};
    // A 7-Zip volume's base name keeps its ".7z" or ".zip", which belongs to the suffix.
    const qsizetype stem = match->format == SplitArchiveFormat::sevenZip
                               ? match->baseName.lastIndexOf(QLatin1Char('.'))
                               : match->baseName.size();
    // Measured from the end: lowering the case may change the length of the name's other letters.
    return fileName.right(fileName.toLower().size() - stem);
}

QString volumeFileName(SplitArchiveFormat format, const QString& baseName, qint64 index, int width) {
    if (format == SplitArchiveFormat::rarOld && index == 1) return baseName + QStringLiteral(".rar");
    const std::optional<NumberedName> name = numberedName(format, baseName);
    if (!name) return {};
    return name->prefix + padded(index - name->indexOffset, width) + name->suffix;
}

std::optional<qint64> volumeIndex(SplitArchiveFormat format, const QString& baseName, const QString& fileName,
                                  int minimumWidth) {
    const std::optional<NumberedName> name = numberedName(format, baseName);
    if (!name || !fileName.startsWith(name->prefix) || !fileName.endsWith(name->suffix)) return std::nullopt;
    const qsizetype width = fileName.size() - name->prefix.size() - name->suffix.size();
    if (width < std::max(minimumWidth, 1)) return std::nullopt;
    const auto number = volumeNumber(QStringView(fileName).sliced(name->prefix.size(), width));
    // A number with no room for the shift to its index is not a volume.
    if (!number || *number > std::numeric_limits<qint64>::max() - name->indexOffset) return std::nullopt;
    return *number + name->indexOffset;
}

}  // namespace SplitArchiveDetector
