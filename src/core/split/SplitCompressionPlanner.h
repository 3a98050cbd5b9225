#pragma once

#include "core/base/CompressionFormat.h"
#include "core/split/SplitCompressionUnit.h"

#include <QString>
#include <QStringList>
#include <QtGlobal>
#include <optional>
#include <utility>
#include <vector>

// What a split compression will produce, worked out from the form's choices. Stateless; any thread.
// Only zip and sevenZip are ever split; the other formats always give one file.
namespace SplitCompressionPlanner {

// The formats split compression can create, in the order the form offers them.
const std::vector<CompressionFormat>& supportedCreationFormats();

// "1,5" with gb is 1,500,000,000 bytes. Throws SplitCompressionError::invalidVolumeSize unless the text
// is a number whose value is at least one byte and at most 1 TB.
qint64 bytes(const QString& text, SplitCompressionUnit unit);

int estimatedPartCount(qint64 originalBytes, std::optional<qint64> volumeSizeBytes, bool splitEnabled);
// The most an archive of sources this large takes when nothing compresses: the size to count volumes
// from, so the preview never promises fewer volumes than the run writes. 0 stays 0.
qint64 largestArchiveBytes(qint64 originalBytes);

// Trimmed, with "/" and ":" made "-"; "压缩文件" when nothing is left.
QString sanitizedBaseName(const QString& baseName);

QString primaryOutputFileName(CompressionFormat format, const QString& baseName, bool splitEnabled);
QStringList expectedPartFileNames(CompressionFormat format, const QString& baseName, int partCount,
                                  bool splitEnabled);
// "x.7z.001 ~ x.7z.003", or the one name.
QString namingRuleDescription(CompressionFormat format, const QString& baseName, int estimatedPartCount,
                              bool splitEnabled);

// Free bytes on the volume holding the folder, which must exist.
std::optional<qint64> availableCapacityBytes(const QString& directoryURL);
// The larger of source and estimate, plus 18 % of it but at least 256 MiB.
qint64 estimatedRequiredSpaceBytes(qint64 originalBytes, std::optional<qint64> estimatedCompressedBytes);

QString defaultBaseName(const QStringList& urls);
std::pair<QString, SplitCompressionUnit> presetValue(qint64 bytes);

// Existing items in the folder that the planned output would replace or mix with. A folder that cannot
// be read gives none.
QStringList outputConflictURLs(CompressionFormat format, const QString& baseName,
                               const QString& destinationDirectoryURL, bool splitEnabled);

// Whether name is a numbered volume of a split ZIP named after baseName: <baseName>.z01, .z02, ...
bool isZipNumberedVolume(const QString& name, const QString& baseName);

}  // namespace SplitCompressionPlanner
