#pragma once

#include "core/base/CancellationToken.h"
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

// As ArchivePreviewService::safeRelativePath.
QString safeRelativePath(const QString& path);

// The name the tools know an entry by: a legacy name as printed, any other as listed. A printed name
// holding a "\" is checked with it read as "/", but goes to the tools as they print it: they take it
// as a character of the name.
QString safeToolPath(const ArchivePreviewEntry& entry);

// Info-ZIP programs would read such a name as a switch; refused before anything runs.
void refuseSwitchLikeNames(const QStringList& entryPaths);

// Whether the archive's names separate folders with "\", which rows and extracted items then show as
// folders.
bool separatesFoldersWithBackslash(const QString& archiveURL);

// Judges the deciding run; the sentence is said where the tool's words name no reason.
using FailureJudge = void (*)(const ProcessResult&, const QString&, const QStringList&);

// Runs the programs in order (ToolFallback); the deciding run is judged with that program's blankOutput.
// Nothing installed is dependencyMissing with missingMessage.
void runInOrderOrThrow(const ArchivePrograms& programs, const QList<ToolFallback::Program>& order,
                       const ToolFallback::Attempts& attempts, QString (*blankOutput)(ToolFallback::Program),
                       const QString& missingMessage, const QStringList& echoedNames,
                       const CancellationToken& token, FailureJudge judge);

}  // namespace PreviewToolRuns
