#pragma once

#include "core/content/ArchivePreviewEntry.h"

#include <QByteArrayView>
#include <QList>
#include <QStringView>
#include <optional>

// The printed bytes of the legacy names in a listing, cut from the output as the tool printed it
// (ProcessResult::outputBytes). Decoding keeps every line feed, so the decoded text and the printed
// bytes have the same lines; what stands before and after a name on its line is ASCII, so the name's
// bytes lie between the same offsets from the line's ends. A parser notes where each such name stands
// while it reads, and the bytes are cut once the whole output is there.
class PrintedNames {
public:
    // Where a name stands: the index of its line, and how many characters stand before and after it.
    struct Place {
        qsizetype line = 0;
        qsizetype start = 0;
        qsizetype tail = 0;
    };

    // The place of name, a part of line number lineIndex; nothing for a name without U+FFFD, which
    // was UTF-8 as printed.
    static std::optional<Place> placeOf(qsizetype lineIndex, QStringView line, QStringView name);

    // The row of index row has its name at place. Rows are noted in the order of their lines.
    void note(qsizetype row, Place place) { m_names.append({row, place}); }

    // Gives every noted row its printed name as toolPath (ToolText::escapedName), a folder's keeping
    // its "/". Nothing changes when there are no printed bytes: the output was all UTF-8.
    void apply(QList<ArchivePreviewEntry>& rows, QByteArrayView printed) const;

private:
    struct Name {
        qsizetype row;
        Place place;
    };
    QList<Name> m_names;
};
