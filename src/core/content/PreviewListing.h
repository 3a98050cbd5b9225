#pragma once

#include "core/content/ArchivePreviewEntry.h"

#include <QList>

// What one reader made of an archive: its rows in listing order, and whether any entry is encrypted.
struct PreviewListing {
    QList<ArchivePreviewEntry> entries;
    bool isEncrypted = false;
};
