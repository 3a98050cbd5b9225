#pragma once

#include "core/content/ArchivePreviewEntry.h"
#include "core/content/PreviewListing.h"

#include <QByteArrayView>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringView>
#include <optional>

// Turns the listings the tools print into rows. Pure functions of the text; anything they do not
// recognise is skipped. A listing that was not all UTF-8 comes with the bytes as printed
// (ProcessResult::outputBytes): a row whose name holds U+FFFD then keeps its printed name as toolPath,
// with its path still to decode (LegacyNames).
namespace ArchiveListingParser {

// 7-Zip's technical listing ("l -slt") as a whole text; SevenZipListingReader reads it in pieces.
PreviewListing parseSevenZipStructuredList(QStringView output, QByteArrayView printed = {});

// 7-Zip's plain listing ("l"): only the rows between the two dashed lines, cut at the columns those
// lines mark, so that banners, headings and totals never become rows.
QList<ArchivePreviewEntry> parseSevenZipPlainList(QStringView output, QByteArrayView printed = {});

// unrar's technical listing ("lt"): one block of "key: value" lines per entry, beginning with "Name".
// An entry continued across volumes is listed once per volume; it is kept once.
QList<ArchivePreviewEntry> parseRarTechnicalList(QStringView output);

// One line of "unzip -l": length, date, time and name columns.
std::optional<ArchivePreviewEntry> parseZipListLine(QStringView line);

// The rows of a whole "unzip -l" listing.
QList<ArchivePreviewEntry> parseZipList(QStringView output, QByteArrayView printed = {});

// GNU tar's verbose listing in C quoting (ArchiveTools::Tar::listArguments): type and mode, owner, size,
// date and time, then the quoted name and a link's quoted target. A name whose bytes are not UTF-8 keeps
// them as toolPath. An entry stored again later (an appended or incremental TAR) is one row, where it
// first stood, with the data of its last copy: that copy is the one extracted.
QList<ArchivePreviewEntry> parseTarList(QStringView output);

// The same listing read in pieces as tar prints them, so that the parse of a long listing overlaps
// tar's run.
class TarListingReader {
public:
    // The next piece; pieces may end anywhere inside a line.
    void read(QStringView piece);
    // The rows, once tar has finished; called once. output is the whole standard output as the run
    // returned it: when the pieces read were not exactly that (a run's output handler is given standard
    // error as well), it is read anew.
    QList<ArchivePreviewEntry> finish(QStringView output);
    // The rows of exactly the pieces read, for a run whose handler read its standard output alone
    // (ProcessRunner::HandlerReads::standardOutput); called once.
    QList<ArchivePreviewEntry> finishRead();

private:
    void readLine(QStringView line);

    QString m_partialLine;
    qsizetype m_readLength = 0;
    QList<ArchivePreviewEntry> m_entries;
    QHash<QString, qsizetype> m_rowOfPath;
};

}  // namespace ArchiveListingParser
