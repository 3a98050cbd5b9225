#include "platform/ByteCountFormatter.h"

#include <array>
#include <cstdio>
#include <cstdlib>

namespace ByteCountFormatter {

QString fileStyle(qint64 byteCount) {
    static constexpr std::array<const char*, 6> kUnits{"KB", "MB", "GB", "TB", "PB", "EB"};
    const bool negative = byteCount < 0;
    const double magnitude = std::abs(static_cast<double>(byteCount));
    if (magnitude < 1000) return QString::number(byteCount) + QStringLiteral(u" 字节");

    double value = magnitude / 1000;
    size_t unit = 0;
    // Move up a unit when rounding to one decimal would print 1000.0.
    while (value >= 999.95 && unit + 1 < kUnits.size()) {
        value /= 1000;
        ++unit;
    }
    std::array<char, 32> text{};
    std::snprintf(text.data(), text.size(), "%s%.1f %s", negative ? "-" : "", value, kUnits[unit]);
    return QString::fromLatin1(text.data());
}

}  // namespace ByteCountFormatter
