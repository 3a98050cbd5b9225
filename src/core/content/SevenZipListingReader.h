#pragma once

#include "core/content/PreviewListing.h"
#include "core/content/PrintedNames.h"
#include "core/engine/SevenZipListing.h"

#include <QByteArrayView>
#include <QString>
#include <QStringView>
#include <optional>
#include <utility>

// The browser's rows of 7-Zip's technical listing ("l -slt"), read by SevenZipListing in pieces as
// the tool prints them. A row whose name holds U+FFFD gets its printed name as toolPath from the bytes
// as printed (PrintedNames), with its path still to decode (LegacyNames).
class SevenZipListingReader {
public:
    SevenZipListingReader() = default;
    SevenZipListingReader(const SevenZipListingReader&) = delete;
    SevenZipListingReader& operator=(const SevenZipListingReader&) = delete;

    // The next piece of the output; pieces may end anywhere, inside a line or between the two halves
    // of a surrogate pair.
    void read(QStringView piece) { m_reader.read(piece); }

    // The rows, once the tool has finished; called once. output and printed are the whole output as
    // the run returned it (ProcessResult::output, outputBytes). When the pieces read were not exactly
    // that output (a run's output handler is given standard error as well), it is read anew.
    PreviewListing finish(QStringView output, QByteArrayView printed);
    // The rows of exactly the pieces read, for a run whose handler read its standard output alone
    // (ProcessRunner::HandlerReads::standardOutput); called once.
    PreviewListing finishRead(QByteArrayView printed);

private:
    // The rows as the listing's fields go by.
    class Rows {
    public:
        void store(SevenZipListing::Key key, QStringView value, QStringView rawLine, qsizetype lineIndex);
        void finishBlock();
        PreviewListing finish(QByteArrayView printed);

    private:
        // The entry block being read. Values are taken as their lines go by, since a piece's text
        // does not outlive the piece.
        struct Block {
            QString path;  // trimmed
            std::optional<PrintedNames::Place> pathPlace;
            std::optional<LegacyNames::Source> hostSource;
            QString modified;
            qint64 size = 0;
            bool folderFlag = false;
            bool folderAttribute = false;
            bool encrypted = false;
        };

        Block m_block;
        PreviewListing m_listing;
        PrintedNames m_printedNames;
        // The systems named for the rows that may hold a legacy name (7-Zip names them for ZIP entries).
        QList<std::pair<qsizetype, LegacyNames::Source>> m_hostSources;
        QString m_previousModified;
    };

    Rows m_rows;
    SevenZipListing::Reader<Rows> m_reader{m_rows};
};
