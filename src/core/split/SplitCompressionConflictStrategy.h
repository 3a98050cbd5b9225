#pragma once

#include <QObject>
#include <QString>
#include <optional>
#include <vector>

// What the split-compress form does with existing files that the planned output would clash with.
namespace SplitCompressionConflictStrategies {
Q_NAMESPACE
enum class SplitCompressionConflictStrategy { autoRename, overwrite, cancel };
Q_ENUM_NS(SplitCompressionConflictStrategy)

const std::vector<SplitCompressionConflictStrategy>& all();
}  // namespace SplitCompressionConflictStrategies

using SplitCompressionConflictStrategy = SplitCompressionConflictStrategies::SplitCompressionConflictStrategy;
