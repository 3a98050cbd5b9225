#include "core/content/LegacyNames.h"

#include "core/content/MacOsRoman.h"
#include "core/content/PreviewEntryRules.h"
#include "core/engine/ToolText.h"

#include <QStringDecoder>

namespace {

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

LegacyNames::LegacyNames(const QList<QByteArray>& names, Source source)
    : m_chinese(readsAsChinese(names)), m_source(source) {}

std::optional<QString> LegacyNames::decoded(QByteArrayView name) const {
    if (m_chinese) return gb18030(name);
    // Mac OS Roman maps every byte, so ISO Latin 1 after it is never needed.
    if (m_source == Source::zip) return MacOsRoman::decode(name);
    return std::nullopt;
}

QString LegacyNames::shown(QByteArrayView name) const {
    if (std::optional<QString> text = decoded(name)) return *text;
    return ToolText::decode(name);
}

void LegacyNames::decodeRows(QList<ArchivePreviewEntry>& entries, Source source) {
    QList<QByteArray> names;
    for (const ArchivePreviewEntry& entry : entries) {
        if (!entry.toolPath.isEmpty()) names.append(ToolText::encodedName(entry.toolPath));
    }
    if (names.isEmpty()) return;
    const LegacyNames legacy(names, source);
    qsizetype next = 0;
    for (ArchivePreviewEntry& entry : entries) {
        if (entry.toolPath.isEmpty()) continue;
        entry.path = legacy.shown(names[next++]);
        entry.kindDescription = PreviewEntryRules::kindDescription(entry.path);
    }
}
