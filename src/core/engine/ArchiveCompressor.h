#pragma once

#include "core/base/CancellationToken.h"
#include "core/base/CompressionFormat.h"
#include "core/base/CompressionLevel.h"
#include "core/engine/SplitCompressionRequest.h"
#include "core/engine/SplitCompressionResult.h"
#include "core/split/SplitCompressionError.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

// Progress as a fraction strictly between 0 and 1. May be called on any thread.
using ProgressHandler = std::function<void(double)>;

// Creates one archive from files and folders. A blocking call for a worker thread.
class ArchiveCompressor {
public:
    virtual ~ArchiveCompressor() = default;

    // Returns the archive written: destinationURL, or the next free name beside it when that is taken.
    virtual QString compress(const QStringList& files, const QString& destinationURL,
                             CompressionFormat format, CompressionLevel level,
                             const std::optional<QString>& password, int threadCount, bool excludeHiddenFiles,
                             const ProgressHandler& progressHandler, const CancellationToken& token) = 0;

    // A ZIP or 7Z archive, whole or in volumes. A compressor that cannot write volumes refuses every
    // request with SplitCompressionError::unsupportedFormat.
    virtual SplitCompressionResult compressSplit(const SplitCompressionRequest&, const ProgressHandler&,
                                                 const CancellationToken&) {
        throw SplitCompressionError::unsupportedFormat();
    }
};
