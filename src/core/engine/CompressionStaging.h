#pragma once

#include "core/engine/CancellationToken.h"
#include "core/engine/CompressionWorkspace.h"

#include <QString>
#include <QStringList>

// Decides whether a compression can hand the user's items to the tool where they are, and otherwise
// copies them into a staging folder <private temp>/velmoraCompression/<UUID> with one entry per input.
// Blocking calls for a worker thread.
namespace CompressionStaging {

// In place when hidden files are kept, no input is a folder and all share one folder; else staged,
// leaving out hidden top-level inputs and (when excluding) hidden entries inside folders. Throws
// ArchiveError::noInputFiles when nothing is left, ArchiveError::permissionDenied for an unreadable
// item, FileSystemError, CancellationError. A failed preparation leaves no staging folder behind.
CompressionWorkspace prepareCompressionWorkspace(const QStringList& files, bool excludeHiddenFiles,
                                                 const CancellationToken& token);

// A new, empty private folder.
QString makeCompressionStagingRoot();

// Where an input is copied: its own name, else "name 1", "name 2"... for folders and "stem 1.ext",
// "stem 2.ext"... for files.
QString stagedURL(const QString& input, const QString& stagingRoot);

void copyDirectoryContents(const QString& source, const QString& destination, bool excludeHiddenFiles,
                           const CancellationToken& token);

// Best effort: attributes that cannot be read or removed stay; only cancellation stops it.
void stripExtendedAttributes(const QString& folder, const CancellationToken& token);

// A link to a folder is not a folder: it is copied as a link.
bool isDirectory(const QString& url);
bool containsDirectory(const QStringList& urls);
bool allFilesShareSameParent(const QStringList& urls);
// The folder a tool is started in: the first item's parent, the home folder for none.
QString commonParent(const QStringList& urls);

}  // namespace CompressionStaging
