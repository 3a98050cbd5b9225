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
QStringList endOfSwitches();                  // "-spd", "--"
QString outputFolder(const QString& folder);  // -o<folder>
QString threads(int count);                   // -mmt=<count>
QString password(const QString& password);    // -p<password>

// Each list below passes a password only when it is not empty, and puts the end of switches before
// the archive, so that entry names are taken literally: "*.txt" is that one entry, not a wildcard.

// l -slt: the technical listing, one block of "key = value" lines per entry.
QStringList technicalListArguments(const QString& archive, const std::optional<QString>& password);
// l: the plain listing, one row per entry between two dashed lines.
QStringList plainListArguments(const QString& archive, const std::optional<QString>& password);
// x: extracts the named entries (a folder with its contents) with their paths into destination,
// overwriting without asking.
QStringList extractEntriesArguments(const QString& archive, const QStringList& entryPaths,
                                    const QString& destination, const std::optional<QString>& password);
// a: adds items named by full path, each stored under its own name at the top level; type is "zip"
// or "7z". Creates the archive when it does not exist.
QStringList addArguments(const QString& archive, const QString& type, const QStringList& items);
// d: deletes the named entries (a folder with its contents).
QStringList deleteArguments(const QString& archive, const QStringList& entryPaths);
// x: extracts archive with its folders into destination, overwriting without asking. A password is
// passed only when it is not empty; a count below 1 means one thread.
QStringList extractArguments(const QString& archive, const QString& destination, int threadCount,
                             const std::optional<QString>& password);
}  // namespace SevenZip

// Info-ZIP's zip and unzip have no end of switches and read entry names as wildcard patterns.
namespace InfoZip {
// A name these programs would take for a switch; callers refuse it.
bool isReadAsSwitch(const QString& name);
// The pattern that matches exactly this name.
QString literalPattern(const QString& name);
}  // namespace InfoZip

namespace Unzip {
// Extracts archive into destination, overwriting without asking; -P only for a non-empty password.
QStringList extractArguments(const QString& archive, const QString& destination,
                             const std::optional<QString>& password);
// -l: one line per entry with length, date, time and name.
QStringList listArguments(const QString& archive);
// Extracts one entry with its path into destination, overwriting; -P only for a non-empty password.
QStringList extractEntryArguments(const QString& archive, const QString& entryPath,
                                  const QString& destination, const std::optional<QString>& password);
}  // namespace Unzip

namespace Zip {
// -d: deletes the named entries.
QStringList deleteArguments(const QString& archive, const QStringList& entryPaths);
}  // namespace Zip

namespace Rar {
QStringList toolNames();
QStringList systemPaths();
std::optional<QString> locate();

// "-p<password>", or "-p-" (never ask) when there is no password or it is empty.
QString password(const std::optional<QString>& password);

// x: extracts archive with its folders into destination, overwriting existing files.
QStringList extractArguments(const QString& archive, const QString& destination,
                             const std::optional<QString>& password);
// lt -v: the technical listing of every volume, one block of "key: value" lines per entry.
QStringList technicalListArguments(const QString& archive, const std::optional<QString>& password);
// x: extracts one entry with its path into destination, overwriting existing files.
QStringList extractEntryArguments(const QString& archive, const QString& entryPath,
                                  const QString& destination, const std::optional<QString>& password);
}  // namespace Rar

}  // namespace ArchiveTools
