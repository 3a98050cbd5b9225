#pragma once

#include "core/content/ArchivePreviewEntry.h"

#include <QHash>
#include <QList>
#include <QSet>
#include <QString>

// The folders of one listing, indexed once: for every folder the rows directly inside it, with a
// synthetic row for each folder the listing only implies. A folder's rows are sorted the first time
// they are asked for, so a big archive pays only for the folders it shows.
class ArchiveEntryOutline {
public:
    ArchiveEntryOutline() = default;
    explicit ArchiveEntryOutline(const QList<ArchivePreviewEntry>& entries);

    // A row is a folder when its path ends with "/".
    static bool isFolder(const ArchivePreviewEntry& entry);
    // Slashes trimmed from both ends, then one "/" appended; the root is the empty string.
    static QString normalizedFolderPath(const QString& path);
    // The rows directly inside the folder (any spelling of its path): folders first, then file-manager
    // order of the whole path, ties by plain comparison.
    const QList<ArchivePreviewEntry>& directEntries(const QString& folder) const;
    bool hasChildren(const QString& folder) const;
    // Every folder below `folder` that has rows of its own, as normalized paths.
    QSet<QString> allExpandableFolderPaths(const QString& folder) const;
    // The files and the folders of the whole archive, each once; implied folders count.
    qsizetype fileCount() const { return m_fileCount; }
    qsizetype folderCount() const { return m_folderCount; }

private:
    struct Folder {
        QHash<QString, ArchivePreviewEntry> rowsByKey;
        QList<ArchivePreviewEntry> sorted;
        bool isSorted = false;
    };

    void addEntry(const ArchivePreviewEntry& entry);
    static QString trimmedSlashes(const QString& path);

    // Keyed by the folder path with its slashes trimmed; the root is "".
    mutable QHash<QString, Folder> m_folders;
    qsizetype m_fileCount = 0;
    qsizetype m_folderCount = 0;
};
