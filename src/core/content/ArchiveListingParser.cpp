#include "core/content/ArchiveListingParser.h"

#include "core/content/PreviewEntryRules.h"
#include "core/engine/ToolText.h"

#include <QSet>
#include <QStringList>

#include <algorithm>
#include <utility>

namespace ArchiveListingParser {

namespace {

const QChar kNewline = QLatin1Char('\n');
const QChar kSlash = QLatin1Char('/');
const QChar kHyphen = QLatin1Char('-');
const QChar kBlank = QLatin1Char(' ');

// Calls lineHandler with every line of text (without its line feed), empty ones included. Listing
// lines are short: an inline scan for the line feed costs less than a library search per line.
template <typename LineHandler>
void forEachLine(QStringView text, LineHandler&& lineHandler) {
    auto start = text.begin();
    while (true) {
        const auto end = std::find(start, text.end(), kNewline);
        lineHandler(QStringView(start, end));
        if (end == text.end()) return;
        start = end + 1;
    }
}

// Most lines have nothing to trim; QStringView::trimmed is only asked when an end is a blank.
QStringView trimmedLine(QStringView line) {
    if (line.isEmpty() || (!line.front().isSpace() && !line.back().isSpace())) return line;
    return line.trimmed();
}

// The first " = " of a technical-listing line, found by its "=". The keys are short, so the "=" is
// a few characters in: an inline scan beats a library search that is set up anew for every line.
qsizetype keySeparator(QStringView line) {
    for (auto equals = std::find(line.begin(), line.end(), QLatin1Char('=')); equals != line.end();
         equals = std::find(equals + 1, line.end(), QLatin1Char('='))) {
        const qsizetype index = equals - line.begin();
        if (index >= 1 && index + 1 < line.size() && line[index - 1] == kBlank && line[index + 1] == kBlank) {
            return index - 1;
        }
    }
    return -1;
}

std::optional<qint64> decimal(QStringView text) {
    bool ok = false;
    const qint64 value = text.toLongLong(&ok, 10);
    if (!ok) return std::nullopt;
    return value;
}

// Time stamps to the second: "2024-03-09 14:05:08" of "2024-03-09 14:05:08.1234567".
QStringView toSecondsView(QStringView timestamp) {
    return timestamp.first(std::min<qsizetype>(timestamp.size(), 19));
}

QString toSeconds(QStringView timestamp) { return toSecondsView(timestamp).toString(); }

// Rows printed together mostly share their time: the previous row's text is kept and shared when it
// matches, sparing a string for every row.
QString toSecondsReusing(QStringView timestamp, QString& previous) {
    const QStringView seconds = toSecondsView(timestamp);
    if (seconds != previous) previous = seconds.toString();
    return previous;
}

QString asFolderPath(QStringView path) {
    return path.endsWith(kSlash) ? path.toString() : path.toString() + kSlash;
}

// The printed bytes of names cut from a listing's decoded text. Decoding keeps every line feed, so
// the text and the bytes have the same lines; what stands before and after a name on its line is
// ASCII, so the name's bytes lie between the same offsets from the line's ends. Names are asked for
// in listing order, so both walk forward once.
class PrintedNames {
public:
    PrintedNames(QStringView text, QByteArrayView printed)
        : m_text(text), m_printed(printed), m_textLine(text.begin()), m_printedLine(0) {}

    // Nothing for a name that was UTF-8 as printed.
    QString toolPath(QStringView name) {
        if (m_printed.isEmpty() || !name.contains(QChar::ReplacementCharacter)) return {};
        while (true) {
            const auto lineEnd = std::find(m_textLine, m_text.end(), kNewline);
            if (lineEnd == m_text.end() || name.data() < lineEnd) break;
            m_textLine = lineEnd + 1;
            m_printedLine = std::min(m_printed.size(), m_printed.indexOf('\n', m_printedLine) + 1);
            if (m_printedLine == 0) return {};
        }
        const qsizetype lineEnd = m_printed.indexOf('\n', m_printedLine);
        const QByteArrayView line =
            m_printed.sliced(m_printedLine, (lineEnd < 0 ? m_printed.size() : lineEnd) - m_printedLine);
        const qsizetype textLineLength = std::find(m_textLine, m_text.end(), kNewline) - m_textLine;
        const qsizetype start = name.data() - m_textLine;
        const qsizetype end = line.size() - (textLineLength - start - name.size());
        if (start < 0 || end < start) return {};
        return ToolText::escapedName(line.sliced(start, end - start));
    }

private:
    QStringView m_text;
    QByteArrayView m_printed;
    const QChar* m_textLine;
    qsizetype m_printedLine;
};

// A legacy name's row: its path is decoded later, from its printed name, a folder keeping its "/".
void keepPrintedName(ArchivePreviewEntry& entry, QStringView name, PrintedNames& printed) {
    entry.toolPath = printed.toolPath(name);
    if (!entry.toolPath.isEmpty() && entry.path.endsWith(kSlash) && !entry.toolPath.endsWith(kSlash))
        entry.toolPath += kSlash;
}

// One entry block of the 7-Zip technical listing. Only the keys the rows need are kept; `filled`
// tells whether any key at all was stored since the block began.
struct SevenZipBlock {
    std::optional<QStringView> path, folder, attributes, encrypted, size, modified, hostOS;
    bool filled = false;

    // Called for every line of a listing that may hold a million of them: the key's length decides
    // before any text is compared.
    void store(QStringView key, QStringView value) {
        filled = true;
        if (std::optional<QStringView>* field = fieldFor(key)) *field = value;
    }

    std::optional<QStringView>* fieldFor(QStringView key) {
        switch (key.size()) {
            case 4:
                if (key == QLatin1StringView("Path")) return &path;
                if (key == QLatin1StringView("Size")) return &size;
                return nullptr;
            case 6:
                return key == QLatin1StringView("Folder") ? &folder : nullptr;
            case 7:
                return key == QLatin1StringView("Host OS") ? &hostOS : nullptr;
            case 8:
                return key == QLatin1StringView("Modified") ? &modified : nullptr;
            case 9:
                return key == QLatin1StringView("Encrypted") ? &encrypted : nullptr;
            case 10:
                return key == QLatin1StringView("Attributes") ? &attributes : nullptr;
            default:
                return nullptr;
        }
    }

    bool isFolder(QStringView trimmedPath) const {
        if (folder == u"+") return true;
        if (attributes) {
            const QStringView trimmed = attributes->trimmed();
            const qsizetype blank = trimmed.indexOf(kBlank);
            if ((blank < 0 ? trimmed : trimmed.first(blank)) == u"D") return true;
        }
        return trimmedPath.endsWith(kSlash);
    }

    void finish(PreviewListing& listing, QString& previousModified, PrintedNames& printed) {
        const SevenZipBlock block = std::exchange(*this, {});
        const QStringView trimmedPath = block.path ? block.path->trimmed() : QStringView();
        if (trimmedPath.isEmpty()) return;
        if (block.encrypted == u"+") listing.isEncrypted = true;
        const bool isFolder = block.isFolder(trimmedPath);
        const QString path = isFolder ? asFolderPath(trimmedPath) : trimmedPath.toString();
        const qint64 size = block.size ? decimal(*block.size).value_or(0) : 0;
        const QString modified =
            block.modified ? toSecondsReusing(*block.modified, previousModified) : QString();
        listing.entries.append(PreviewEntryRules::listedEntry(path, size, modified));
        keepPrintedName(listing.entries.last(), trimmedPath, printed);
        // 7-Zip names the system of ZIP entries only; the kind decides for other archives.
        if (!listing.entries.last().toolPath.isEmpty() && block.hostOS) {
            listing.zipLegacySource =
                LegacyNames::combined(listing.zipLegacySource, LegacyNames::zipHostSource(*block.hostOS));
        }
    }
};

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
    return PreviewEntryRules::listedEntry(isFolder ? asFolderPath(name) : name.toString(),
                                          decimal(columns[2].in(row).trimmed()),
                                          columns[0].in(row).trimmed().toString());
}

// One entry block of unrar's technical listing.
struct RarBlock {
    std::optional<QStringView> name, type, size, mtime;

    void store(QStringView key, QStringView value) {
        if (key == u"Name")
            name = value;
        else if (key == u"Type")
            type = value;
        else if (key == u"Size")
            size = value;
        else if (key == u"mtime")
            mtime = value;
    }

    void finish(QList<ArchivePreviewEntry>& entries, QSet<QString>& seen) {
        const RarBlock block = std::exchange(*this, {});
        if (!block.name || block.name->isEmpty()) return;
        const bool isFolder = block.type == u"Directory";
        const QString path = isFolder ? asFolderPath(*block.name) : block.name->toString();
        if (seen.contains(path)) return;
        seen.insert(path);
        const QString modified = block.mtime ? toSeconds(*block.mtime) : QString();
        entries.append(
            PreviewEntryRules::listedEntry(path, block.size ? decimal(*block.size) : std::nullopt, modified));
    }
};

}  // namespace

PreviewListing parseSevenZipStructuredList(QStringView output, QByteArrayView printedBytes) {
    PreviewListing listing;
    PrintedNames printed(output, printedBytes);
    SevenZipBlock block;
    QString previousModified;
    bool started = false;
    forEachLine(output, [&](QStringView rawLine) {
        const QStringView line = trimmedLine(rawLine);
        if (line == QLatin1StringView("----------")) {
            block.finish(listing, previousModified, printed);
            started = true;
            return;
        }
        if (!started) return;
        const qsizetype separator = keySeparator(line);
        if (separator < 0) return;
        const QStringView key = line.first(separator);
        if (key == QLatin1StringView("Path") && block.filled)
            block.finish(listing, previousModified, printed);
        block.store(key, line.sliced(separator + 3));
    });
    block.finish(listing, previousModified, printed);
    return listing;
}

QList<ArchivePreviewEntry> parseSevenZipPlainList(QStringView output, QByteArrayView printedBytes) {
    QList<ArchivePreviewEntry> entries;
    PrintedNames printed(output, printedBytes);
    QList<Column> columns;
    bool finished = false;
    forEachLine(output, [&](QStringView rawLine) {
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
        keepPrintedName(row, line.sliced(std::min(columns.last().start, line.size())), printed);
        entries.append(std::move(row));
    });
    return entries;
}

QList<ArchivePreviewEntry> parseRarTechnicalList(QStringView output) {
    QList<ArchivePreviewEntry> entries;
    QSet<QString> seen;
    RarBlock block;
    forEachLine(output, [&](QStringView rawLine) {
        const QStringView line = rawLine.endsWith(QLatin1Char('\r')) ? rawLine.chopped(1) : rawLine;
        const qsizetype separator = line.indexOf(u": ");
        if (separator < 0) return;
        const QStringView key = line.first(separator).trimmed();
        if (key == u"Name") block.finish(entries, seen);
        block.store(key, line.sliced(separator + 2));
    });
    block.finish(entries, seen);
    return entries;
}

std::optional<ArchivePreviewEntry> parseZipListLine(QStringView line) {
    const QList<QStringView> columns = line.split(kBlank, Qt::SkipEmptyParts);
    if (columns.size() < 4) return std::nullopt;
    const std::optional<qint64> length = decimal(columns[0]);
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
    PrintedNames printed(output, printedBytes);
    forEachLine(output, [&](QStringView line) {
        std::optional<ArchivePreviewEntry> entry = parseZipListLine(line);
        if (!entry) return;
        // A name with runs of blanks was rejoined with single ones; its printed form is then not known.
        if (const QStringView trimmed = line.trimmed(); trimmed.endsWith(entry->path))
            keepPrintedName(*entry, trimmed.last(entry->path.size()), printed);
        entries.append(*std::move(entry));
    });
    return entries;
}

}  // namespace ArchiveListingParser
