#include "core/engine/ArchiveTools.h"

#include "core/engine/CommandLocator.h"

namespace ArchiveTools {

namespace SevenZip {

QStringList toolNames() { return {QStringLiteral("7zz")}; }

QStringList systemPaths() {
    return {QStringLiteral("/usr/local/bin/7zz"), QStringLiteral("/usr/bin/7zz"), QStringLiteral("/usr/local/bin/7z"),
            QStringLiteral("/usr/bin/7z")};
}

std::optional<QString> locate() { return CommandLocator::firstBundledOrExisting(toolNames(), systemPaths()); }

QStringList endOfSwitches() { return {QStringLiteral("-spd"), QStringLiteral("--")}; }

QString outputFolder(const QString& folder) { return QStringLiteral("-o") + folder; }

QString threads(int count) { return QStringLiteral("-mmt=") + QString::number(count); }

QString password(const QString& password) { return QStringLiteral("-p") + password; }

QString addCommand() { return QStringLiteral("a"); }

QString archiveType(CompressionFormat format) {
    return format == CompressionFormat::zip ? QStringLiteral("-tzip") : QStringLiteral("-t7z");
}

QString level(CompressionLevel level) {
    return QStringLiteral("-mx=") + QString::number(CompressionLevels::sevenZipLevelNumber(level));
}

QStringList progressSwitches() { return {QStringLiteral("-bsp1"), QStringLiteral("-bb1")}; }

QString lzma2Method() { return QStringLiteral("-m0=lzma2"); }

QString volumeSize(qint64 bytes) { return QStringLiteral("-v") + QString::number(bytes) + QLatin1Char('b'); }

QString headerEncryptionOff() { return QStringLiteral("-mhe=off"); }

QStringList hiddenExclusions() { return {QStringLiteral("-xr!.*"), QStringLiteral("-xr!__MACOSX")}; }

QStringList endOfSwitchesKeepingWildcards() { return {QStringLiteral("--")}; }

QString testCommand() { return QStringLiteral("t"); }

}  // namespace SevenZip

namespace Zip {

QStringList recursiveWithoutExtraAttributes() { return {QStringLiteral("-r"), QStringLiteral("-X")}; }

QStringList password(const QString& password) { return {QStringLiteral("-P"), password}; }

QStringList split(const QString& volumeSize) { return {QStringLiteral("-s"), volumeSize}; }

QString kibibytes(qint64 count) { return QString::number(count) + QLatin1Char('k'); }

QString mebibytes(qint64 count) { return QString::number(count) + QLatin1Char('m'); }

QString gibibytes(qint64 count) { return QString::number(count) + QLatin1Char('g'); }

QStringList hiddenExclusions() {
    return {QStringLiteral("-x"), QStringLiteral("*/.*"), QStringLiteral(".*"),
            QStringLiteral("*/__MACOSX/*"), QStringLiteral("__MACOSX/*")};
}

QStringList endOfSwitches() { return {QStringLiteral("--")}; }

}  // namespace Zip

namespace Tar {

QStringList createGzip(const QString& archive) { return {QStringLiteral("-czf"), archive}; }

QStringList hiddenExclusions() {
    return {QStringLiteral("--exclude=*/.*"), QStringLiteral("--exclude=.*"),
            QStringLiteral("--exclude=*/__MACOSX"), QStringLiteral("--exclude=__MACOSX")};
}

QStringList endOfSwitches() { return {QStringLiteral("--")}; }

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

QString password(const std::optional<QString>& password) {
    if (!password || password->isEmpty()) return QStringLiteral("-p-");
    return QStringLiteral("-p") + *password;
}

}  // namespace Rar

}  // namespace ArchiveTools
