#pragma once

#include "core/engine/CompressionFormat.h"
#include "core/engine/CompressionLevel.h"

#include <QString>
#include <QStringList>
#include <QtGlobal>
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

// Creating archives: "a", "-t<type>", "-mx=<n>"; formats other than zip and sevenZip have no 7-Zip type.
QString addCommand();
QString archiveType(CompressionFormat format);
QString level(CompressionLevel level);
QStringList progressSwitches();    // "-bsp1", "-bb1": percentages and the file log on standard output
QString lzma2Method();             // -m0=lzma2
QString volumeSize(qint64 bytes);  // -v<bytes>b
QString headerEncryptionOff();     // -mhe=off
// Leaves out dot-files and __MACOSX at every depth. These are wildcards, which -spd would switch off,
// so names that follow them are protected by "--" alone.
QStringList hiddenExclusions();
QStringList endOfSwitchesKeepingWildcards();  // "--"

QString testCommand();  // t
}  // namespace SevenZip

namespace Zip {
QStringList recursiveWithoutExtraAttributes();  // "-r", "-X"
QStringList password(const QString& password);  // "-P", <password>
QStringList split(const QString& volumeSize);   // "-s", <size>
// Values of the split size: <n>k, <n>m, <n>g.
QString kibibytes(qint64 count);
QString mebibytes(qint64 count);
QString gibibytes(qint64 count);
// Ends a preceding "-x" list as well as the switches, so these come before it.
QStringList hiddenExclusions();  // "-x", "*/.*", ".*", "*/__MACOSX/*", "__MACOSX/*"
QStringList endOfSwitches();     // "--"
}  // namespace Zip

namespace Tar {
QStringList createGzip(const QString& archive);  // "-czf", <archive>
QStringList hiddenExclusions();                  // "--exclude=..." for dot-files and __MACOSX
QStringList endOfSwitches();                     // "--"
}  // namespace Tar

namespace Rar {
QStringList toolNames();
QStringList systemPaths();
std::optional<QString> locate();

// "-p<password>", or "-p-" (never ask) when there is no password or it is empty.
QString password(const std::optional<QString>& password);
}  // namespace Rar

}  // namespace ArchiveTools
