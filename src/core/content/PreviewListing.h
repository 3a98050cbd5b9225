#pragma once

#include "core/base/LegacyNames.h"
#include "core/content/ArchivePreviewEntry.h"

#include <QList>
#include <optional>

// What one reader made of an archive: its rows in listing order, and whether any entry is encrypted.
struct PreviewListing {
    QList<ArchivePreviewEntry> entries;
    bool isEncrypted = false;
    // The convention of the ZIP entries with a legacy name (a toolPath), from the systems they were
    // made on; nothing when there is none or the reader does not name the systems.
    std::optional<LegacyNames::Source> zipLegacySource;

    // How a ZIP's legacy names read: as the systems named say, else in the format's own code page.
    LegacyNames::Source zipSource() const {
        return zipLegacySource.value_or(LegacyNames::kZipDefault);
    }
};
