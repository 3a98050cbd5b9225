#include "core/split/SplitCompressionPreset.h"

namespace {
constexpr qint64 kMiB = Q_INT64_C(1) << 20;
constexpr qint64 kGiB = Q_INT64_C(1) << 30;
}  // namespace

const std::vector<SplitCompressionPreset>& SplitCompressionPreset::all() {
    static const std::vector<SplitCompressionPreset> presets{
        {QStringLiteral("500 MB"), 500 * kMiB},    {QStringLiteral("1 GB"), kGiB},
        {QStringLiteral("2 GB"), 2 * kGiB},        {QStringLiteral("4 GB"), 4 * kGiB},
        {QStringLiteral("5 GB"), 5 * kGiB},        {QStringLiteral("10 GB"), 10 * kGiB},
        {QStringLiteral(u"自定义"), std::nullopt},
    };
    return presets;
}
