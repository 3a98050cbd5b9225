#pragma once

#include <QString>
#include <QtGlobal>
#include <optional>
#include <vector>

// Volume size units of the split-compress form; decimal (KB = 1,000 bytes), as every page counts sizes,
// so a "50 MB" volume is shown as 50 MB.
enum class SplitCompressionUnit { kb, mb, gb };

namespace SplitCompressionUnits {
const std::vector<SplitCompressionUnit>& all();
QString rawValue(SplitCompressionUnit unit);  // "KB", "MB", "GB"
std::optional<SplitCompressionUnit> fromRawValue(const QString& rawValue);
qint64 factor(SplitCompressionUnit unit);
}  // namespace SplitCompressionUnits
