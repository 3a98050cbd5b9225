#pragma once

#include "core/base/CancellationToken.h"

#include <QString>
#include <optional>

// One extractor (ZIP, 7Z, RAR). extract is a blocking call for a worker thread: it creates the
// destination folder if needed and fills it with the archive's contents, or throws ArchiveError,
// ProcessRunnerError or CancellationError and leaves the destination as it was (ExtractionStaging).
// Nothing already in the destination is replaced: extract returns how many of the archive's top-level
// items went in under another name because theirs was taken.
class ArchiveExtractor {
public:
    virtual ~ArchiveExtractor() = default;

    // Looks only at the name, never at the file: the kind it opens as (ArchiveFormat::kindOrSetKind).
    virtual bool canHandle(const QString& fileURL) const = 0;

    virtual int extract(const QString& fileURL, const QString& destinationURL,
                        const std::optional<QString>& password, int threadCount,
                        const CancellationToken& token) = 0;
};
