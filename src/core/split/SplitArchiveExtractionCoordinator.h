#pragma once

#include "core/base/ArchiveTaskMetadata.h"
#include "core/split/SplitArchiveDescriptor.h"

// What a split-extraction task records about the set it extracts.
namespace SplitArchiveExtractionCoordinator {

// Fills the format text, main volume path, part counts, destination and validation title; leaves the
// other members absent.
ArchiveTaskMetadata metadata(const SplitArchiveDescriptor& descriptor, const QString& destinationURL);

// The label of a set by its kind (ArchiveFormat::kindOrSetKind of the volume it was found from):
// "7Z 分卷压缩包", "ZIP 分卷压缩包" (a.z01 and 7-Zip's a.zip.001 alike), "RAR 分卷压缩包" (both schemes);
// by its format alone when the name gives no kind; "不支持的分卷格式" for a format not extracted.
QString archiveFormatText(const SplitArchiveDescriptor& descriptor);

// "7Z 分卷压缩包", "RAR 分卷压缩包" (both RAR schemes), "ZIP 分卷压缩包" or "不支持的分卷格式".
QString archiveFormatText(SplitArchiveFormat format);

}  // namespace SplitArchiveExtractionCoordinator
