#pragma once

#include <QString>
#include <QStringView>

#include <algorithm>
#include <bit>
#include <cstring>
#include <iterator>
#include <optional>
#include <utility>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

// 7-Zip's technical listing ("l -slt"), the one reader of it that the browser's listing, the link
// checks and the password probe share: after a line of ten hyphens, one block of "key = value" lines
// per entry, each beginning with "Path". Only the keys some caller needs are read; anything else is
// skipped. It reads the output in pieces as the tool prints them, so that the parse of a long listing
// overlaps the tool's run, and hands each known line to a Fields object of the caller:
//     void store(SevenZipListing::Key key, QStringView value, QStringView rawLine, qsizetype lineIndex);
//     void finishBlock();  // before a block's "Path" line when the block holds a key, and at the end
// value is the rest of the line after "key = " (untrimmed at its end); rawLine the line as printed.
// A template, so that a listing of millions of lines costs no call per line.
namespace SevenZipListing {

enum class Key { path, size, folder, hostOS, modified, encrypted, attributes, mode, symbolicLink, hardLink };

namespace detail {

inline bool isVisibleAscii(QChar character) { return character.unicode() - 0x21u < 0x5Eu; }

inline QStringView trimmedSlowly(QStringView text) {
    const QChar* begin = text.begin();
    const QChar* end = text.end();
    while (begin != end && begin->isSpace()) ++begin;
    while (end != begin && (end - 1)->isSpace()) --end;
    return QStringView(begin, end);
}

// The first line feed from `from` on, or end. A listing has millions of short lines: where the
// processor can, eight characters are compared at once.
inline const QChar* findLineFeed(const QChar* from, const QChar* end) {
#if defined(__SSE2__)
    const __m128i lineFeeds = _mm_set1_epi16('\n');
    for (; end - from >= 8; from += 8) {
        const __m128i characters = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from));
        const int matches = _mm_movemask_epi8(_mm_cmpeq_epi16(characters, lineFeeds));
        if (matches != 0) return from + std::countr_zero(unsigned(matches)) / 2;
    }
#endif
    return std::find(from, end, QLatin1Char('\n'));
}

// The line of ten hyphens before the first entry.
inline bool isRule(QStringView line) {
    return line.size() == 10 &&
           std::all_of(line.begin(), line.end(), [](QChar character) { return character == u'-'; });
}

// Whether line begins with prefix (without its terminating zero). The length is known when compiled,
// so the comparison takes a few loads.
template <size_t N>
bool startsWith(QStringView line, const char16_t (&prefix)[N]) {
    constexpr qsizetype length = N - 1;
    return line.size() >= length && std::memcmp(line.data(), prefix, length * sizeof(char16_t)) == 0;
}

template <size_t N>
std::optional<std::pair<Key, qsizetype>> candidate(QStringView line, Key key, const char16_t (&prefix)[N]) {
    return startsWith(line, prefix) ? std::optional(std::pair(key, qsizetype(N - 1))) : std::nullopt;
}

}  // namespace detail

// QStringView::trimmed without a call: it runs for every line, and most have nothing to trim.
inline QStringView trimmed(QStringView text) {
    if (text.isEmpty() || (detail::isVisibleAscii(text.front()) && detail::isVisibleAscii(text.back())))
        return text;
    return detail::trimmedSlowly(text);
}

// Whether a value is "+" (a set flag).
inline bool isPlus(QStringView value) { return value.size() == 1 && value.front() == u'+'; }

// The key a (trimmed, non-empty) line begins with, and where its value starts. A line holds a key when
// it begins with the key and " = ": the first " = " ends a line's key, and no key here holds one. Most
// lines have keys no caller needs: the first letter rules out most keys before any text is compared.
inline std::optional<std::pair<Key, qsizetype>> knownKey(QStringView line) {
    using detail::candidate;
    switch (line.front().unicode()) {
        case u'P':
            return candidate(line, Key::path, u"Path = ");
        case u'S':
            if (auto size = candidate(line, Key::size, u"Size = ")) return size;
            return candidate(line, Key::symbolicLink, u"Symbolic Link = ");
        case u'F':
            return candidate(line, Key::folder, u"Folder = ");
        case u'H':
            if (auto host = candidate(line, Key::hostOS, u"Host OS = ")) return host;
            return candidate(line, Key::hardLink, u"Hard Link = ");
        case u'M':
            if (auto modified = candidate(line, Key::modified, u"Modified = ")) return modified;
            return candidate(line, Key::mode, u"Mode = ");
        case u'E':
            return candidate(line, Key::encrypted, u"Encrypted = ");
        case u'A':
            return candidate(line, Key::attributes, u"Attributes = ");
        default:
            return std::nullopt;
    }
}

template <typename Fields>
class Reader {
public:
    explicit Reader(Fields& fields) : m_fields(fields) {}

    // The next piece of the output; pieces may end anywhere, inside a line or between the two halves
    // of a surrogate pair. Lines are read where they stand in the piece; only a line that a piece cut
    // is put together.
    void read(QStringView piece) {
        m_readLength += piece.size();
        const QChar* start = piece.begin();
        while (true) {
            const QChar* end = detail::findLineFeed(start, piece.end());
            if (end == piece.end()) break;
            if (m_partialLine.isEmpty()) {
                readLine(QStringView(start, end));
            } else {
                m_partialLine.append(QStringView(start, end));
                readLine(m_partialLine);
                m_partialLine.clear();
            }
            start = end + 1;
        }
        m_partialLine.append(QStringView(start, piece.end()));
    }

    // Reads the last line, which no line feed ends, and finishes the last block; called once.
    void finish() {
        readLine(m_partialLine);
        m_fields.finishBlock();
    }

    // How many characters the pieces held.
    qsizetype readLength() const { return m_readLength; }

private:
    void readLine(QStringView rawLine) {
        const qsizetype lineIndex = m_lineCount++;
        const QStringView line = trimmed(rawLine);
        if (detail::isRule(line)) {
            m_fields.finishBlock();
            m_filled = false;
            m_started = true;
            return;
        }
        if (!m_started || line.isEmpty()) return;
        const std::optional<std::pair<Key, qsizetype>> known = knownKey(line);
        if (!known) return;
        // Keys no caller needs leave the block as it was, so they need not end one either.
        if (m_filled && known->first == Key::path) m_fields.finishBlock();
        m_filled = true;
        m_fields.store(known->first, line.sliced(known->second), rawLine, lineIndex);
    }

    Fields& m_fields;
    QString m_partialLine;  // the start of a line that the last piece cut
    qsizetype m_lineCount = 0;
    qsizetype m_readLength = 0;
    bool m_started = false;
    bool m_filled = false;  // a key was read since the block began
};

// Reads a whole listing into fields.
template <typename Fields>
void read(QStringView listing, Fields& fields) {
    Reader<Fields> reader(fields);
    reader.read(listing);
    reader.finish();
}

}  // namespace SevenZipListing
