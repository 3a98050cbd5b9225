#include "core/engine/ArchiveTools.h"

#include "core/base/ArchiveFormat.h"
#include "core/engine/CommandLocator.h"
#include "core/split/SplitCompressionError.h"

#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>

namespace ArchiveTools {

std::optional<QString> givenPassword(const std::optional<QString>& password) {
    if (!password || password->isEmpty()) return std::nullopt;
    return password;
}

namespace SevenZip {

QStringList toolNames() { return {QStringLiteral("7zz")}; }

QStringList systemPaths() {
    return {QStringLiteral("/usr/local/bin/7zz"), QStringLiteral("/usr/bin/7zz"),
            QStringLiteral("/usr/local/bin/7z"), QStringLiteral("/usr/bin/7z")};
}

std::optional<QString> locate() { return CommandLocator::firstBundledOrExisting(toolNames(), systemPaths()); }

QStringList endOfSwitches() { return {QStringLiteral("-spd"), QStringLiteral("--")}; }

QString outputFolder(const QString& folder) { return QStringLiteral("-o") + folder; }

QString threads(int count) { return QStringLiteral("-mmt=") + QString::number(count); }

QStringList technicalListArguments(const QString& archive) {
    return QStringList{QStringLiteral("l"), QStringLiteral("-slt")} << endOfSwitches() << archive;
}

QStringList plainListArguments(const QString& archive) {
    return QStringList{QStringLiteral("l")} << endOfSwitches() << archive;
}

std::optional<QStringList> lineFeedListArguments(const QString& archive) {
    if (archive.contains(QLatin1Char('*')) || archive.contains(QLatin1Char('?'))) return std::nullopt;
    return QStringList{QStringLiteral("l"), QStringLiteral("-slt"), QStringLiteral("-ir!*\n*"),
                       QStringLiteral("--"), archive};
}

QString linkChecks(bool off) { return off ? QStringLiteral("-snld20") : QStringLiteral("-snld"); }

QStringList extractEntriesArguments(const QString& archive, const QStringList& entryPaths,
                                    const QString& destination, bool linkChecksOff) {
    return QStringList{QStringLiteral("x"), outputFolder(destination), QStringLiteral("-y"),
                       linkChecks(linkChecksOff)}
           << endOfSwitches() << archive << entryPaths;
}

QString workFolder(const QString& folder) { return QStringLiteral("-w") + folder; }

QStringList addArguments(const QString& archive, const QString& type, const QStringList& items,
                         const QString& workFolder) {
    return QStringList{QStringLiteral("a"), QStringLiteral("-t") + type, SevenZip::workFolder(workFolder)}
           << endOfSwitches() << archive << items;
}

QStringList deleteArguments(const QString& archive, const QStringList& entryPaths,
                            const QString& workFolder) {
    return QStringList{QStringLiteral("d"), SevenZip::workFolder(workFolder)} << endOfSwitches() << archive
                                                                              << entryPaths;
}

QStringList extractArguments(const QString& archive, const QString& destination, int threadCount,
                             bool linkChecksOff) {
    return QStringList{QStringLiteral("x"), outputFolder(destination), QStringLiteral("-y"),
                       linkChecks(linkChecksOff), threads(std::max(threadCount, 1))}
           << endOfSwitches() << archive;
}

QStringList printEntriesArguments(const QString& archive, const QStringList& entryPaths) {
    return QStringList{QStringLiteral("x"), QStringLiteral("-so")} << endOfSwitches() << archive
                                                                   << entryPaths;
}

QString addCommand() { return QStringLiteral("a"); }

QString archiveType(CompressionFormat format) {
    return format == CompressionFormat::zip ? QStringLiteral("-tzip") : QStringLiteral("-t7z");
}

QString level(CompressionLevel level) {
    return QStringLiteral("-mx=") + QString::number(CompressionLevels::sevenZipLevelNumber(level));
}

QStringList progressSwitches() { return {QStringLiteral("-bsp1")}; }

QString storeLinks() { return QStringLiteral("-snl"); }

QString lzma2Method() { return QStringLiteral("-m0=lzma2"); }

QString volumeSize(qint64 bytes) { return QStringLiteral("-v") + QString::number(bytes) + QLatin1Char('b'); }

QString headerEncryptionOff() { return QStringLiteral("-mhe=off"); }

QString askPassword() { return QStringLiteral("-p"); }

QString zipCryptoMethod() { return QStringLiteral("-mem=ZipCrypto"); }

bool takesZipPassword(const QString& password) {
    return std::all_of(password.begin(), password.end(),
                       [](QChar character) { return character.unicode() < 0x80; });
}

QStringList hiddenExclusions() { return {QStringLiteral("-xr!.*"), QStringLiteral("-xr!__MACOSX")}; }

bool isReadAsWildcard(const QString& name) {
    return name.contains(QLatin1Char('*')) || name.contains(QLatin1Char('?'));
}

QStringList endOfSwitchesKeepingWildcards() { return {QStringLiteral("--")}; }

QStringList testArguments(const QString& archive, const QStringList& entryPaths) {
    return QStringList{QStringLiteral("t")} << endOfSwitches() << archive << entryPaths;
}

}  // namespace SevenZip

namespace InfoZip {

bool isReadAsSwitch(const QString& name) { return name.startsWith(QLatin1Char('-')); }

// A pattern character inside brackets stands for itself.
QString literalPattern(const QString& name) {
    QString literal;
    for (const QChar character : name) {
        const bool special =
            character == QLatin1Char('[') || character == QLatin1Char('*') || character == QLatin1Char('?');
        literal += special ? QLatin1Char('[') + character + QLatin1Char(']') : QString(character);
    }
    return literal;
}

}  // namespace InfoZip

namespace Unzip {

std::optional<QString> locate() { return CommandLocator::firstExisting({kUnzipPath}); }

QStringList extractArguments(const QString& archive, const QString& destination) {
    return QStringList{QStringLiteral("-o")} << InfoZip::literalPattern(QFileInfo(archive).absoluteFilePath())
                                             << QStringLiteral("-d")
                                             << QFileInfo(destination).absoluteFilePath();
}

// unzip also reads the archive's own name as a pattern: a[1].zip could open its neighbour a1.zip.
QStringList listArguments(const QString& archive) {
    return {QStringLiteral("-l"), InfoZip::literalPattern(QFileInfo(archive).absoluteFilePath())};
}

QStringList extractEntryArguments(const QString& archive, const QString& entryPath,
                                  const QString& destination) {
    return QStringList{QStringLiteral("-o")} << InfoZip::literalPattern(QFileInfo(archive).absoluteFilePath())
                                             << InfoZip::literalPattern(entryPath) << QStringLiteral("-d")
                                             << destination;
}

}  // namespace Unzip

namespace Zip {

std::optional<QString> locate() { return CommandLocator::firstExisting({kZipPath}); }

QStringList deleteArguments(const QString& archive, const QStringList& entryPaths,
                            const QString& workFolder) {
    QStringList arguments{QStringLiteral("-b"), workFolder, QStringLiteral("-d"), archive};
    for (const QString& path : entryPaths) arguments << InfoZip::literalPattern(path);
    return arguments;
}

QStringList recursiveWithoutExtraAttributes() { return {QStringLiteral("-r"), QStringLiteral("-X")}; }

QStringList storeLinks() { return {QStringLiteral("-y")}; }

QStringList encrypt() { return {QStringLiteral("-e")}; }

QStringList split(const QString& volumeSize) { return {QStringLiteral("-s"), volumeSize}; }

QString volumeSize(qint64 bytes) {
    constexpr qint64 kKiB = Q_INT64_C(1) << 10;
    constexpr qint64 kMiB = Q_INT64_C(1) << 20;
    constexpr qint64 kGiB = Q_INT64_C(1) << 30;
    if (bytes < 64 * kKiB) throw SplitCompressionError::invalidVolumeSize();
    if (bytes % kGiB == 0) return QString::number(bytes / kGiB) + QLatin1Char('g');
    if (bytes % kMiB != 0) return QString::number(bytes / kKiB) + QLatin1Char('k');
    return QString::number(bytes / kMiB) + QLatin1Char('m');
}

QStringList hiddenExclusions() {
    return {QStringLiteral("-x"), QStringLiteral("*/.*"), QStringLiteral(".*"),
            QStringLiteral("*/__MACOSX/*"), QStringLiteral("__MACOSX/*")};
}

QStringList endOfSwitches() { return {QStringLiteral("--")}; }

}  // namespace Zip

namespace Tar {

std::optional<QString> locate() { return CommandLocator::firstExisting({kTarPath}); }

QStringList createGzip(const QString& archive) { return {QStringLiteral("-czf"), archive}; }

QStringList hiddenExclusions() {
    return {QStringLiteral("--exclude=*/.*"), QStringLiteral("--exclude=.*"),
            QStringLiteral("--exclude=*/__MACOSX"), QStringLiteral("--exclude=__MACOSX")};
}

QStringList endOfSwitches() { return {QStringLiteral("--")}; }

namespace {

// Names in C quoting, in a listing and in the failures alike (ExtractionSteps reads them so).
QStringList readingSwitches(const QString& archive) {
    return {QStringLiteral("--quoting-style=c"), QStringLiteral("--force-local"),
            QStringLiteral("--file=") + archive};
}

}  // namespace

QStringList listArguments(const QString& archive, const QStringList& decompression) {
    return QStringList{QStringLiteral("--list"), QStringLiteral("--verbose"), QStringLiteral("--full-time"),
                       QStringLiteral("--numeric-owner")} +
           readingSwitches(archive) + decompression;
}

QStringList extractArguments(const QString& archive, const QString& destination,
                             const QStringList& entryPaths, const QStringList& decompression) {
    return QStringList{QStringLiteral("--extract")} + readingSwitches(archive) + decompression +
           QStringList{QStringLiteral("--directory=") + destination, QStringLiteral("--no-same-owner"),
                       QStringLiteral("--no-same-permissions"), QStringLiteral("--no-wildcards"),
                       QStringLiteral("--no-unquote")} +
           endOfSwitches() + entryPaths;
}

QStringList decompressor(const QString& archive, const QString& sevenZip) {
    static const QRegularExpression plainPath(QStringLiteral("^[A-Za-z0-9/._+@-]+$"));
    const std::optional<ArchiveFormat::Kind> kind = ArchiveFormat::kind(archive);
    const char* type = kind == ArchiveFormat::Kind::tarGz    ? "gzip"
                       : kind == ArchiveFormat::Kind::tarBz2 ? "bzip2"
                       : kind == ArchiveFormat::Kind::tarXz  ? "xz"
                                                             : nullptr;
    if (!type || !plainPath.match(sevenZip).hasMatch()) return {};
    return {QStringLiteral("--use-compress-program=%1 e -si -so -t%2 -bd -- *")
                .arg(sevenZip, QLatin1String(type))};
}

}  // namespace Tar

namespace Rar {

QStringList toolNames() { return {QStringLiteral("unrar")}; }

// Debian calls the real RARLAB program unrar-nonfree; plain unrar may be a free clone with another
// command line, so it comes last.
QStringList systemPaths() {
    return {QStringLiteral("/usr/local/bin/unrar"), QStringLiteral("/usr/bin/unrar-nonfree"),
            QStringLiteral("/usr/bin/unrar")};
}

std::optional<QString> locate() { return CommandLocator::firstBundledOrExisting(toolNames(), systemPaths()); }

bool isReadAsWildcard(const QString& archive) {
    return archive.contains(QLatin1Char('*')) || archive.contains(QLatin1Char('?'));
}

QStringList passwordSwitches(const std::optional<QString>& password) {
    return {givenPassword(password) ? QStringLiteral("-p") : QStringLiteral("-p-")};
}

// Overwrite without asking, and answer every other question yes: a write that fails (a full disk) then
// ends the run with unrar's own words and status 5, where its "[R]etry, [A]bort" question would read the
// end of standard input and stop the run with 255 and the words run together.
QStringList extractionSwitches(const std::optional<QString>& password) {
    return QStringList{QStringLiteral("x"), QStringLiteral("-o+"), QStringLiteral("-y")}
           << passwordSwitches(password);
}

QStringList extractArguments(const QString& archive, const QString& destination,
                             const std::optional<QString>& password) {
    return extractionSwitches(password) << QStringLiteral("--") << archive << destination + QLatin1Char('/');
}

QStringList testArguments(const QString& archive, const std::optional<QString>& password,
                          const QStringList& entryPaths) {
    return QStringList{QStringLiteral("t")} << passwordSwitches(password) << QStringLiteral("--") << archive
                                            << entryPaths;
}

// -v lists every volume of a set, not only the one named.
QStringList technicalListArguments(const QString& archive, const std::optional<QString>& password) {
    return QStringList{QStringLiteral("lt"), QStringLiteral("-v")} << passwordSwitches(password)
                                                                   << QStringLiteral("--") << archive;
}

QStringList extractEntryArguments(const QString& archive, const QString& entryPath,
                                  const QString& destination, const std::optional<QString>& password) {
    return extractionSwitches(password) << QStringLiteral("--") << archive << entryPath
                                        << destination + QLatin1Char('/');
}

}  // namespace Rar

}  // namespace ArchiveTools
