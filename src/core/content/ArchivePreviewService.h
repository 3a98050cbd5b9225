#pragma once

#include "core/base/ArchiveFormat.h"
#include "core/base/CancellationToken.h"
#include "core/content/ArchivePreviewEntry.h"
#include "core/content/PreviewListing.h"
#include "core/engine/ArchiveError.h"
#include "core/engine/ArchivePrograms.h"
#include "core/engine/ExtractionStaging.h"
#include "core/engine/OperationOutputs.h"
#include "core/engine/ProcessResult.h"
#include "core/engine/SevenZipTool.h"
#include "core/engine/ToolFallback.h"

#include <QByteArray>
#include <QHash>
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
// CancellationError.
class ArchivePreviewService {
public:
    // Programs are located again for every run, so a tool installed meanwhile is found.
    explicit ArchivePreviewService(ArchivePrograms programs = ArchivePrograms::installed())
        : m_programs(std::move(programs)) {}

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
    // the extracted items found, at most one per file entry, in entry order (possibly none), and how
    // many top-level items went in under a free name because theirs was taken there.
    OperationOutputs extractEntries(const QList<ArchivePreviewEntry>& entries, const QString& archiveURL,
                                    const QString& destinationURL, const std::optional<QString>& password,
                                    const CancellationToken& token) const;

    // Adds files and folders from disk, each under its own name at the top level, to a ZIP or 7Z
    // archive (created when missing). The password is the one that opened the archive: 7-Zip needs it
    // for a 7Z with encrypted names. Edits write the new archive in an EditWorkFolder, so a cancelled or
    // killed run leaves nothing beside the archive.
    void addFiles(const QStringList& fileURLs, const QString& archiveURL,
                  const std::optional<QString>& password, const CancellationToken& token) const;

    // Deletes entries, folders with their contents, from a ZIP or 7Z archive; the password as for adding.
    void deleteEntries(const QList<ArchivePreviewEntry>& entries, const QString& archiveURL,
                       const std::optional<QString>& password, const CancellationToken& token) const;

    // An entry path as it may reach a tool or be joined to a folder: backslashes become "/", empty
    // pieces go, and a path that is absolute, begins with "~", has a ".." piece or is empty is refused.
    static QString safeRelativePath(const QString& path);

private:
    // Which message to give when no program installed opens a kind other than RAR.
    enum class Purpose { preview, extraction };

    // The rows of the first program in order that lists archiveURL (ToolFallback); echoedNames as the
    // tools print them, the archive first.
    QList<ArchivePreviewEntry> programEntries(const QString& archiveURL,
                                              const QList<ToolFallback::Program>& order,
                                              const std::optional<QString>& password,
                                              const QStringList& echoedNames,
                                              const CancellationToken& token) const;
    SevenZipTool requireSevenZip(const QString& missingMessage) const;

    // Extracts through a private folder in destinationURL (ExtractionStaging): a failed run leaves
    // the destination as it was. archiveURL is the file the tools open (a set's main volume).
    // Extracted items named by a legacy name's bytes get their decoded names from legacyNames first.
    // Returns the top-level items that went in under another name because theirs was taken.
    ExtractionStaging::Renames extractWithTools(const QString& archiveURL, const QStringList& entryPaths,
                                                const QHash<QByteArray, QString>& legacyNames,
                                                const QString& destinationURL,
                                                const std::optional<QString>& password, Purpose purpose,
                                                const CancellationToken& token) const;
    void runTools(const QString& archiveURL, const QStringList& entryPaths, const QString& destinationURL,
                  const std::optional<QString>& password, Purpose purpose,
                  const CancellationToken& token) const;

    ArchivePrograms m_programs;
};
