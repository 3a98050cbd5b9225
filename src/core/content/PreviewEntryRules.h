#pragma once

#include "core/content/ArchivePreviewEntry.h"

#include <QList>
#include <QString>
#include <optional>

// The pure rules behind every listing: the kind text of a row, the test for garbled names, and the
// folding of packages (a folder the file manager shows as one item, such as Demo.app) into one row.
namespace PreviewEntryRules {

// A listed row with its texts filled in: the size text only when the source gives a size.
ArchivePreviewEntry listedEntry(const QString& path, std::optional<qint64> byteSize,
                                const QString& modifiedDescription);

QString kindDescription(const QString& path);
bool isFinderPackageName(QStringView component);
std::optional<QString> packageRootPath(const QString& path);
ArchivePreviewEntry::PackagePresentationStyle packagePresentationStyle(const QString& path);

// True when any path holds U+FFFD or "??": a tool decoded the names in the wrong character set.
// Rows with a legacy name (a toolPath) are not counted: the legacy-name rule has decided them, and
// every reader decides them alike.
bool containsMojibakePath(const QList<ArchivePreviewEntry>& entries);

// Each package shown once: at the place of its own row when the listing has one, else as a made row
// after the others. Without packages the input comes back unchanged.
QList<ArchivePreviewEntry> finderVisibleEntries(const QList<ArchivePreviewEntry>& entries);

}  // namespace PreviewEntryRules
