#pragma once

#include <QString>
#include <optional>
#include <vector>

// What the split-compress form does with existing files that the planned output would clash with.
enum class SplitCompressionConflictStrategy { autoRename, overwrite, cancel };

namespace SplitCompressionConflictStrategies {
const std::vector<SplitCompressionConflictStrategy>& all();
QString rawValue(SplitCompressionConflictStrategy strategy);
std::optional<SplitCompressionConflictStrategy> fromRawValue(const QString& rawValue);
}  // namespace SplitCompressionConflictStrategies
