#pragma once

#include "core/content/ArchivePreviewEntry.h"

#include <QList>

// What one reader made of an archive: its rows in listing order, and whether any entry is encrypted.
struct PreviewListing {
    QList<ArchivePreviewEntry> entries;
    bool isEncrypted = false;
    // Whether a ZIP entry with a legacy name (a toolPath) was made on a system whose ZIP tools write a
    // code page (DOS, Windows, the old Mac), or on one the reader cannot tell. Names made on Unix are
    // the bytes of a Unix file name, as a TAR's are.
    bool hasCodePageNames = false;
};
