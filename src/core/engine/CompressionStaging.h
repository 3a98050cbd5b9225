#pragma once

#include "core/base/CancellationToken.h"
#include "core/engine/CompressionWorkspace.h"
#include "platform/WorkJournal.h"

#include <QString>
#include <QStringList>

// Decides whether a compression can hand the user's items to the tool where they are, and otherwise
// stages them in a folder <private temp>/velmoraCompression/<UUID> with one entry per input: files are
// hard-linked where the file system allows and copied elsewhere. Blocking calls for a worker thread.
namespace CompressionStaging {

// In place when the inputs share one folder, folders included: the tools' exclusion switches leave out
// hidden entries inside folders. Staged when they come from several folders (a tool takes bare names
// from one working folder), and when a folder input holds destinationFolder, where the tool would
// otherwise find the archive being written, and when a folder input holds a pipe, socket or device,
// which staging leaves out, and when hidden entries are to be left out of a folder while a name holds a
// 7-Zip wildcard character. Hidden top-level inputs are left out when excluding; a staged copy holds no
// hidden entries at any depth.
// Throws ArchiveError::noInputFiles when nothing is left, ArchiveError::permissionDenied for an
// unreadable item, FileSystemError, CancellationError. A failed preparation leaves no staging folder
// behind; the staging folder goes into journal before it is made.
CompressionWorkspace prepareCompressionWorkspace(const QStringList& files, bool excludeHiddenFiles,
                                                 const CancellationToken& token,
                                                 const QString& destinationFolder = {},
                                                 WorkJournal::Record* journal = nullptr);

// The inputs less hidden ones (names beginning with "." and __MACOSX).
QStringList withoutHiddenInputs(QStringList files);

// A new, empty private folder, recorded in journal first.
QString makeCompressionStagingRoot(WorkJournal::Record* journal = nullptr);

// Where an input is copied: its own name, else "name 1", "name 2"... for folders and "stem 1.ext",
// "stem 2.ext"... for files.
QString stagedURL(const QString& input, const QString& stagingRoot);

void copyDirectoryContents(const QString& source, const QString& destination, bool excludeHiddenFiles,
                           const CancellationToken& token);

// A link to a folder is not a folder: it is copied as a link.
bool isDirectory(const QString& url);
bool containsDirectory(const QStringList& urls);
bool allFilesShareSameParent(const QStringList& urls);
// The folder a tool is started in: the first item's parent, the home folder for none.
QString commonParent(const QStringList& urls);

}  // namespace CompressionStaging
