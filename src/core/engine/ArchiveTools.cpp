#include "core/engine/ArchiveTools.h"

#include "core/engine/CommandLocator.h"

#include <QFileInfo>

#include <algorithm>

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

QStringList extractArguments(const QString& archive, const QString& destination, int threadCount,
                             const std::optional<QString>& password) {
    QStringList arguments{QStringLiteral("x"), outputFolder(destination), QStringLiteral("-y"),
                          threads(std::max(threadCount, 1))};
    if (password && !password->isEmpty()) arguments << SevenZip::password(*password);
    return arguments << endOfSwitches() << archive;
}

}  // namespace SevenZip

namespace Unzip {

namespace {
QString literalPattern(const QString& name) {
    QString literal;
    for (const QChar character : name) {
        const bool special =
            character == QLatin1Char('[') || character == QLatin1Char('*') || character == QLatin1Char('?');
        literal += special ? QLatin1Char('[') + character + QLatin1Char(']') : QString(character);
    }
    return literal;
}
}  // namespace

QStringList extractArguments(const QString& archive, const QString& destination,
                             const std::optional<QString>& password) {
    QStringList arguments{QStringLiteral("-o")};
    if (password && !password->isEmpty()) arguments << QStringLiteral("-P") << *password;
    return arguments << literalPattern(QFileInfo(archive).absoluteFilePath()) << QStringLiteral("-d")
                     << QFileInfo(destination).absoluteFilePath();
}

}  // namespace Unzip

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

QStringList extractArguments(const QString& archive, const QString& destination,
                             const std::optional<QString>& password) {
    return {QStringLiteral("x"),
            QStringLiteral("-o+"),
            Rar::password(password),
            QStringLiteral("--"),
            archive,
            destination + QLatin1Char('/')};
}

}  // namespace Rar

}  // namespace ArchiveTools
