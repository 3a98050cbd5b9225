#include "core/content/ZipDirectoryListing.h"

#include "core/base/LegacyNames.h"
#include "platform/ToolText.h"
#include "core/base/ZipCentralDirectory.h"
#include "core/content/LegacyNameRows.h"
#include "core/content/PreviewEntryRules.h"

#include <algorithm>
#include <array>
#include <optional>

namespace ZipDirectoryListing {

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

PreviewListing readDirectory(QByteArrayView directory, quint32 entryCount) {
    using ZipCentralDirectory::Header;
    PreviewListing listing;
    listing.entries.reserve(
        std::min<qsizetype>(entryCount, directory.size() / ZipCentralDirectory::kHeaderSize));
    // Entries written together mostly share their time stamp: its text is shared while it repeats.
    // Stamp 0 holds no valid date, whose text is the empty one previousDate starts with.
    quint32 previousStamp = 0;
    QString previousDate;
    listing.isEncrypted = ZipCentralDirectory::walk(directory, entryCount, [&](const Header& header) {
        if (const quint32 stamp = quint32(header.date) << 16 | header.time; stamp != previousStamp) {
            previousStamp = stamp;
            previousDate = dosDateDescription(header.date, header.time);
        }
        // A legacy name gives an empty path and its bytes as toolPath, decoded below with the others.
        const std::optional<QString> name = ZipCentralDirectory::unicodeName(header);
        listing.entries.append(
            PreviewEntryRules::listedEntry(name.value_or(QString()), qint64(header.size), previousDate));
        if (!name) {
            listing.entries.last().toolPath = ToolText::escapedName(header.name);
            listing.zipLegacySource =
                LegacyNames::combined(listing.zipLegacySource, LegacyNames::zipHostSource(header.host));
        }
    });
    LegacyNameRows::decode(listing.entries, listing.zipSource());
    return listing;
}

PreviewListing nativeZipEntries(const std::optional<ZipCentralDirectory::Directory>& directory) {
    if (!directory) return {};
    return readDirectory(directory->bytes, directory->entryCount);
}

}  // namespace ZipDirectoryListing
