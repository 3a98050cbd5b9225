#pragma once

#include "core/base/CompressionFormat.h"

#include <QString>
#include <QtGlobal>
#include <optional>

// The summary of the split-compress form shown beside it.
struct SplitCompressionPreview {
    QString baseName;
    CompressionFormat format = CompressionFormat::sevenZip;
    bool splitEnabled = false;
    qint64 originalBytes = 0;
    std::optional<qint64> estimatedCompressedBytes;
    std::optional<qint64> volumeSizeBytes;
    int estimatedPartCount = 0;

    bool operator==(const SplitCompressionPreview&) const = default;
};
