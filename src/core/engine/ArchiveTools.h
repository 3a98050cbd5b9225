#pragma once

#include <QString>
#include <QStringList>
#include <optional>

// Every external archive program velmora starts: where it is found, the switches the engine passes
// and the time-outs of its runs. Argument strings are written here once and nowhere else.
namespace ArchiveTools {

// Time-outs, in seconds. Creating, testing and extracting whole archives may take hours; listing and
// one-entry previews must answer quickly; in-place edits sit in between.
inline constexpr double kLongRunTimeout = 86400;
inline constexpr double kListingTimeout = 20;
inline constexpr double kEditTimeout = 120;

// Fixed system programs, started by absolute path.
inline const QString kZipPath = QStringLiteral("/usr/bin/zip");
inline const QString kUnzipPath = QStringLiteral("/usr/bin/unzip");
inline const QString kTarPath = QStringLiteral("/usr/bin/tar");

namespace SevenZip {
QStringList toolNames();
QStringList systemPaths();
std::optional<QString> locate();

// Names after these are never read as switches, wildcards or list files.
QStringList endOfSwitches();  // "-spd", "--"
QString outputFolder(const QString& folder);  // -o<folder>
QString threads(int count);                   // -mmt=<count>
QString password(const QString& password);    // -p<password>

// x: extracts archive with its folders into destination, overwriting without asking. A password is
// passed only when it is not empty; a count below 1 means one thread.
QStringList extractArguments(const QString& archive, const QString& destination, int threadCount,
                             const std::optional<QString>& password);
}  // namespace SevenZip

namespace Unzip {
// Extracts archive into destination, overwriting without asking; -P only for a non-empty password.
// unzip has no end of switches and reads the archive name as a wildcard pattern, so the name is
// made absolute and its pattern characters are bracketed.
QStringList extractArguments(const QString& archive, const QString& destination,
                             const std::optional<QString>& password);
}  // namespace Unzip

namespace Rar {
QStringList toolNames();
QStringList systemPaths();
std::optional<QString> locate();

// "-p<password>", or "-p-" (never ask) when there is no password or it is empty.
QString password(const std::optional<QString>& password);

// x: extracts archive with its folders into destination, overwriting existing files.
QStringList extractArguments(const QString& archive, const QString& destination,
                             const std::optional<QString>& password);
}  // namespace Rar

}  // namespace ArchiveTools
