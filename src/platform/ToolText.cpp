#include "platform/ToolText.h"

#include <QStringDecoder>
#include <QUtf8StringView>

#include <array>

namespace ToolText {

namespace {

constexpr char16_t kEscapeBase = 0xDC00;

bool isContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// The length of the valid UTF-8 character at the start of bytes, 0 when none starts there: no
// overlong form, no surrogate, nothing above U+10FFFF.
qsizetype characterLength(const unsigned char* bytes, qsizetype available) {
    const unsigned char lead = bytes[0];
    if (lead < 0x80) return 1;
    qsizetype length = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;  // the range of the second byte
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0) low = 0xA0;
        if (lead == 0xED) high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0) low = 0x90;
        if (lead == 0xF4) high = 0x8F;
    } else {
        return 0;
    }
    if (available < length || bytes[1] < low || bytes[1] > high) return 0;
    for (qsizetype index = 2; index < length; ++index) {
        if (!isContinuation(bytes[index])) return 0;
    }
    return length;
}

// Valid runs decoded as they are; each other byte given to invalidByte.
template <typename InvalidByte>
QString decodeEach(QByteArrayView bytes, InvalidByte&& invalidByte) {
    QString text;
    text.reserve(bytes.size());
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
    qsizetype runStart = 0;
    qsizetype index = 0;
    while (index < bytes.size()) {
        if (const qsizetype length = characterLength(data + index, bytes.size() - index)) {
            index += length;
            continue;
        }
        text += QString::fromUtf8(bytes.sliced(runStart, index - runStart));
        text += invalidByte(data[index]);
        runStart = ++index;
    }
    text += QString::fromUtf8(bytes.sliced(runStart));
    return text;
}

// The characters of bytes 0x80 to 0xFF in code page 437, each one UTF-16 unit.
const std::array<QChar, 128>& codePage437HighHalf() {
    static const std::array<QChar, 128> table = [] {
        QByteArray high(128, '\0');
        for (int index = 0; index < 128; ++index) high[index] = char(0x80 + index);
        const QString text = QStringDecoder("IBM437", QStringDecoder::Flag::Stateless).decode(high);
        std::array<QChar, 128> characters{};
        for (int index = 0; index < 128; ++index) {
            characters[index] = text.size() == 128 ? text[index] : QChar(QChar::ReplacementCharacter);
        }
        return characters;
    }();
    return table;
}

}  // namespace

bool isValidUtf8(QByteArrayView bytes) { return QUtf8StringView(bytes.data(), bytes.size()).isValidUtf8(); }

QString decode(QByteArrayView bytes) {
    if (isValidUtf8(bytes)) return QString::fromUtf8(bytes);
    return decodeEach(bytes, [](unsigned char) { return QChar(QChar::ReplacementCharacter); });
}

QString readableName(QByteArrayView bytes) {
    if (isValidUtf8(bytes)) return QString::fromUtf8(bytes);
    // An invalid byte below 0x80 does not occur: ASCII is always a whole character.
    return decodeEach(bytes, [](unsigned char byte) { return codePage437HighHalf()[byte & 0x7F]; });
}

QString escapedName(QByteArrayView bytes) {
    if (isValidUtf8(bytes)) return QString::fromUtf8(bytes);
    return decodeEach(bytes, [](unsigned char byte) { return QChar(char16_t(kEscapeBase + byte)); });
}

bool isEscapedByte(QStringView text, qsizetype index) {
    const char16_t unit = text[index].unicode();
    if (unit < kEscapeBase + 0x80 || unit > kEscapeBase + 0xFF) return false;
    return index == 0 || !text[index - 1].isHighSurrogate();
}

QByteArray encodedName(const QString& text) {
    QByteArray bytes;
    qsizetype runStart = 0;
    for (qsizetype index = 0; index < text.size(); ++index) {
        if (!isEscapedByte(text, index)) continue;
        bytes += QStringView(text).sliced(runStart, index - runStart).toUtf8();
        bytes += char(text[index].unicode() - kEscapeBase);
        runStart = index + 1;
    }
    if (runStart == 0) return text.toUtf8();
    bytes += QStringView(text).sliced(runStart).toUtf8();
    return bytes;
}

std::optional<QByteArray> cUnquoted(QByteArrayView line, qsizetype from) {
    const auto letter = [](char escaped) {
        switch (escaped) {
            case 'a':
                return '\a';
            case 'b':
                return '\b';
            case 'f':
                return '\f';
            case 'n':
                return '\n';
            case 'r':
                return '\r';
            case 't':
                return '\t';
            case 'v':
                return '\v';
            default:
                return escaped;  // "\\", "\"", "\?"
        }
    };
    QByteArray bytes;
    for (qsizetype index = from + 1; index < line.size(); ++index) {
        const char c = line[index];
        if (c == '"') return bytes;
        if (c != '\\' || index + 1 >= line.size()) {
            bytes.append(c);
            continue;
        }
        const char escaped = line[++index];
        if (escaped < '0' || escaped > '7') {
            bytes.append(letter(escaped));
            continue;
        }
        int value = 0;
        for (qsizetype digits = 0;
             digits < 3 && index < line.size() && line[index] >= '0' && line[index] <= '7'; ++digits, ++index)
            value = value * 8 + (line[index] - '0');
        bytes.append(static_cast<char>(value));
        --index;
    }
    return std::nullopt;
}

}  // namespace ToolText
