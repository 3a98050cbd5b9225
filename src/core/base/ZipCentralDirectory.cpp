#include "core/base/ZipCentralDirectory.h"

#include "core/base/FileSystemError.h"
#include "core/base/InputItem.h"
#include "platform/ToolText.h"

#include <QFile>

#include <fcntl.h>

#include <algorithm>
#include <cerrno>
#include <array>

namespace ZipCentralDirectory {

namespace {

constexpr quint32 kEndRecordSignature = 0x06054b50;
constexpr quint32 kCentralHeaderSignature = 0x02014b50;
constexpr quint32 kZip64EndRecordSignature = 0x06064b50;
constexpr quint32 kZip64LocatorSignature = 0x07064b50;
constexpr qsizetype kEndRecordSize = 22;
constexpr quint16 kEncryptedFlag = 0x0001;

constexpr quint16 kUtf8Flag = 0x0800;
// "Version made by" hosts whose file systems put "\" between folders: MS-DOS and FAT, NTFS (10 and 11
// as Info-ZIP and 7-Zip number it) and VFAT.
constexpr std::array<quint8, 4> kBackslashHosts{0, 10, 11, 14};
constexpr quint16 kUnicodePathHeader = 0x7075;

}  // namespace

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

namespace {

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

QByteArray readAt(QFile& file, const QString& path, quint64 offset, quint64 length) {
    if (!file.seek(static_cast<qint64>(offset)))
        throw FileSystemError::fromFile(FileSystemError::Kind::readFailed, path, file);
    QByteArray bytes(static_cast<qsizetype>(length), Qt::Uninitialized);
    const qint64 count = file.read(bytes.data(), bytes.size());
    if (count < 0) throw FileSystemError::fromFile(FileSystemError::Kind::readFailed, path, file);
    bytes.truncate(count);
    return bytes;
}

// Opened by its bytes: the name need not be UTF-8.
void openByBytes(QFile& file, const QString& fileURL) {
    const int descriptor = ::open(ToolText::encodedName(fileURL).constData(), O_RDONLY | O_CLOEXEC);
    if (descriptor < 0) throw FileSystemError::fromErrorNumber(FileSystemError::Kind::openFailed, fileURL, errno);
    file.open(descriptor, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle);
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

quint64 readUInt64LE(QByteArrayView bytes, qsizetype offset) {
    return quint64(readUInt32LE(bytes, offset)) | (quint64(readUInt32LE(bytes, offset + 4)) << 32);
}

std::optional<qsizetype> findEndOfCentralDirectory(QByteArrayView tail) {
    // Only a record whose comment reaches exactly to the end of the file counts.
    for (qsizetype index = tail.size() - kEndRecordSize; index >= 0; --index) {
        if (readUInt32LE(tail, index) != kEndRecordSignature) continue;
        if (index + kEndRecordSize + readUInt16LE(tail, index + 20) == tail.size()) return index;
    }
    return std::nullopt;
}

bool isWhole(QByteArrayView tail, quint64 fileSize) {
    const std::optional<qsizetype> end = findEndOfCentralDirectory(tail);
    if (!end) return false;
    const quint64 endOffset = fileSize - quint64(tail.size()) + quint64(*end);
    const quint64 offset = readUInt32LE(tail, *end + 16);
    const quint64 size = readUInt32LE(tail, *end + 12);
    if (offset != 0xFFFFFFFF && size != 0xFFFFFFFF && readUInt16LE(tail, *end + 10) != 0xFFFF)
        return offset + size == endOffset;
    // ZIP64: the locator just before the end record names the ZIP64 end record, which the directory
    // ends at.
    const qsizetype locator = *end - 20;
    if (readUInt32LE(tail, locator) != kZip64LocatorSignature) return false;
    const quint64 recordOffset = readUInt64LE(tail, locator + 8);
    const qsizetype record = qsizetype(recordOffset) - qsizetype(fileSize - quint64(tail.size()));
    if (record < 0 || readUInt32LE(tail, record) != kZip64EndRecordSignature) return false;
    return readUInt64LE(tail, record + 48) + readUInt64LE(tail, record + 40) == recordOffset;
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

std::optional<quint32> claimedEntryCount(const QString& fileURL) {
    if (InputItem::stateOf(fileURL) != InputItem::State::usable) return std::nullopt;
    try {
        if (const std::optional<Directory> directory = read(fileURL)) return directory->claimedEntryCount;
    } catch (const FileSystemError&) {
    }
    return std::nullopt;
}

std::optional<Directory> read(const QString& fileURL) {
    // A pipe or a device holds no directory, and opening one can wait for good.
    if (InputItem::stateOf(fileURL) == InputItem::State::notFileOrFolder) return std::nullopt;
    QFile file;
    openByBytes(file, fileURL);
    const quint64 fileSize = static_cast<quint64>(file.size());
    Directory directory;
    if (fileSize < kEndRecordSize) return directory;

    const quint64 tailLength = std::min(fileSize, kTailLength);
    const QByteArray tail = readAt(file, fileURL, fileSize - tailLength, tailLength);
    if (const std::optional<qsizetype> end = findEndOfCentralDirectory(tail))
        directory.claimedEntryCount = readUInt16LE(tail, *end + 10);
    if (const std::optional<Location> location = directoryLocation(tail, fileSize)) {
        directory.bytes = readAt(file, fileURL, location->offset, location->size);
        directory.entryCount = location->entryCount;
    }
    return directory;
}

bool walk(QByteArrayView directory, quint32 entryCount, const std::function<void(const Header&)>& visit) {
    bool encrypted = false;
    quint32 count = 0;
    qsizetype position = 0;
    while (position + kHeaderSize <= directory.size() && count < entryCount) {
        if (readUInt32LE(directory, position) != kCentralHeaderSignature) break;
        Header header;
        header.host = quint8(directory[position + 5]);
        header.flags = readUInt16LE(directory, position + 8);
        if (header.flags & kEncryptedFlag) encrypted = true;
        header.time = readUInt16LE(directory, position + 12);
        header.date = readUInt16LE(directory, position + 14);
        header.size = readUInt32LE(directory, position + 24);
        const qsizetype nameLength = readUInt16LE(directory, position + 28);
        const qsizetype extraLength = readUInt16LE(directory, position + 30);
        const qsizetype commentLength = readUInt16LE(directory, position + 32);
        if (nameLength == 0) break;
        const qsizetype next = position + kHeaderSize + nameLength + extraLength + commentLength;
        if (next > directory.size()) break;
        header.name = directory.sliced(position + kHeaderSize, nameLength);
        header.extra = directory.sliced(position + kHeaderSize + nameLength, extraLength);
        visit(header);
        ++count;
        position = next;
    }
    return encrypted;
}

std::optional<QString> unicodeName(const Header& header) {
    if (!(header.flags & kUtf8Flag)) {
        if (std::optional<QString> unicode = unicodePath(header.extra, header.name)) return unicode;
    }
    // Invalid UTF-8 always decodes to U+FFFD, so only a name holding one needs the full test.
    QString text = QString::fromUtf8(header.name);
    if (!text.contains(QChar::ReplacementCharacter) || ToolText::isValidUtf8(header.name)) return text;
    return std::nullopt;
}

LegacyNames::Source legacyNameSource(const Directory& directory) {
    std::optional<LegacyNames::Source> source;
    walk(directory.bytes, directory.entryCount, [&source](const Header& header) {
        if (!unicodeName(header))
            source = LegacyNames::combined(source, LegacyNames::zipHostSource(header.host));
    });
    return source.value_or(LegacyNames::kZipDefault);
}

bool separatesFoldersWithBackslash(const Directory& directory) {
    bool windowsName = false;
    bool otherName = false;
    walk(directory.bytes, directory.entryCount, [&](const Header& header) {
        const std::optional<QString> unicode = unicodeName(header);
        // A legacy name's byte 0x5C may be half of a two-byte character: it counts here, but only a "\"
        // its decoding holds is split.
        if (unicode ? !unicode->contains(QLatin1Char('\\')) : !header.name.contains('\\')) return;
        const bool windows =
            std::find(kBackslashHosts.begin(), kBackslashHosts.end(), header.host) != kBackslashHosts.end();
        windowsName = windowsName || windows;
        otherName = otherName || !windows;
    });
    return windowsName && !otherName;
}

}  // namespace ZipCentralDirectory
