#include "platform/ByteCountFormatter.h"

#include <array>

namespace ByteCountFormatter {

namespace {

constexpr std::array<std::u16string_view, 6> kUnits{u" KB", u" MB", u" GB", u" TB", u" PB", u" EB"};
constexpr std::u16string_view kBytes = u" 字节";

// value / divisor to the nearest whole number, halves up; divisor is at most 10^17, so 2 * remainder
// cannot overflow.
quint64 roundedQuotient(quint64 value, quint64 divisor) {
    const quint64 quotient = value / divisor;
    return value % divisor * 2 >= divisor ? quotient + 1 : quotient;
}

// Writes the text into one buffer and makes one string of it: listings format a size for every row.
class Text {
public:
    void append(char16_t character) { m_buffer[m_size++] = character; }
    void append(std::u16string_view text) {
        for (const char16_t character : text) append(character);
    }
    void appendDigits(quint64 value) {
        std::array<char16_t, 20> digits{};
        size_t count = 0;
        do {
            digits[count++] = char16_t(u'0' + value % 10);
            value /= 10;
        } while (value != 0);
        while (count > 0) append(digits[--count]);
    }
    QString toString() const { return QString(reinterpret_cast<const QChar*>(m_buffer.data()), m_size); }

private:
    std::array<char16_t, 32> m_buffer{};
    qsizetype m_size = 0;
};

quint64 magnitudeOf(qint64 byteCount) { return byteCount < 0 ? 0 - quint64(byteCount) : quint64(byteCount); }

// Tenths of value / divisor, halves up, without overflow: the remainder is below divisor (at most 2^60).
quint64 roundedTenths(quint64 value, quint64 divisor) {
    return value / divisor * 10 + roundedQuotient(value % divisor * 10, divisor);
}

constexpr quint64 kBase = 1000;

}  // namespace

// The count in units of 1,000 (bytes below one unit), with one decimal, moving up a unit when rounding
// would print 1,000.
QString fileStyle(qint64 byteCount) {
    Text text;
    if (byteCount < 0) text.append(u'-');
    const quint64 magnitude = magnitudeOf(byteCount);
    if (magnitude < kBase) {
        text.appendDigits(magnitude);
        text.append(kBytes);
        return text.toString();
    }
    size_t unit = 0;
    quint64 divisor = kBase;
    quint64 tenths = roundedTenths(magnitude, divisor);
    while (tenths >= kBase * 10 && unit + 1 < kUnits.size()) {
        ++unit;
        divisor *= kBase;
        tenths = roundedTenths(magnitude, divisor);
    }
    text.appendDigits(tenths / 10);
    text.append(u'.');
    text.append(char16_t(u'0' + tenths % 10));
    text.append(kUnits[unit]);
    return text.toString();
}

}  // namespace ByteCountFormatter
