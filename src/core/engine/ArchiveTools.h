#pragma once

#include "core/base/CompressionFormat.h"
#include "core/base/CompressionLevel.h"
#include "core/engine/ProcessRunner.h"

#include <QString>
#include <QStringList>
#include <QtGlobal>
#include <optional>

// Every external archive program velmora starts: where it is found, the switches the engine passes
// and the time-outs of its runs. Argument strings are written here once and nowhere else.
namespace ArchiveTools {

// Time-outs, in seconds. Creating, testing and extracting whole archives may take hours; one-entry
// previews must answer quickly; in-place edits sit in between. A listing prints all along however
// long the archive, so only its silence counts: a tool that stops printing is stuck.
inline constexpr double kLongRunTimeout = 86400;
inline constexpr ProcessRunner::TimeLimit kListingTimeout = ProcessRunner::TimeLimit::ofSilence(20);
inline constexpr double kPreviewTimeout = 20;
inline constexpr double kEditTimeout = 120;

// Fixed system programs, started by absolute path.
inline const QString kZipPath = QStringLiteral("/usr/bin/zip");
inline const QString kUnzipPath = QStringLiteral("/usr/bin/unzip");
inline const QString kTarPath = QStringLiteral("/usr/bin/tar");

// The line a 7-Zip or unrar run reads on standard input, and zip or unzip on their terminal
// (ProcessRunner): the password when it is present and not empty, else nothing, so the run's standard
// input is /dev/null. No argument list below holds a password.
std::optional<QString> givenPassword(const std::optional<QString>& password);

namespace SevenZip {
QStringList toolNames();
QStringList systemPaths();
std::optional<QString> locate();

// Names after these are never read as switches, wildcards or list files.
QStringList endOfSwitches();                  // "-spd", "--"
QString outputFolder(const QString& folder);  // -o<folder>
QString threads(int count);                   // -mmt=<count>

// Each list below puts the end of switches before the archive, so that entry names are taken
// literally: "*.txt" is that one entry, not a wildcard. 7-Zip asks for a password on standard input
// when the archive needs one; a bare "-p" would mean the empty password there.

// l -slt: the technical listing, one block of "key = value" lines per entry.
QStringList technicalListArguments(const QString& archive);
// l: the plain listing, one row per entry between two dashed lines.
QStringList plainListArguments(const QString& archive);
// l -slt of the entries with a line feed in a name of their path, which 7-Zip prints as "_"; the
// pattern is a wildcard, and so is the archive path then: nothing for a path holding one.
std::optional<QStringList> lineFeedListArguments(const QString& archive);
// -snld, or -snld20 with linkChecksOff: see extractArguments.
QString linkChecks(bool off);
// x: extracts the named entries (a folder with its contents) with their paths into destination,
// overwriting without asking; links as extractArguments restores them.
QStringList extractEntriesArguments(const QString& archive, const QStringList& entryPaths,
                                    const QString& destination, bool linkChecksOff = false);
// -w<folder>: where an update writes the new archive under a temporary name before it replaces the
// old one (else beside the archive, where a killed run would leave it).
QString workFolder(const QString& folder);
// a: adds items named by full path, each stored under its own name at the top level; type is "zip"
// or "7z". Creates the archive when it does not exist. The temporary archive goes to workFolder.
QStringList addArguments(const QString& archive, const QString& type, const QStringList& items,
                         const QString& workFolder);
// d: deletes the named entries (a folder with its contents); the temporary archive goes to workFolder.
QStringList deleteArguments(const QString& archive, const QStringList& entryPaths, const QString& workFolder);
// x: extracts archive with its folders into destination, overwriting without asking; a count below 1
// means one thread. Links whose targets climb with ".." are restored as long as they stay inside the
// destination (-snld); 7-Zip refuses the others, and the caller checks every link again. With
// linkChecksOff (-snld20) 7-Zip restores every link, one through another link included: only for an
// archive whose listing was proved safe (SevenZipLinkChains).
QStringList extractArguments(const QString& archive, const QString& destination, int threadCount,
                             bool linkChecksOff = false);
// x -so: writes the named entries' data to standard output, in archive order; a link's data is its
// target.
QStringList printEntriesArguments(const QString& archive, const QStringList& entryPaths);

// Creating archives: "a", "-t<type>", "-mx=<n>"; formats other than zip and sevenZip have no 7-Zip type.
QString addCommand();
QString archiveType(CompressionFormat format);
QString level(CompressionLevel level);
// "-bsp1": percentages on standard output. No file log: a line per file through the pipe makes a
// compression of many small files a sixth slower, and progress reads the percentages alone.
QStringList progressSwitches();
QString storeLinks();              // -snl: a symbolic link is stored as a link, never followed
QString lzma2Method();             // -m0=lzma2
QString volumeSize(qint64 bytes);  // -v<bytes>b
QString headerEncryptionOff();     // -mhe=off
// "-p": on creation, 7-Zip then reads the password from standard input.
QString askPassword();
QString zipCryptoMethod();  // -mem=ZipCrypto: the ZIP encryption every unzip opens
// Whether 7-Zip encrypts a ZIP with this password: it refuses characters beyond ASCII there.
bool takesZipPassword(const QString& password);
// Leaves out dot-files and __MACOSX at every depth. These are wildcards, which -spd would switch off,
// so names that follow them are protected by "--" alone.
QStringList hiddenExclusions();
QStringList endOfSwitchesKeepingWildcards();  // "--"

// t: tests the named entries (every entry when none is named), writing nothing.
QStringList testArguments(const QString& archive, const QStringList& entryPaths = {});
}  // namespace SevenZip

// Info-ZIP's zip and unzip have no end of switches and read entry names as wildcard patterns.
namespace InfoZip {
// A name these programs would take for a switch; callers refuse it.
bool isReadAsSwitch(const QString& name);
// The pattern that matches exactly this name.
QString literalPattern(const QString& name);
}  // namespace InfoZip

// unzip asks for a password on its terminal when an entry needs one.
namespace Unzip {
std::optional<QString> locate();  // kUnzipPath, when it is there
// Extracts archive into destination, overwriting without asking.
QStringList extractArguments(const QString& archive, const QString& destination);
// -l: one line per entry with length, date, time and name.
QStringList listArguments(const QString& archive);
// Extracts one entry with its path into destination, overwriting.
QStringList extractEntryArguments(const QString& archive, const QString& entryPath,
                                  const QString& destination);
}  // namespace Unzip

namespace Zip {
std::optional<QString> locate();  // kZipPath, when it is there
// -b <workFolder> -d: deletes the named entries, writing the temporary archive in workFolder.
QStringList deleteArguments(const QString& archive, const QStringList& entryPaths, const QString& workFolder);

// Creating archives. zip takes existing names literally, and "--" ends its switches.
QStringList recursiveWithoutExtraAttributes();  // "-r", "-X"
QStringList storeLinks();                       // "-y": a symbolic link is stored as a link
QStringList encrypt();                          // "-e": asks for the password twice on the terminal
QStringList split(const QString& volumeSize);   // "-s", <size>
// The split size: <n>g, <n>m or <n>k. Throws SplitCompressionError::invalidVolumeSize below 64 KiB,
// the smallest volume zip writes.
QString volumeSize(qint64 bytes);
// Ends a preceding "-x" list as well as the switches, so these come before it.
QStringList hiddenExclusions();  // "-x", "*/.*", ".*", "*/__MACOSX/*", "__MACOSX/*"
QStringList endOfSwitches();     // "--"
}  // namespace Zip

namespace Tar {
std::optional<QString> locate();                 // kTarPath, when it is there
QStringList createGzip(const QString& archive);  // "-czf", <archive>
QStringList hiddenExclusions();                  // "--exclude=..." for dot-files and __MACOSX
QStringList endOfSwitches();                     // "--"

// Reading a TAR (its compression, if any, already unpacked). The archive is always a local file, even
// with a ":" in its name; names in tar's lines, its failures' included, are in C quoting.
// --list --verbose: one line per entry with its type and mode, owner, size, whole date and time and its
// name, in C quoting ("a\"b", a byte that is not UTF-8 as "\326"), so that no name can pass for the
// line's other fields or a link's " -> " target.
// decompression: what decompressor() gives, or nothing for tar's own (it recognises gzip, bzip2 and xz
// and runs their programs).
QStringList listArguments(const QString& archive, const QStringList& decompression = {});
// --extract into destination: the named entries (a folder with its contents, every entry when none is
// named), taken literally (no wildcards, no backslash escapes) after the end of switches. Owners and
// modes are the user's own, as root too: an archive never sets owners or set-user-ID bits here.
QStringList extractArguments(const QString& archive, const QString& destination,
                             const QStringList& entryPaths = {}, const QStringList& decompression = {});
// --use-compress-program: the compression layer of a compressed TAR decoded by 7-Zip (sevenZip) into
// tar's pipe, faster than gzip, bzip2 and xz decode it, and with no copy of the TAR inside. GNU tar
// splits the command into words (no shell) and adds "-d", which after "--" is one more name for the one
// item. Nothing for an archive of another kind, or for a program path that tar would split or expand.
QStringList decompressor(const QString& archive, const QString& sevenZip);
}  // namespace Tar

namespace Rar {
QStringList toolNames();
QStringList systemPaths();
std::optional<QString> locate();

// unrar reads its archive argument as a wildcard mask even after "--", in the folders as well as the
// name: true when the path holds "*" or "?" ("[" is taken literally). Such a path must reach unrar
// through a RarArchiveAlias.
bool isReadAsWildcard(const QString& archive);

// "-p-" (never ask) when there is no password or it is empty; otherwise "-p": unrar then reads the
// password from standard input once, before the run, and uses it for every entry.
QStringList passwordSwitches(const std::optional<QString>& password);

// x: extracts archive with its folders into destination, overwriting existing files.
QStringList extractArguments(const QString& archive, const QString& destination,
                             const std::optional<QString>& password);
// t: tests the named entries (every entry of every volume of a set when none is named), writing nothing.
QStringList testArguments(const QString& archive, const std::optional<QString>& password,
                          const QStringList& entryPaths = {});
// lt -v: the technical listing of every volume, one block of "key: value" lines per entry.
QStringList technicalListArguments(const QString& archive, const std::optional<QString>& password);
// x: extracts one entry with its path into destination, overwriting existing files.
QStringList extractEntryArguments(const QString& archive, const QString& entryPath,
                                  const QString& destination, const std::optional<QString>& password);
}  // namespace Rar

}  // namespace ArchiveTools
