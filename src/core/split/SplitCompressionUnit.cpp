#include "core/split/SplitCompressionUnit.h"

namespace SplitCompressionUnits {

const std::vector<SplitCompressionUnit>& all() {
    static const std::vector<SplitCompressionUnit> units{SplitCompressionUnit::kb, SplitCompressionUnit::mb,
                                                         SplitCompressionUnit::gb};
    return units;
}

QString rawValue(SplitCompressionUnit unit) {
    switch (unit) {
        case SplitCompressionUnit::kb:
            return QStringLiteral("KB");
        case SplitCompressionUnit::mb:
            return QStringLiteral("MB");
        case SplitCompressionUnit::gb:
            return QStringLiteral("GB");
    }
    return {};
}

std::optional<SplitCompressionUnit> fromRawValue(const QString& value) {
    for (SplitCompressionUnit unit : all()) {
        if (rawValue(unit) == value) return unit;
    }
    return std::nullopt;
}

qint64 factor(SplitCompressionUnit unit) {
    switch (unit) {
        case SplitCompressionUnit::kb:
            return Q_INT64_C(1000);
        case SplitCompressionUnit::mb:
            return Q_INT64_C(1000000);
        case SplitCompressionUnit::gb:
            return Q_INT64_C(1000000000);
    }
    return 0;
}

}  // namespace SplitCompressionUnits
