#include "core/base/LegacyNames.h"

#include "platform/ToolText.h"

#include <QStringDecoder>

namespace {

// The host byte of ZIP's "version made by" as Info-ZIP and 7-Zip number it.
constexpr quint8 kUnixHost = 3;
constexpr quint8 kMacintoshHost = 7;
constexpr quint8 kDarwinHost = 19;

// How strongly a convention claims an archive's names when hosts are mixed.
int weight(LegacyNames::Source source) {
    switch (source) {
        case LegacyNames::Source::fileSystemBytes:
            return 0;
        case LegacyNames::Source::macOsRoman:
            return 1;
        case LegacyNames::Source::codePage437:
            return 2;
    }
    return 0;
}

// File-system bytes have no code page to decode with.
QStringDecoder codePageDecoder(LegacyNames::Source source) {
    if (source == LegacyNames::Source::fileSystemBytes) return {};
    return QStringDecoder(source == LegacyNames::Source::macOsRoman ? "macintosh" : "IBM437",
                          QStringDecoder::Flag::Stateless);
}

std::optional<QString> gb18030(QByteArrayView bytes) {
    QStringDecoder decoder("GB18030", QStringDecoder::Flag::Stateless);
    const QString text = decoder.decode(bytes);
    if (decoder.hasError() || text.contains(QChar::ReplacementCharacter)) return std::nullopt;
    // The user-defined areas hold no standard character: bytes landing there were not written as GB.
    for (const QChar character : text) {
        if (character.category() == QChar::Other_PrivateUse || character.isSurrogate()) return std::nullopt;
    }
    return text;
}

struct TwoByteCount {
    qsizetype total = 0;
    qsizetype inGb2312 = 0;
};

// GB18030 characters are one byte below 0x80, four bytes when the second is a digit, else two.
void countTwoByteCharacters(QByteArrayView bytes, TwoByteCount& count) {
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
    qsizetype index = 0;
    while (index < bytes.size()) {
        const unsigned char lead = data[index];
        if (lead < 0x80 || index + 1 >= bytes.size()) {
            ++index;
            continue;
        }
        const unsigned char second = data[index + 1];
        if (second >= 0x30 && second <= 0x39) {
            index += 4;
            continue;
        }
        ++count.total;
        if (lead >= 0xA1 && lead <= 0xF7 && second >= 0xA1 && second <= 0xFE) ++count.inGb2312;
        index += 2;
    }
}

bool readsAsChinese(const QList<QByteArray>& names) {
    if (names.isEmpty()) return false;
    TwoByteCount count;
    for (const QByteArray& name : names) {
        if (!gb18030(name)) return false;
        countTwoByteCharacters(name, count);
    }
    return count.inGb2312 * 2 > count.total;
}

}  // namespace

LegacyNames::Source LegacyNames::zipHostSource(quint8 host) {
    if (host == kUnixHost || host == kDarwinHost) return Source::fileSystemBytes;
    return host == kMacintoshHost ? Source::macOsRoman : Source::codePage437;
}

LegacyNames::Source LegacyNames::zipHostSource(QStringView sevenZipHostName) {
    if (sevenZipHostName == u"Unix" || sevenZipHostName == u"OS/X") return Source::fileSystemBytes;
    return sevenZipHostName == u"Macintosh" ? Source::macOsRoman : Source::codePage437;
}

LegacyNames::Source LegacyNames::combined(std::optional<Source> sofar, Source next) {
    return sofar && weight(*sofar) >= weight(next) ? *sofar : next;
}

LegacyNames::LegacyNames(const QList<QByteArray>& names, Source source)
    : m_chinese(readsAsChinese(names)), m_source(source), m_codePage(codePageDecoder(source)) {}

std::optional<QString> LegacyNames::decoded(QByteArrayView name) const {
    if (m_chinese) return gb18030(name);
    if (m_source == Source::fileSystemBytes) return std::nullopt;
    // Both code pages give every byte a character, one UTF-16 unit each. IBM's table of 437 swaps
    // three control codes; the ZIP format's keeps ASCII as it is.
    QString text = m_codePage.decode(name);
    if (text.size() != name.size()) return std::nullopt;
    for (qsizetype index = 0; index < name.size(); ++index) {
        if (static_cast<unsigned char>(name[index]) < 0x80) text[index] = QLatin1Char(name[index]);
    }
    return text;
}

QString LegacyNames::shown(QByteArrayView name) const {
    if (std::optional<QString> text = decoded(name)) return *text;
    return ToolText::readableName(name);
}
