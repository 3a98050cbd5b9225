#include "core/split/SplitCompressionConflictStrategy.h"

namespace SplitCompressionConflictStrategies {

const std::vector<SplitCompressionConflictStrategy>& all() {
    static const std::vector<SplitCompressionConflictStrategy> strategies{
        SplitCompressionConflictStrategy::autoRename, SplitCompressionConflictStrategy::overwrite,
        SplitCompressionConflictStrategy::cancel};
    return strategies;
}

}  // namespace SplitCompressionConflictStrategies
