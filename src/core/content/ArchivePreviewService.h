#pragma once

#include "core/base/CancellationToken.h"
#include "core/content/ArchivePreviewEntry.h"
#include "core/content/PreviewEditService.h"
#include "core/content/PreviewExtractionService.h"
#include "core/content/PreviewListingService.h"
#include "core/engine/ArchiveError.h"
#include "core/engine/ArchivePrograms.h"
#include "core/engine/OperationOutputs.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

// What the archive browser stands on: an archive's entries (a ZIP's read without any tool), one entry
// extracted for preview or a selection extracted to a folder, and entries added to or deleted from a
// ZIP or 7Z archive in place. The tools do the archive work through their back-ends, in the order the
// extractors use (ToolFallback); every entry path passes the safe-path rule before it reaches a tool or
// a folder on disk. Failed runs are judged as extraction judges them (ToolFailure::mapExternalError).
//
// Keeps no state; every operation may run at once with any other. The blocking operations are for a
// worker thread: they throw ArchiveError, FileSystemError, ProcessRunnerError (time-out, launch) and
// CancellationError. Each of the three works in a class of its own: PreviewListingService,
// PreviewExtractionService and PreviewEditService.
class ArchivePreviewService {
public:
    // Programs are located again for every run, so a tool installed meanwhile is found.
    explicit ArchivePreviewService(ArchivePrograms programs = ArchivePrograms::installed())
        : m_listing(programs), m_extraction(programs), m_editing(std::move(programs)) {}

    // The entries as listed. An encrypted archive listed without a password, or a tool
    // that complains about the password, gives ArchiveError wrongPassword. A compressed TAR lists, and
    // extracts, the files inside its TAR. Any volume of a split set lists, and extracts from, the whole
    // set; a set missing a volume gives ArchiveError missingVolume naming it (ArchiveVolumes).
    QList<ArchivePreviewEntry> previewEntries(const QString& archiveURL,
                                              const std::optional<QString>& password,
                                              const CancellationToken& token) const;

    // A ZIP's entries from its central directory alone, for showing rows before any tool runs;
    // nothing when that is not possible (not a ZIP, encrypted, unreadable, no rows, garbled names).
    std::optional<QList<ArchivePreviewEntry>> fastPreviewEntriesIfAvailable(const QString& archiveURL) const;

    // Extracts one file entry into a new private folder and returns the extracted file. The folder is
    // never removed; the caller may keep the file.
    QString extractedPreviewFile(const ArchivePreviewEntry& entry, const QString& archiveURL,
                                 const std::optional<QString>& password,
                                 const CancellationToken& token) const;

    // Extracts the file entries of a selection into destinationURL (created when missing) and returns
    // the extracted items found, at most one per file entry, in entry order, and how many top-level
    // items went in under a free name because theirs was taken there. The tools are asked for each
    // entry by the name it is stored under; a selection of which they wrote nothing fails.
    OperationOutputs extractEntries(const QList<ArchivePreviewEntry>& entries, const QString& archiveURL,
                                    const QString& destinationURL, const std::optional<QString>& password,
                                    const CancellationToken& token) const;

    // Adds files and folders from disk, each under its own name at the top level, to a ZIP or 7Z
    // archive (created when missing). The password is the one that opened the archive: 7-Zip needs it
    // for a 7Z with encrypted names. Edits write the new archive in an EditWorkFolder, so a cancelled or
    // killed run leaves nothing beside the archive. A tool stopped (crashed, killed, cancelled) after it
    // removed the archive and before it renamed the new one leaves that, finished, as the only copy: it
    // goes in the archive's place, the edit is done, and the returned notice ("；…") says so; else it is
    // empty. Where it cannot go there, it stays and the error names it.
    QString addFiles(const QStringList& fileURLs, const QString& archiveURL,
                     const std::optional<QString>& password, const CancellationToken& token) const;

    // Deletes entries, folders with their contents, from a ZIP or 7Z archive; the password as for adding.
    QString deleteEntries(const QList<ArchivePreviewEntry>& entries, const QString& archiveURL,
                          const std::optional<QString>& password, const CancellationToken& token) const;

    // The rule every entry path passes before a tool is asked for it: read with backslashes as "/" and
    // empty pieces gone, a path that is absolute, begins with "~", has a ".." piece or is empty is
    // refused.
    static QString safeRelativePath(const QString& path);

private:
    PreviewListingService m_listing;
    PreviewExtractionService m_extraction;
    PreviewEditService m_editing;
};
