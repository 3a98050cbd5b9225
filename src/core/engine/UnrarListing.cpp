#include "core/engine/UnrarListing.h"

namespace UnrarListing {

namespace {

const QLatin1String kEncrypted("encrypted");

void store(Entry& entry, QStringView key, QStringView value) {
    if (key == u"Type")
        entry.type = value;
    else if (key == u"Size")
        entry.size = value;
    else if (key == u"mtime")
        entry.mtime = value;
    else if (key == u"Target")
        entry.target = value;
    else if (key == u"Flags")
        entry.flags = value;
}

}  // namespace

Listing read(QStringView output) {
    Listing listing;
    // unrar prints a line feed in a name as it is: the name goes on up to the next field, whose key is
    // printed right-aligned after blanks.
    bool inName = false;
    for (QStringView line : output.split(u'\n')) {
        if (line.endsWith(u'\r')) line.chop(1);
        const qsizetype separator = line.indexOf(u": ");
        const QStringView key = separator < 0 ? QStringView() : line.first(separator).trimmed();
        if (inName && !(separator >= 0 && line.startsWith(u' '))) {
            QStringView& name = listing.entries.last().name;
            name = QStringView(name.data(), line.data() + line.size());
            continue;
        }
        inName = false;
        if (separator < 0) continue;
        const QStringView value = line.sliced(separator + 2);
        if ((key == u"Flags" || key == u"Details") && value.contains(kEncrypted))
            listing.showsEncryption = true;
        if (key == u"Name") {
            listing.entries.append(Entry());
            listing.entries.last().name = value;
            inName = true;
        } else if (!listing.entries.isEmpty()) {
            store(listing.entries.last(), key, value);
        }
    }
    return listing;
}

bool isEncrypted(const Entry& entry) { return entry.flags.startsWith(kEncrypted); }

}  // namespace UnrarListing
