#include "core/split/SplitCompressionPreset.h"

namespace {
constexpr qint64 kMB = Q_INT64_C(1000000);
constexpr qint64 kGB = Q_INT64_C(1000000000);
}  // namespace

const std::vector<SplitCompressionPreset>& SplitCompressionPreset::all() {
    static const std::vector<SplitCompressionPreset> presets{
        {QStringLiteral("500 MB"), 500 * kMB},    {QStringLiteral("1 GB"), kGB},
        {QStringLiteral("2 GB"), 2 * kGB},        {QStringLiteral("4 GB"), 4 * kGB},
        {QStringLiteral("5 GB"), 5 * kGB},        {QStringLiteral("10 GB"), 10 * kGB},
        {QStringLiteral(u"自定义"), std::nullopt},
    };
    return presets;
}
