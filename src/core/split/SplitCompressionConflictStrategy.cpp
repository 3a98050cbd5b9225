#include "core/split/SplitCompressionConflictStrategy.h"

namespace SplitCompressionConflictStrategies {

const std::vector<SplitCompressionConflictStrategy>& all() {
    static const std::vector<SplitCompressionConflictStrategy> strategies{
        SplitCompressionConflictStrategy::autoRename, SplitCompressionConflictStrategy::overwrite,
        SplitCompressionConflictStrategy::cancel};
    return strategies;
}

QString rawValue(SplitCompressionConflictStrategy strategy) {
    switch (strategy) {
        case SplitCompressionConflictStrategy::autoRename:
            return QStringLiteral("autoRename");
        case SplitCompressionConflictStrategy::overwrite:
            return QStringLiteral("overwrite");
        case SplitCompressionConflictStrategy::cancel:
            return QStringLiteral("cancel");
    }
    return {};
}

std::optional<SplitCompressionConflictStrategy> fromRawValue(const QString& value) {
    for (SplitCompressionConflictStrategy strategy : all()) {
        if (rawValue(strategy) == value) return strategy;
    }
    return std::nullopt;
}

}  // namespace SplitCompressionConflictStrategies
