#pragma once

#include <QString>
#include <QStringView>

#include <algorithm>
#include <optional>

// Values as the tools' listings print them, shared by every listing reader.
namespace ListingFields {

// A number as QString::toLongLong reads it. Listings print one or more per row, mostly plain
// digits, which are read here without a conversion to bytes first.
inline std::optional<qint64> decimal(QStringView text) {
    constexpr qsizetype kSafeDigits = 18;  // cannot overflow
    if (!text.isEmpty() && text.size() <= kSafeDigits &&
        std::all_of(text.begin(), text.end(), [](QChar c) { return c >= u'0' && c <= u'9'; })) {
        qint64 value = 0;
        for (const QChar digit : text) value = value * 10 + (digit.unicode() - u'0');
        return value;
    }
    bool ok = false;
    const qint64 value = text.toLongLong(&ok, 10);
    if (!ok) return std::nullopt;
    return value;
}

// Time stamps to the second: "2024-03-09 14:05:08" of "2024-03-09 14:05:08.1234567".
inline QStringView toSeconds(QStringView timestamp) {
    return timestamp.first(std::min<qsizetype>(timestamp.size(), 19));
}

inline QString asFolderPath(QStringView path) {
    return path.endsWith(QLatin1Char('/')) ? path.toString() : path.toString() + QLatin1Char('/');
}

}  // namespace ListingFields
