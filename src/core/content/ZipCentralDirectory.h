#pragma once

#include "core/content/LegacyNames.h"
#include "core/content/PreviewListing.h"

#include <QByteArrayView>
#include <QString>
#include <optional>

// Lists a ZIP archive without a tool by reading its end record and central directory, never a local
// header or file data. Any structural doubt gives no rows rather than an error, so that the caller
// asks a tool instead; ZIP64 archives are left to the tools.
namespace ZipCentralDirectory {

// Where the directory lies, as the end record says.
struct Location {
    quint64 offset = 0;
    quint64 size = 0;
    quint32 entryCount = 0;
};

// How much of the file's end is searched for the end record (22 bytes plus a comment of up to 65,535).
inline constexpr quint64 kTailLength = 66000;
// A larger directory is not read into memory; the tools decide about such an archive.
inline constexpr quint64 kMaximumDirectorySize = quint64(256) * 1024 * 1024;

// The rows come in directory order; isEncrypted is set when any examined header has flag bit 0.
// Throws FileSystemError when the file cannot be opened or read.
PreviewListing nativeZipEntries(const QString& fileURL);

// The convention of the archive's legacy names, as its directory tells; the format's own code page
// when the directory cannot be read.
LegacyNames::Source legacyNameSource(const QString& fileURL);

// The directory's place for a file of fileSize bytes whose last bytes are tail; nothing when the end
// record is missing, the directory is empty, out of the file's bounds, too large, or ZIP64.
std::optional<Location> directoryLocation(QByteArrayView tail, quint64 fileSize);

// Walks the directory's bytes until entryCount rows, the end of the bytes or the first damage.
PreviewListing readDirectory(QByteArrayView directory, quint32 entryCount);

std::optional<qsizetype> findEndOfCentralDirectory(QByteArrayView tail);
quint16 readUInt16LE(QByteArrayView bytes, qsizetype offset);
quint32 readUInt32LE(QByteArrayView bytes, qsizetype offset);
QString dosDateDescription(quint16 date, quint16 time);

}  // namespace ZipCentralDirectory
