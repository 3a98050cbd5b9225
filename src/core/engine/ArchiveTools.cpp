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

}  // namespace SevenZip

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
