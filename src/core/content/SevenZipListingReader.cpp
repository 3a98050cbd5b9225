#include "core/content/SevenZipListingReader.h"

#include "core/content/ListingFields.h"
#include "core/content/PreviewEntryRules.h"

#include <utility>

namespace {

// "D drwxr-xr-x" or "D": the first word is the folder attribute.
bool isFolderAttribute(QStringView attributes) {
    const QStringView words = SevenZipListing::trimmed(attributes);
    return words.startsWith(u'D') && (words.size() == 1 || words[1] == u' ');
}

}  // namespace

PreviewListing SevenZipListingReader::finish(QStringView output, QByteArrayView printed) {
    if (m_reader.readLength() != output.size()) {
        SevenZipListingReader whole;
        whole.read(output);
        return whole.finish(output, printed);
    }
    return finishRead(printed);
}

PreviewListing SevenZipListingReader::finishRead(QByteArrayView printed) {
    m_reader.finish();
    return m_rows.finish(printed);
}

PreviewListing SevenZipListingReader::Rows::finish(QByteArrayView printed) {
    m_printedNames.apply(m_listing.entries, printed);
    for (const auto& [row, source] : m_hostSources) {
        if (!m_listing.entries[row].toolPath.isEmpty())
            m_listing.zipLegacySource = LegacyNames::combined(m_listing.zipLegacySource, source);
    }
    return std::move(m_listing);
}

void SevenZipListingReader::Rows::store(SevenZipListing::Key key, QStringView value, QStringView rawLine,
                                        qsizetype lineIndex) {
    using Key = SevenZipListing::Key;
    switch (key) {
        case Key::path: {
            const QStringView path = SevenZipListing::trimmed(value);
            m_block.path = path.toString();
            m_block.pathPlace = PrintedNames::placeOf(lineIndex, rawLine, path);
            return;
        }
        case Key::size:
            m_block.size = ListingFields::decimal(value).value_or(0);
            return;
        case Key::folder:
            m_block.folderFlag = SevenZipListing::isPlus(value);
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
            m_block.encrypted = SevenZipListing::isPlus(value);
            return;
        case Key::attributes:
            m_block.folderAttribute = isFolderAttribute(value);
            return;
        case Key::mode:
        case Key::symbolicLink:
        case Key::hardLink:
            return;  // the link checks' fields
    }
}

void SevenZipListingReader::Rows::finishBlock() {
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
