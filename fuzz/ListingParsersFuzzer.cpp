// The input is a tool's output, decoded as the process runner decodes it, and goes to every listing
// parser; the rows then pass through the rules that follow a listing.

#include "platform/ToolText.h"
#include "core/content/ArchiveListingParser.h"
#include "core/content/ArchivePreviewService.h"
#include "core/content/PreviewEntryRules.h"
#include "core/content/SevenZipListingReader.h"

#include <QString>

#include <cstddef>
#include <cstdint>

namespace {

void useRows(const QList<ArchivePreviewEntry>& entries) {
    PreviewEntryRules::containsMojibakePath(entries);
    for (const ArchivePreviewEntry& entry : entries) {
        try {
            ArchivePreviewService::safeRelativePath(entry.path);
        } catch (const ArchiveError&) {
        }
    }
}

// The 7-Zip listing read in three pieces, cut anywhere, gives the rows of the whole.
void readInPieces(QStringView output, QByteArrayView printed, const PreviewListing& whole) {
    SevenZipListingReader reader;
    const qsizetype first = output.size() / 3;
    const qsizetype second = output.size() - first;
    reader.read(output.first(first));
    reader.read(output.sliced(first, second - first));
    reader.read(output.sliced(second));
    if (reader.finish(output, printed).entries != whole.entries) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const QString output = QString::fromUtf8(bytes);
    // The runner hands the printed bytes along only when they were not all UTF-8.
    const QByteArrayView printed = ToolText::isValidUtf8(bytes) ? QByteArrayView() : bytes;
    const PreviewListing sevenZipListing = ArchiveListingParser::parseSevenZipStructuredList(output, printed);
    readInPieces(output, printed, sevenZipListing);
    useRows(sevenZipListing.entries);
    useRows(ArchiveListingParser::parseSevenZipPlainList(output, printed));
    useRows(ArchiveListingParser::parseZipList(output, printed));
    useRows(ArchiveListingParser::parseRarTechnicalList(output));
    useRows(ArchiveListingParser::parseTarList(output));
    return 0;
}
