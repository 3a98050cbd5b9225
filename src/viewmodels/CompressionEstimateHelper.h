#pragma once

#include "core/base/CancellationToken.h"
#include "core/base/CompressionFormat.h"
#include "core/base/CompressionLevel.h"

#include <QStringList>
#include <QtGlobal>

// Predicts the size of the archive that compressing the given items would give, from a ratio per file
// name extension adjusted for format and level. Missing items count 0; nothing here fails, except that
// a folder walk throws CancellationError once its token is cancelled.
namespace CompressionEstimateHelper {

qint64 estimatedSize(const QStringList& urls, CompressionFormat format, CompressionLevel level,
                     const CancellationToken& token = {});

// The factor a file of this extension (any case) shrinks to before adjustments.
double baseCompressionRatio(const QString& extension);

// The estimate for one file of sizeBytes bytes.
qint64 estimatedFileSize(qint64 sizeBytes, const QString& extension, CompressionFormat format,
                         CompressionLevel level);

}  // namespace CompressionEstimateHelper
