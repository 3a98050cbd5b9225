#pragma once

#include "core/base/LegacyNames.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <functional>
#include <optional>

// Reads a ZIP archive's end record and central directory, never a local header or file data. Any
// structural doubt gives nothing rather than an error, so that the caller asks a tool instead; ZIP64
// archives are left to the tools.
namespace ZipCentralDirectory {

// Where the directory lies, as the end record says.
struct Location {
    quint64 offset = 0;
    quint64 size = 0;
    quint32 entryCount = 0;
};

// What one reading of a file's end found: the number of entries its end record claims (nothing without
// one; a damaged archive may claim entries its directory does not hold), and the directory's bytes with
// the count they are walked for, both empty where directoryLocation finds no directory.
struct Directory {
    std::optional<quint32> claimedEntryCount;
    QByteArray bytes;
    quint32 entryCount = 0;
};

// The fields of one directory header that velmora reads; name and extra lie in the directory's bytes.
struct Header {
    quint8 host = 0;  // the high byte of "version made by": the system the entry was made on
    quint16 flags = 0;
    quint16 time = 0;
    quint16 date = 0;
    quint32 size = 0;
    QByteArrayView name;
    QByteArrayView extra;
};

// How much of the file's end is searched for the end record (22 bytes plus a comment of up to 65,535).
inline constexpr quint64 kTailLength = 66000;
// A larger directory is not read into memory; the tools decide about such an archive.
inline constexpr quint64 kMaximumDirectorySize = quint64(256) * 1024 * 1024;
// The fixed part of a directory header, before its name, extra field and comment.
inline constexpr qsizetype kHeaderSize = 46;

// The file's end record and directory, from one open; nothing for a pipe or a device. Throws
// FileSystemError when the file cannot be opened or read.
std::optional<Directory> read(const QString& fileURL);

// The claimed count of read; nothing when the file holds no end record or cannot be read.
std::optional<quint32> claimedEntryCount(const QString& fileURL);

// Calls visit for each header in directory order until entryCount headers, the end of the bytes or the
// first damage. Returns whether any header examined, the one damage stopped at included, has flag
// bit 0 (encrypted).
bool walk(QByteArrayView directory, quint32 entryCount, const std::function<void(const Header&)>& visit);

// The entry's name when it is Unicode: valid UTF-8 as it is, or given in a current Unicode Path field
// when not flagged as UTF-8. Nothing for a legacy name, whose bytes are decoded with the archive's
// others (LegacyNames).
std::optional<QString> unicodeName(const Header& header);

// The convention of the archive's legacy names, as its directory tells; the format's own code page
// when it holds none.
LegacyNames::Source legacyNameSource(const Directory& directory);

// Whether "\" separates folders in the archive's names: an entry made on DOS or Windows (FAT, NTFS,
// VFAT) holds one, and no entry made on another system does, where it is a character of the name.
bool separatesFoldersWithBackslash(const Directory& directory);

// The directory's place for a file of fileSize bytes whose last bytes are tail; nothing when the end
// record is missing, the directory is empty, out of the file's bounds, too large, or ZIP64.
std::optional<Location> directoryLocation(QByteArrayView tail, quint64 fileSize);

// Whether a file of fileSize bytes whose last bytes are tail ends as a finished ZIP: its directory ends
// where the end records begin (ZIP64's included). Tools write those records last, so a file cut short
// while written has none that fit.
bool isWhole(QByteArrayView tail, quint64 fileSize);

std::optional<qsizetype> findEndOfCentralDirectory(QByteArrayView tail);
quint16 readUInt16LE(QByteArrayView bytes, qsizetype offset);
quint32 readUInt32LE(QByteArrayView bytes, qsizetype offset);
quint64 readUInt64LE(QByteArrayView bytes, qsizetype offset);
// The CRC-32 of ZIP (and 7Z).
quint32 crc32(QByteArrayView bytes);

}  // namespace ZipCentralDirectory
