#pragma once

#include <QString>
#include <optional>
#include <vector>

// The multi-volume naming schemes. unsupported is never detected; it marks a set that cannot be
// extracted. Stored as the raw value, which equals the case name.
enum class SplitArchiveFormat { sevenZip, rarNew, rarOld, zip, unsupported };

namespace SplitArchiveFormats {
const std::vector<SplitArchiveFormat>& all();
QString rawValue(SplitArchiveFormat format);
std::optional<SplitArchiveFormat> fromRawValue(const QString& rawValue);
}  // namespace SplitArchiveFormats
