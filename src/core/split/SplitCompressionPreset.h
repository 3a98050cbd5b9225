#pragma once

#include <QString>
#include <QtGlobal>
#include <optional>
#include <vector>

// A volume size the split-compress form offers; the custom entry has no bytes.
struct SplitCompressionPreset {
    QString title;
    std::optional<qint64> bytes;

    // "500 MB", "1 GB", "2 GB", "4 GB", "5 GB", "10 GB", "自定义".
    static const std::vector<SplitCompressionPreset>& all();

    bool operator==(const SplitCompressionPreset&) const = default;
};
