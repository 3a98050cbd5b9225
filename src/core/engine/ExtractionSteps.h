#pragma once

#include "core/engine/ArchiveError.h"
#include "platform/WorkJournal.h"

#include <QString>

// The folder steps the extractors and compression share: the items they are given, the folders they
// write into.
namespace ExtractionSteps {

// Before any tool sees an item of the user's (an archive, an input to compress): throws
// ArchiveError::fileNotFound unless a file or folder, or a link to one, is there, and
// ArchiveError::notFileOrFolder for a pipe, socket or device, which a tool would wait on for good.
void requireItem(const QString& fileURL);

// Creates the folder and any missing parents; fails as throwWriteIntoFailed.
void createFolder(const QString& folderURL);

// The failure of creating a folder for a run's output (an extraction's, a compression's work folder), or
// of recording it in the journal: a folder that cannot be written and a full disk are archive errors that
// say so (a read-only file system naming the folder; the disk that is full may be the journal's), anything
// else a FileSystemError with the system's reason.
[[noreturn]] void throwCreateFailed(const QString& folderURL, int errorNumber);

// The failure of making something inside folderURL itself: as throwCreateFailed, a full disk naming it.
[[noreturn]] void throwWriteIntoFailed(const QString& folderURL, int errorNumber);

// Creates a new folder for one run's output in parentURL (created when missing): baseName, else
// "baseName N" with the first free N. mkdir fails on any existing name, so two runs never share the
// folder. It is recorded in the journal record (when there is one) as a placeholder once made, and
// removed again when it cannot be. Throws FileSystemError.
QString reserveFolder(const QString& baseName, const QString& parentURL, WorkJournal::Record* record);

// After a run that succeeded: throws ArchiveError::noFiles when it wrote nothing into the folder, so an
// archive that yields nothing is said to, and leaves no empty folder.
void requireExtracted(const QString& folderURL);

// The tool's full disk or read-only file system, which its words name without a place, named with the
// user's destination folder; any other failure as it is.
ArchiveError atDestination(const ArchiveError& error, const QString& destinationURL);

// Removes everything inside the folder (by bytes, never following a link), keeping the folder; what a
// failed run wrote goes before the next run writes there. Throws FileSystemError.
void emptyFolder(const QString& folderURL);

}  // namespace ExtractionSteps
