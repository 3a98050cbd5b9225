#pragma once

#include "core/base/ArchiveTaskMetadata.h"
#include "core/split/SplitArchiveDescriptor.h"

// What a split-extraction task records about the set it extracts.
namespace SplitArchiveExtractionCoordinator {

// Fills the format text, main volume path, part counts, destination and validation title; leaves the
// other members absent.
ArchiveTaskMetadata metadata(const SplitArchiveDescriptor& descriptor, const QString& destinationURL);

// "7Z 分卷压缩包", "RAR 分卷压缩包" (both RAR schemes), "ZIP 分卷压缩包" or "不支持的分卷格式".
QString archiveFormatText(SplitArchiveFormat format);

}  // namespace SplitArchiveExtractionCoordinator
