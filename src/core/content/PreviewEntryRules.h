#pragma once

#include "core/content/ArchivePreviewEntry.h"

#include <QList>
#include <QString>
#include <optional>

// The pure rules behind every listing: the kind text of a row and the test for garbled names.
namespace PreviewEntryRules {

// A listed row with its texts filled in: the size text only when the source gives a size.
ArchivePreviewEntry listedEntry(const QString& path, std::optional<qint64> byteSize,
                                const QString& modifiedDescription);

QString kindDescription(const QString& path);

// True when any path holds U+FFFD or "??": a tool decoded the names in the wrong character set.
// Rows with a legacy name (a toolPath) are not counted: the legacy-name rule has decided them, and
// every reader decides them alike.
bool containsMojibakePath(const QList<ArchivePreviewEntry>& entries);

// The rows as the browser shows them, whichever reader listed them: a leading "./" (a TAR made of
// ".") is no folder, so it goes from the path and stays in toolPath, the name the tools know the entry
// by; the row of "." itself goes.
QList<ArchivePreviewEntry> shownRows(QList<ArchivePreviewEntry> entries);

}  // namespace PreviewEntryRules
