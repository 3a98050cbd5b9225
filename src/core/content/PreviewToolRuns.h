#pragma once

#include "core/base/CancellationToken.h"
#include "core/base/ZipDirectoryReading.h"
#include "core/content/ArchivePreviewEntry.h"
#include "core/engine/ArchivePrograms.h"
#include "core/engine/ProcessResult.h"
#include "core/engine/ToolFallback.h"

#include <QList>
#include <QString>
#include <QStringList>

// What the archive browser's listing, entry extraction and editing share on the way to a tool: the file
// the tools open, the entry names they are given, and runs in the programs' order.
namespace PreviewToolRuns {

// The file the tools open: an archive, or for any volume of a split set its main volume, once the set
// is whole (ArchiveVolumes). Anything else is refused.
QString openedArchive(const QString& archiveURL);

// What the user asked for, which a refusal names.
enum class Action { preview, extraction, deletion };

// As ArchivePreviewService::safeRelativePath; a refusal names the action.
QString safeRelativePath(const QString& path, Action action = Action::preview);

// The name the tools know an entry by, exactly as stored: a legacy name as printed, any other as
// listed, a folder's without its "/". It is checked with every "\" read as "/", but goes to the tools
// as it is: on Unix they take "\", a line feed and "//" as part of the name.
QString safeToolPath(const ArchivePreviewEntry& entry, Action action);

// Where the tools write an entry listed as path, relative to their output folder: its pieces between
// "/", empty ones dropped.
QString landingPath(const QString& path);

// Names the driver's program would read as a switch (Info-ZIP's), refused before it runs.
void refuseSwitchLikeNames(const ArchiveDriver& driver, const QStringList& entryPaths, Action action);

// Whether the archive's names separate folders with "\", which rows and extracted items then show as
// folders; only a ZIP's directory is asked.
bool separatesFoldersWithBackslash(const QString& archiveURL, ZipDirectoryReading& directory);

// Shows the rows so where the archive's names separate folders with "\" (LegacyNameRows::
// separateFolders); the directory is asked only when a row holds one.
void separateFolders(const QString& archiveURL, ZipDirectoryReading& directory,
                     QList<ArchivePreviewEntry>& entries);

// Judges the deciding run; the sentence is said where the tool's words name no reason.
using FailureJudge = void (*)(const ProcessResult&, const QString&, const QStringList&);

// Runs the programs in order (ToolFallback); the deciding run is judged with that program's blankOutput.
// Nothing installed is dependencyMissing with missingMessage.
void runInOrderOrThrow(const ArchivePrograms& programs, const QList<ToolFallback::Program>& order,
                       const ToolFallback::Attempts& attempts, QString (*blankOutput)(ToolFallback::Program),
                       const QString& missingMessage, const QStringList& echoedNames,
                       const CancellationToken& token, FailureJudge judge);

}  // namespace PreviewToolRuns
