#include "core/content/ArchiveListingParser.h"

#include "core/content/ListingFields.h"
#include "core/content/PreviewEntryRules.h"
#include "core/content/PrintedNames.h"
#include "core/content/SevenZipListingReader.h"
#include "core/engine/UnrarListing.h"
#include "platform/ToolText.h"

#include <QHash>
#include <QRegularExpression>
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

// One row of tar's verbose listing; nothing for lines that are no entry (a volume label, the
// continuation of a multi-volume entry).
std::optional<ArchivePreviewEntry> tarListingRow(QStringView line) {
    // Type, mode, owner, size, then date and time up to the name's opening quote.
    static const QRegularExpression fields(
        QStringLiteral("^([-dlhcbpsDC])\\S*\\s+\\S+\\s+(\\S+)\\s+(.+?) \""));
    const QRegularExpressionMatch match = fields.match(line);
    if (!match.hasMatch()) return std::nullopt;
    // Everything before the name is ASCII, so its quote stands at the same offset in the bytes.
    const std::optional<QByteArray> name = ToolText::cUnquoted(line.toUtf8(), match.capturedEnd(0) - 1);
    if (!name || name->isEmpty()) return std::nullopt;
    const bool isFolder = match.capturedView(1) == u"d" || match.capturedView(1) == u"D";
    const auto asListed = [isFolder](const QString& path) {
        return isFolder ? ListingFields::asFolderPath(path) : path;
    };
    const bool legacy = !ToolText::isValidUtf8(*name);
    ArchivePreviewEntry entry =
        PreviewEntryRules::listedEntry(asListed(legacy ? ToolText::decode(*name) : QString::fromUtf8(*name)),
                                       ListingFields::decimal(match.capturedView(2)),
                                       ListingFields::toSeconds(match.capturedView(3)).toString());
    if (legacy) entry.toolPath = asListed(ToolText::escapedName(*name));
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
    QList<ArchivePreviewEntry> entries;
    QHash<QString, qsizetype> rowOfPath;
    forEachLine(output, [&](QStringView line, qsizetype) {
        std::optional<ArchivePreviewEntry> entry = tarListingRow(line);
        if (!entry) return;
        if (const auto stored = rowOfPath.constFind(entry->path); stored != rowOfPath.cend()) {
            entries[*stored] = *std::move(entry);
            return;
        }
        rowOfPath.insert(entry->path, entries.size());
        entries.append(*std::move(entry));
    });
    return entries;
}

}  // namespace ArchiveListingParser
