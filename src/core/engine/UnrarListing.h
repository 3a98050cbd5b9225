#pragma once

#include <QList>
#include <QStringView>

// unrar's technical listing ("lt"), the one reader of it that the browser's listing, the link check
// and the password probe share: one block of "key: value" lines per entry, beginning with "Name"
// (keys are printed right-aligned; a value is the rest of its line). An entry continued across
// volumes is listed once per volume.
namespace UnrarListing {

// The fields of one block as printed; a null view for a key the block does not hold.
struct Entry {
    QStringView name;
    QStringView type;  // "File", "Directory", "Unix symbolic link", "Windows symbolic link", "Junction"
    QStringView size;
    QStringView mtime;
    QStringView target;  // a link's
    QStringView flags;   // "encrypted", …
};

struct Listing {
    QList<Entry> entries;  // views into the text read, in listing order
    // Whether an entry's flags or the archive's details ("RAR 5, encrypted headers") say "encrypted".
    bool showsEncryption = false;
};

Listing read(QStringView output);

// Whether an entry is encrypted: its flags begin with the word.
bool isEncrypted(const Entry& entry);

}  // namespace UnrarListing
