#include "core/content/ArchiveListingParser.h"

#include "core/content/ListingFields.h"
#include "core/content/PreviewEntryRules.h"
#include "core/content/PrintedNames.h"
#include "core/content/SevenZipListingReader.h"
#include "core/engine/UnrarListing.h"
#include "platform/ToolText.h"

#include <QHash>
#include <QSet>
#include <QStringList>

#include <algorithm>
#include <utility>

namespace ArchiveListingParser {

namespace {

const QChar kNewline = QLatin1Char('\n');
const QChar kHyphen = QLatin1Char('-');
const QChar kBlank = QLatin1Char(' ');

// Calls lineHandler with every line of text (without its line feed) and its index, empty ones
// included. Listing lines are short: an inline scan for the line feed costs less than a library
// search per line.
template <typename LineHandler>
void forEachLine(QStringView text, LineHandler&& lineHandler) {
    auto start = text.begin();
    for (qsizetype index = 0;; ++index) {
        const auto end = std::find(start, text.end(), kNewline);
        lineHandler(QStringView(start, end), index);
        if (end == text.end()) return;
        start = end + 1;
    }
}

// Notes a row's legacy name, which stands in its line as name, before the row is appended.
void noteName(PrintedNames& printed, const QList<ArchivePreviewEntry>& entries, qsizetype lineIndex,
              QStringView line, QStringView name) {
    if (const std::optional<PrintedNames::Place> place = PrintedNames::placeOf(lineIndex, line, name))
        printed.note(entries.size(), *place);
}

// Where the columns of 7-Zip's plain listing start and end, from its dashed line.
struct Column {
    qsizetype start = 0;
    qsizetype end = 0;

    QStringView in(QStringView row) const {
        if (start >= row.size()) return {};
        return row.sliced(start, std::min(end, row.size()) - start);
    }
};

// The plain listing's five columns: date and time, attributes, size, packed size, name.
constexpr qsizetype kPlainListingColumns = 5;

// The dashes under the column heading, and the same line again after the last row. The "--" above
// the archive's own properties has a single run and is not one of them.
QList<Column> columnRule(QStringView line) {
    QList<Column> columns;
    for (qsizetype index = 0; index < line.size(); ++index) {
        if (line[index] == kBlank) continue;
        if (line[index] != kHyphen) return {};
        if (index == 0 || line[index - 1] != kHyphen) columns.append({index, index});
        columns.last().end = index + 1;
    }
    if (columns.size() != kPlainListingColumns || columns.first().start != 0) return {};
    return columns;
}

ArchivePreviewEntry plainListingRow(QStringView row, const QList<Column>& columns) {
    const QStringView name = row.sliced(std::min(columns.last().start, row.size()));
    const bool isFolder = columns[1].in(row).trimmed().startsWith(QLatin1Char('D'));
    return PreviewEntryRules::listedEntry(isFolder ? ListingFields::asFolderPath(name) : name.toString(),
                                          ListingFields::decimal(columns[2].in(row).trimmed()),
                                          columns[0].in(row).trimmed().toString());
}

// The index after the run of blanks (or of other characters) that starts at index.
qsizetype pastRun(QStringView line, qsizetype index, bool blanks) {
    while (index < line.size() && line[index].isSpace() == blanks) ++index;
    return index;
}

// The name C-quoted at quote. Without a backslash it is the text up to the next quote: tar prints every
// byte that is not UTF-8 as an escape, so such a name is no legacy one. A name with escapes is read as
// bytes.
std::optional<QByteArray> quotedName(QStringView line, qsizetype quote, QString& plain) {
    const qsizetype close = line.indexOf(u'"', quote + 1);
    const QStringView inside = close < 0 ? QStringView() : line.sliced(quote + 1, close - quote - 1);
    if (close >= 0 && !inside.contains(u'\\')) {
        plain = inside.toString();
        return std::nullopt;
    }
    return ToolText::cUnquoted(line.sliced(quote).toUtf8());
}

// One row of tar's verbose listing: type and mode, owner, size, then date and time up to the name's
// opening quote. Nothing for lines that are no entry (a volume label, the continuation of a
// multi-volume entry). Read by hand: a listing holds a line per entry.
std::optional<ArchivePreviewEntry> tarListingRow(QStringView line) {
    if (line.isEmpty() || !QStringView(u"-dlhcbpsDC").contains(line[0])) return std::nullopt;
    qsizetype fields[6] = {pastRun(line, 1, false)};  // the ends of mode, blanks, owner, blanks, size, blanks
    for (int field = 1; field < 6; ++field) {
        fields[field] = pastRun(line, fields[field - 1], field % 2 == 1);
        if (fields[field] == fields[field - 1]) return std::nullopt;
    }
    const qsizetype quote = line.indexOf(u" \"", fields[5] + 1) + 1;
    if (quote <= 0) return std::nullopt;
    QString plain;
    const std::optional<QByteArray> bytes = quotedName(line, quote, plain);
    const bool legacy = bytes && !ToolText::isValidUtf8(*bytes);
    if (bytes) plain = legacy ? ToolText::decode(*bytes) : QString::fromUtf8(*bytes);
    if (plain.isEmpty()) return std::nullopt;
    const bool isFolder = line[0] == u'd' || line[0] == u'D';
    const auto asListed = [isFolder](const QString& path) {
        return isFolder ? ListingFields::asFolderPath(path) : path;
    };
    ArchivePreviewEntry entry = PreviewEntryRules::listedEntry(
        asListed(plain), ListingFields::decimal(line.sliced(fields[3], fields[4] - fields[3])),
        ListingFields::toSeconds(line.sliced(fields[5], quote - 1 - fields[5])).toString());
    if (legacy) entry.toolPath = asListed(ToolText::escapedName(*bytes));
    return entry;
}

}  // namespace

PreviewListing parseSevenZipStructuredList(QStringView output, QByteArrayView printedBytes) {
    SevenZipListingReader reader;
    reader.read(output);
    return reader.finish(output, printedBytes);
}

QList<ArchivePreviewEntry> parseSevenZipPlainList(QStringView output, QByteArrayView printedBytes) {
    QList<ArchivePreviewEntry> entries;
    PrintedNames printed;
    QList<Column> columns;
    bool finished = false;
    forEachLine(output, [&](QStringView rawLine, qsizetype lineIndex) {
        const QStringView line = rawLine.endsWith(QLatin1Char('\r')) ? rawLine.chopped(1) : rawLine;
        if (finished) return;
        if (QList<Column> rule = columnRule(line); !rule.isEmpty()) {
            finished = !columns.isEmpty();
            columns = std::move(rule);
            return;
        }
        if (columns.isEmpty() || line.trimmed().isEmpty()) return;
        ArchivePreviewEntry row = plainListingRow(line, columns);
        if (row.path.isEmpty()) return;
        noteName(printed, entries, lineIndex, rawLine,
                 line.sliced(std::min(columns.last().start, line.size())));
        entries.append(std::move(row));
    });
    printed.apply(entries, printedBytes);
    return entries;
}

QList<ArchivePreviewEntry> parseRarTechnicalList(QStringView output) {
    QList<ArchivePreviewEntry> entries;
    QSet<QString> seen;
    for (const UnrarListing::Entry& entry : UnrarListing::read(output).entries) {
        if (entry.name.isEmpty()) continue;
        const bool isFolder = entry.type == u"Directory";
        const QString path = isFolder ? ListingFields::asFolderPath(entry.name) : entry.name.toString();
        if (seen.contains(path)) continue;
        seen.insert(path);
        const QString modified =
            entry.mtime.isNull() ? QString() : ListingFields::toSeconds(entry.mtime).toString();
        entries.append(PreviewEntryRules::listedEntry(
            path, entry.size.isNull() ? std::nullopt : ListingFields::decimal(entry.size), modified));
    }
    return entries;
}

std::optional<ArchivePreviewEntry> parseZipListLine(QStringView line) {
    const QList<QStringView> columns = line.split(kBlank, Qt::SkipEmptyParts);
    if (columns.size() < 4) return std::nullopt;
    const std::optional<qint64> length = ListingFields::decimal(columns[0]);
    if (!length) return std::nullopt;
    QStringList nameParts;
    for (qsizetype index = 3; index < columns.size(); ++index) nameParts.append(columns[index].toString());
    const QString name = nameParts.join(kBlank);
    if (name == u"Name") return std::nullopt;
    return PreviewEntryRules::listedEntry(name, length,
                                          columns[1].toString() + kBlank + columns[2].toString());
}

QList<ArchivePreviewEntry> parseZipList(QStringView output, QByteArrayView printedBytes) {
    QList<ArchivePreviewEntry> entries;
    PrintedNames printed;
    forEachLine(output, [&](QStringView line, qsizetype lineIndex) {
        std::optional<ArchivePreviewEntry> entry = parseZipListLine(line);
        if (!entry) return;
        // A name with runs of blanks was rejoined with single ones; its printed form is then not known.
        if (const QStringView trimmed = line.trimmed(); trimmed.endsWith(entry->path))
            noteName(printed, entries, lineIndex, line, trimmed.last(entry->path.size()));
        entries.append(*std::move(entry));
    });
    printed.apply(entries, printedBytes);
    return entries;
}

QList<ArchivePreviewEntry> parseTarList(QStringView output) {
    TarListingReader reader;
    reader.read(output);
    return reader.finish(output);
}

void TarListingReader::read(QStringView piece) {
    m_readLength += piece.size();
    for (qsizetype end = piece.indexOf(kNewline); end >= 0; end = piece.indexOf(kNewline)) {
        if (m_partialLine.isEmpty()) {
            readLine(piece.first(end));
        } else {
            m_partialLine += piece.first(end);
            readLine(m_partialLine);
            m_partialLine.clear();
        }
        piece = piece.sliced(end + 1);
    }
    m_partialLine += piece;
}

QList<ArchivePreviewEntry> TarListingReader::finish(QStringView output) {
    if (m_readLength != output.size()) return parseTarList(output);
    return finishRead();
}

QList<ArchivePreviewEntry> TarListingReader::finishRead() {
    readLine(m_partialLine);  // the last line, which no line feed ends
    return std::move(m_entries);
}

void TarListingReader::readLine(QStringView line) {
    std::optional<ArchivePreviewEntry> entry = tarListingRow(line);
    if (!entry) return;
    if (const auto stored = m_rowOfPath.constFind(entry->path); stored != m_rowOfPath.cend()) {
        m_entries[*stored] = *std::move(entry);
        return;
    }
    m_rowOfPath.insert(entry->path, m_entries.size());
    m_entries.append(*std::move(entry));
}

}  // namespace ArchiveListingParser
