#pragma once

#include "core/base/CancellationToken.h"
#include "platform/WorkJournal.h"

#include <QString>
#include <QStringList>

// Where one compression writes. The tool writes into a hidden ".velmoraCompression-<UUID>" folder in
// the destination folder (zip's own temporary files land there too), and only commit() moves the
// finished archive out, by a rename that never replaces: nothing shows under the name the user sees
// until the archive is whole, and a failed, cancelled or killed run leaves nothing under it. The work
// folder is recorded in the work journal before it exists, so a killed run's leftovers go at the next
// start; the destructor removes it.
//
// Volumes of a split set: each takes its own name at commit, the name the set is known by (its first
// 7Z volume, the .zip main volume of a ZIP) last, and a taken one fails the run. Their moves are in the
// work journal until the last is done, so a start after a run killed between two takes back those
// already moved.
class CompressionTarget {
public:
    enum class WhenTaken {
        nextFreeName,  // "name 1.ext", "name 2.ext"...: a plain archive
        fail,  // SplitCompressionError::existingOutput: a split run, which handled its earlier outputs
    };

    // plannedURL is the name the archive is meant to take; extension is the format's ("zip",
    // "tar.gz"...), for numbering. With WhenTaken::fail, a planned name already taken throws
    // SplitCompressionError::existingOutput before anything is made. Throws ArchiveError or
    // FileSystemError when the destination folder cannot take the work folder.
    CompressionTarget(const QString& plannedURL, const QString& extension, WhenTaken whenTaken,
                      WorkJournal::Record* journal);
    ~CompressionTarget();
    CompressionTarget(const CompressionTarget&) = delete;
    CompressionTarget& operator=(const CompressionTarget&) = delete;

    // The name the archive is meant to take.
    const QString& plannedURL() const { return m_plannedURL; }
    // The work folder, and a name inside it: where the tool writes.
    const QString& workFolder() const { return m_workFolder; }
    QString workURL(const QString& fileName) const;

    // Moves files the tool wrote into the work folder beside the planned name, each under its own name
    // and the planned one last; returns their new paths in the same order. The planned name, when taken
    // meanwhile, becomes the next free "name N.ext" (WhenTaken::nextFreeName) or fails the run with
    // SplitCompressionError::existingOutput, as another taken name does; what was moved goes again.
    // Throws FileSystemError when a rename fails, CancellationError when token is cancelled while a
    // free name is looked for.
    QStringList commit(const QStringList& workFiles, const CancellationToken& token);

    // "name N.ext" for "name.ext", the extension being the given one when the name ends with it.
    static QString numberedName(const QString& fileName, const QString& extension, int number);

private:
    QString moveInPlannedName(const QString& workFile, const CancellationToken& token) const;

    QString m_plannedURL;
    QString m_extension;
    WhenTaken m_whenTaken;
    WorkJournal::Record* m_journal;
    QString m_workFolder;
};
