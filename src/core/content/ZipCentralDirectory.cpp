#include "core/content/ZipCentralDirectory.h"

#include "core/base/FileSystemError.h"
#include "core/base/ToolText.h"
#include "core/content/LegacyNames.h"
#include "core/content/PreviewEntryRules.h"

#include <QFile>

#include <algorithm>
#include <array>

namespace ZipCentralDirectory {

namespace {

constexpr quint32 kEndRecordSignature = 0x06054b50;
constexpr quint32 kCentralHeaderSignature = 0x02014b50;
constexpr qsizetype kEndRecordSize = 22;
constexpr qsizetype kCentralHeaderSize = 46;
constexpr quint16 kEncryptedFlag = 0x0001;

constexpr quint16 kUtf8Flag = 0x0800;
constexpr quint16 kUnicodePathHeader = 0x7075;

quint32 crc32(QByteArrayView bytes) {
    static const std::array<quint32, 256> table = [] {
        std::array<quint32, 256> values{};
        for (quint32 index = 0; index < 256; ++index) {
            quint32 value = index;
            for (int bit = 0; bit < 8; ++bit) value = (value & 1) ? 0xEDB88320 ^ (value >> 1) : value >> 1;
            values[index] = value;
        }
        return values;
    }();
    quint32 crc = 0xFFFFFFFF;
    for (const char byte : bytes) crc = table[(crc ^ static_cast<unsigned char>(byte)) & 0xFF] ^ (crc >> 8);
    return crc ^ 0xFFFFFFFF;
}

// Info-ZIP's Unicode Path field: version 1, the CRC-32 of the stored name, then the name in UTF-8.
// A CRC that does not match means another tool renamed the entry since; the field is then stale.
std::optional<QString> unicodePath(QByteArrayView extra, QByteArrayView storedName) {
    qsizetype position = 0;
    while (position + 4 <= extra.size()) {
        const quint16 header = readUInt16LE(extra, position);
        const qsizetype length = readUInt16LE(extra, position + 2);
        const QByteArrayView data = extra.sliced(position + 4, std::min(length, extra.size() - position - 4));
        position += 4 + length;
        if (header != kUnicodePathHeader || data.size() < 5 || data[0] != 1) continue;
        const QByteArrayView name = data.sliced(5);
        if (readUInt32LE(data, 1) != crc32(storedName) || !ToolText::isValidUtf8(name)) return std::nullopt;
        return QString::fromUtf8(name);
    }
    return std::nullopt;
}

// A name flagged as UTF-8, or given in a Unicode Path field, or valid UTF-8 as it is, is used as it
// is. Any other is a legacy name: it gives an empty path and its bytes as toolPath, decoded later
// with the archive's others.
QString entryPath(quint16 flags, QByteArrayView name, QByteArrayView extra, QString& toolPath) {
    if (!(flags & kUtf8Flag)) {
        if (std::optional<QString> unicode = unicodePath(extra, name)) return *std::move(unicode);
    }
    // Invalid UTF-8 always decodes to U+FFFD, so only a name holding one needs the full test.
    QString text = QString::fromUtf8(name);
    if (!text.contains(QChar::ReplacementCharacter) || ToolText::isValidUtf8(name)) return text;
    toolPath = ToolText::escapedName(name);
    return {};
}

[[noreturn]] void throwFileError(FileSystemError::Kind kind, const QFile& file) {
    throw FileSystemError(kind, file.fileName(), file.errorString());
}

QByteArray readAt(QFile& file, quint64 offset, quint64 length) {
    if (!file.seek(static_cast<qint64>(offset))) throwFileError(FileSystemError::Kind::readFailed, file);
    QByteArray bytes(static_cast<qsizetype>(length), Qt::Uninitialized);
    const qint64 count = file.read(bytes.data(), bytes.size());
    if (count < 0) throwFileError(FileSystemError::Kind::readFailed, file);
    bytes.truncate(count);
    return bytes;
}

}  // namespace

quint16 readUInt16LE(QByteArrayView bytes, qsizetype offset) {
    if (offset < 0 || offset + 1 >= bytes.size()) return 0;
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.data()) + offset;
    return static_cast<quint16>(data[0] | (data[1] << 8));
}

quint32 readUInt32LE(QByteArrayView bytes, qsizetype offset) {
    if (offset < 0 || offset + 3 >= bytes.size()) return 0;
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.data()) + offset;
    return quint32(data[0]) | (quint32(data[1]) << 8) | (quint32(data[2]) << 16) | (quint32(data[3]) << 24);
}

std::optional<qsizetype> findEndOfCentralDirectory(QByteArrayView tail) {
    // Only a record whose comment reaches exactly to the end of the file counts.
    for (qsizetype index = tail.size() - kEndRecordSize; index >= 0; --index) {
        if (readUInt32LE(tail, index) != kEndRecordSignature) continue;
        if (index + kEndRecordSize + readUInt16LE(tail, index + 20) == tail.size()) return index;
    }
    return std::nullopt;
}

// "%04d-%02d-%02d %02d:%02d:%02d" of year, month, day, hour, minute, second, written without printf:
// a listing writes one per row. No field exceeds its width (year 2107, hour 31, minute 63, second 62).
QString dosDateDescription(quint16 date, quint16 time) {
    const int day = date & 0x1F;
    const int month = (date >> 5) & 0x0F;
    const int year = 1980 + (date >> 9);
    if (day == 0 || month < 1 || month > 12) return {};
    const std::array<int, 6> fields{year / 100, year % 100, month, day, time >> 11, (time >> 5) & 0x3F};
    QString text(19, Qt::Uninitialized);
    char16_t* out = reinterpret_cast<char16_t*>(text.data());
    const auto twoDigits = [&out](int value) {
        *out++ = char16_t(u'0' + value / 10);
        *out++ = char16_t(u'0' + value % 10);
    };
    twoDigits(fields[0]);
    twoDigits(fields[1]);
    for (const auto& [value, separator] : {std::pair{fields[2], u'-'},
                                           {fields[3], u'-'},
                                           {fields[4], u' '},
                                           {fields[5], u':'},
                                           {2 * (time & 0x1F), u':'}}) {
        *out++ = separator;
        twoDigits(value);
    }
    return text;
}

std::optional<Location> directoryLocation(QByteArrayView tail, quint64 fileSize) {
    const std::optional<qsizetype> end = findEndOfCentralDirectory(tail);
    if (!end) return std::nullopt;
    const Location location{readUInt32LE(tail, *end + 16), readUInt32LE(tail, *end + 12),
                            readUInt16LE(tail, *end + 10)};
    const bool empty = location.entryCount == 0 || location.size == 0;
    const bool outside = location.offset >= fileSize || location.offset + location.size > fileSize;
    const bool zip64 =
        location.entryCount == 0xFFFF || location.offset == 0xFFFFFFFF || location.size == 0xFFFFFFFF;
    if (empty || outside || zip64 || location.size > kMaximumDirectorySize) return std::nullopt;
    return location;
}

PreviewListing readDirectory(QByteArrayView directory, quint32 entryCount) {
    PreviewListing listing;
    listing.entries.reserve(std::min<qsizetype>(entryCount, directory.size() / kCentralHeaderSize));
    // Entries written together mostly share their time stamp: its text is shared while it repeats.
    // Stamp 0 holds no valid date, whose text is the empty one previousDate starts with.
    quint32 previousStamp = 0;
    QString previousDate;
    qsizetype position = 0;
    while (position + kCentralHeaderSize <= directory.size() &&
           listing.entries.size() < qsizetype(entryCount)) {
        if (readUInt32LE(directory, position) != kCentralHeaderSignature) break;
        // The high byte of "version made by": the system the entry was made on.
        const quint8 host = quint8(directory[position + 5]);
        const quint16 flags = readUInt16LE(directory, position + 8);
        if (flags & kEncryptedFlag) listing.isEncrypted = true;
        const quint16 time = readUInt16LE(directory, position + 12);
        const quint16 date = readUInt16LE(directory, position + 14);
        const quint32 size = readUInt32LE(directory, position + 24);
        const qsizetype nameLength = readUInt16LE(directory, position + 28);
        const qsizetype extraLength = readUInt16LE(directory, position + 30);
        const qsizetype commentLength = readUInt16LE(directory, position + 32);
        if (nameLength == 0) break;
        const qsizetype next = position + kCentralHeaderSize + nameLength + extraLength + commentLength;
        if (next > directory.size()) break;

        if (const quint32 stamp = quint32(date) << 16 | time; stamp != previousStamp) {
            previousStamp = stamp;
            previousDate = dosDateDescription(date, time);
        }
        const QByteArrayView name = directory.sliced(position + kCentralHeaderSize, nameLength);
        const QByteArrayView extra =
            directory.sliced(position + kCentralHeaderSize + nameLength, extraLength);
        QString toolPath;
        const QString path = entryPath(flags, name, extra, toolPath);
        listing.entries.append(PreviewEntryRules::listedEntry(path, qint64(size), previousDate));
        if (!toolPath.isEmpty()) {
            listing.entries.last().toolPath = std::move(toolPath);
            listing.zipLegacySource =
                LegacyNames::combined(listing.zipLegacySource, LegacyNames::zipHostSource(host));
        }
        position = next;
    }
    LegacyNames::decodeRows(listing.entries, listing.zipSource());
    return listing;
}

PreviewListing nativeZipEntries(const QString& fileURL) {
    QFile file(fileURL);
    if (!file.open(QIODevice::ReadOnly)) throwFileError(FileSystemError::Kind::openFailed, file);
    const quint64 fileSize = static_cast<quint64>(file.size());
    if (fileSize < kEndRecordSize) return {};

    const quint64 tailLength = std::min(fileSize, kTailLength);
    const QByteArray tail = readAt(file, fileSize - tailLength, tailLength);
    const std::optional<Location> location = directoryLocation(tail, fileSize);
    if (!location) return {};
    return readDirectory(readAt(file, location->offset, location->size), location->entryCount);
}

LegacyNames::Source legacyNameSource(const QString& fileURL) {
    try {
        const PreviewListing listing = nativeZipEntries(fileURL);
        if (!listing.entries.isEmpty()) return listing.zipSource();
    } catch (const FileSystemError&) {
    }
    return LegacyNames::Source::codePage437;
}

}  // namespace ZipCentralDirectory
