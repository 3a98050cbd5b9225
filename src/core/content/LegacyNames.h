#pragma once

#include "core/content/ArchivePreviewEntry.h"
#include "core/content/PreviewListing.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>

// Names an archive stores in a legacy encoding: bytes that are not UTF-8, from ZIP tools without the
// UTF-8 flag or TAR made in a legacy locale. The encoding is chosen once for all legacy names of an
// archive, since one name alone is too short to tell: DOS, Russian and Japanese names are often
// valid GB18030 too.
class LegacyNames {
public:
    // ZIP names made where ZIP tools write code pages fall back to the old Mac and Latin character
    // sets; other names (a tool's listing of other kinds, ZIP names made on Unix) have no such
    // convention: they are the bytes a file system held.
    enum class Source { zip, tool };

    // The convention of a ZIP listing's legacy names.
    static Source zipSource(const PreviewListing& listing) {
        return listing.hasCodePageNames ? Source::zip : Source::tool;
    }

    // The decision over all legacy names of one archive: GB18030 when every name is valid GB18030
    // (no user-defined area) and more than half of their two-byte characters lie in the GB2312 area.
    LegacyNames(const QList<QByteArray>& names, Source source);

    // The name as it is shown and written to disk; nothing when it has no decoding (a tool's
    // listing that is not Chinese), so extracted items keep the tool's name.
    std::optional<QString> decoded(QByteArrayView name) const;
    // The name as a row shows it: decoded, or with U+FFFD for each byte that is not UTF-8.
    QString shown(QByteArrayView name) const;

    // Gives every row that carries a tool path (a legacy name) its shown path, the decision taken
    // over all of them.
    static void decodeRows(QList<ArchivePreviewEntry>& entries, Source source);

private:
    bool m_chinese = false;
    Source m_source;
};
