#include "core/content/SevenZipListingReader.h"

#include "core/content/ListingFields.h"
#include "core/content/PreviewEntryRules.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <iterator>
#include <utility>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

bool isVisibleAscii(QChar character) { return character.unicode() - 0x21u < 0x5Eu; }

QStringView trimmedSlowly(QStringView text) {
    const QChar* begin = text.begin();
    const QChar* end = text.end();
    while (begin != end && begin->isSpace()) ++begin;
    while (end != begin && (end - 1)->isSpace()) --end;
    return QStringView(begin, end);
}

// QStringView::trimmed without a call: it runs for every line, and most have nothing to trim.
QStringView trimmed(QStringView text) {
    if (text.isEmpty() || (isVisibleAscii(text.front()) && isVisibleAscii(text.back()))) return text;
    return trimmedSlowly(text);
}

// The first line feed from `from` on, or end. A listing has millions of short lines: where the
// processor can, eight characters are compared at once.
const QChar* findLineFeed(const QChar* from, const QChar* end) {
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
bool isRule(QStringView line) {
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

bool isPlus(QStringView value) { return value.size() == 1 && value.front() == u'+'; }

// "D drwxr-xr-x" or "D": the first word is the folder attribute.
bool isFolderAttribute(QStringView attributes) {
    const QStringView words = trimmed(attributes);
    return words.startsWith(u'D') && (words.size() == 1 || words[1] == u' ');
}

}  // namespace

// Lines are read where they stand in the piece; only a line that a piece cut is put together.
void SevenZipListingReader::read(QStringView piece) {
    m_readLength += piece.size();
    const QChar* start = piece.begin();
    while (true) {
        const QChar* end = findLineFeed(start, piece.end());
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

PreviewListing SevenZipListingReader::finish(QStringView output, QByteArrayView printed) {
    if (m_readLength != output.size()) {
        SevenZipListingReader whole;
        whole.read(output);
        return whole.finish(output, printed);
    }
    readLine(m_partialLine);  // the last line, which no line feed ends
    finishBlock();
    m_printedNames.apply(m_listing.entries, printed);
    for (const auto& [row, source] : m_hostSources) {
        if (!m_listing.entries[row].toolPath.isEmpty())
            m_listing.zipLegacySource = LegacyNames::combined(m_listing.zipLegacySource, source);
    }
    return std::move(m_listing);
}

// A line holds a key when it begins with the key and " = ": the first " = " ends a line's key, and
// no key here holds one. Called for every line of a listing that may hold millions of them, most with
// keys no row needs: the first letter rules out most keys before any text is compared.
std::optional<std::pair<SevenZipListingReader::Key, qsizetype>> SevenZipListingReader::knownKey(
    QStringView line) {
    const auto candidate = [line](Key key, const auto& prefix) {
        return startsWith(line, prefix) ? std::optional(std::pair(key, qsizetype(std::size(prefix) - 1)))
                                        : std::nullopt;
    };
    switch (line.front().unicode()) {
        case u'P':
            return candidate(Key::path, u"Path = ");
        case u'S':
            return candidate(Key::size, u"Size = ");
        case u'F':
            return candidate(Key::folder, u"Folder = ");
        case u'H':
            return candidate(Key::hostOS, u"Host OS = ");
        case u'M':
            return candidate(Key::modified, u"Modified = ");
        case u'E':
            return candidate(Key::encrypted, u"Encrypted = ");
        case u'A':
            return candidate(Key::attributes, u"Attributes = ");
        default:
            return std::nullopt;
    }
}

void SevenZipListingReader::readLine(QStringView rawLine) {
    const qsizetype lineIndex = m_lineCount++;
    const QStringView line = trimmed(rawLine);
    if (isRule(line)) {
        finishBlock();
        m_started = true;
        return;
    }
    if (!m_started || line.isEmpty()) return;
    const std::optional<std::pair<Key, qsizetype>> known = knownKey(line);
    if (!known) return;
    // Keys no row needs leave the block as it was, so they need not end one either.
    if (m_block.filled && known->first == Key::path) finishBlock();
    store(known->first, line.sliced(known->second), rawLine, lineIndex);
}

void SevenZipListingReader::store(Key key, QStringView value, QStringView rawLine, qsizetype lineIndex) {
    m_block.filled = true;
    switch (key) {
        case Key::path: {
            const QStringView path = trimmed(value);
            m_block.path = path.toString();
            m_block.pathPlace = PrintedNames::placeOf(lineIndex, rawLine, path);
            return;
        }
        case Key::size:
            m_block.size = ListingFields::decimal(value).value_or(0);
            return;
        case Key::folder:
            m_block.folderFlag = isPlus(value);
            return;
        case Key::hostOS:
            // 7-Zip names the system of ZIP entries only; it matters for legacy names alone.
            if (m_block.pathPlace) m_block.hostSource = LegacyNames::zipHostSource(value);
            return;
        case Key::modified: {
            // Rows printed together mostly share their time: one text for all of them.
            const QStringView seconds = ListingFields::toSeconds(value);
            if (seconds != m_previousModified) m_previousModified = seconds.toString();
            m_block.modified = m_previousModified;
            return;
        }
        case Key::encrypted:
            m_block.encrypted = isPlus(value);
            return;
        case Key::attributes:
            m_block.folderAttribute = isFolderAttribute(value);
            return;
    }
}

void SevenZipListingReader::finishBlock() {
    Block block = std::exchange(m_block, {});
    if (block.path.isEmpty()) return;
    if (block.encrypted) m_listing.isEncrypted = true;
    if ((block.folderFlag || block.folderAttribute) && !block.path.endsWith(QLatin1Char('/')))
        block.path += QLatin1Char('/');
    const qsizetype row = m_listing.entries.size();
    m_listing.entries.append(PreviewEntryRules::listedEntry(block.path, block.size, block.modified));
    if (!block.pathPlace) return;
    m_printedNames.note(row, *block.pathPlace);
    if (block.hostSource) m_hostSources.append({row, *block.hostSource});
}
