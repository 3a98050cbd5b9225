#pragma once

#include "core/split/SplitArchiveValidator.h"

// Finds the other volumes of the set that a selected file belongs to, in the same folder, and has them
// validated. Blocking file-system reads; safe on any thread.
class SplitArchiveScanner {
public:
    explicit SplitArchiveScanner(SplitArchiveValidator validator = SplitArchiveValidator());

    // Throws SplitArchiveError: `directorySelected` for a folder, `notSplitArchive` for a missing file,
    // a name that is no volume name, or a plain name.rar / name.zip without further volumes.
    SplitArchiveDescriptor scan(const QString& selectedURL,
                                const std::optional<QString>& destinationRootURL) const;

private:
    SplitArchiveValidator m_validator;
};
