#pragma once

#include "core/content/PreviewListing.h"
#include "core/content/PrintedNames.h"

#include <QByteArrayView>
#include <QString>
#include <QStringView>
#include <optional>
#include <utility>

// 7-Zip's technical listing ("l -slt") read in pieces as the tool prints them, so that the parse of a
// long listing overlaps the tool's run: after a line of ten hyphens, one block of "key = value" lines
// per entry, each beginning with "Path". Anything it does not recognise is skipped. A row whose name
// holds U+FFFD gets its printed name as toolPath from the bytes as printed (PrintedNames), with its
// path still to decode (LegacyNames).
class SevenZipListingReader {
public:
    // The next piece of the output; pieces may end anywhere, inside a line or between the two halves
    // of a surrogate pair.
    void read(QStringView piece);

    // The rows, once the tool has finished; called once. output and printed are the whole output as
    // the run returned it (ProcessResult::output, outputBytes). When the pieces read were not exactly
    // that output (a run's output handler is given standard error as well), it is read anew.
    PreviewListing finish(QStringView output, QByteArrayView printed);

private:
    // The entry block being read. Values are taken as their lines go by, since a piece's text does
    // not outlive the piece.
    struct Block {
        QString path;  // trimmed
        std::optional<PrintedNames::Place> pathPlace;
        std::optional<LegacyNames::Source> hostSource;
        QString modified;
        qint64 size = 0;
        bool folderFlag = false;
        bool folderAttribute = false;
        bool encrypted = false;
        bool filled = false;  // a key was stored since the block began
    };

    // The keys the rows need; lines with other keys are skipped.
    enum class Key { path, size, folder, hostOS, modified, encrypted, attributes };

    // The key a line begins with, and where its value starts.
    static std::optional<std::pair<Key, qsizetype>> knownKey(QStringView line);
    void readLine(QStringView rawLine);
    void store(Key key, QStringView value, QStringView rawLine, qsizetype lineIndex);
    void finishBlock();

    Block m_block;
    PreviewListing m_listing;
    PrintedNames m_printedNames;
    // The systems named for the rows that may hold a legacy name (7-Zip names them for ZIP entries).
    QList<std::pair<qsizetype, LegacyNames::Source>> m_hostSources;
    QString m_partialLine;  // the start of a line that the last piece cut
    QString m_previousModified;
    qsizetype m_lineCount = 0;
    qsizetype m_readLength = 0;
    bool m_started = false;
};
