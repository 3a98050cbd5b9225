#pragma once

#include "platform/WorkJournal.h"

#include <QString>
#include <QStringList>

// Where one compression writes. The final name is reserved before the tool starts, as an empty file
// created exclusively, so two runs can never choose the same archive name; the tool writes into a hidden
// ".velmoraCompression-<UUID>" folder beside it (zip's own temporary files land there too). Only commit()
// puts the finished archive under its final name; without it, the destructor removes the work folder and
// the placeholder, so a failed, cancelled or half-written archive never shows under the name the user
// sees. Both are recorded in the work journal before they exist, so a killed run's leftovers go at the
// next start.
//
// Volumes of a split set: only the name the set is known by (its first 7Z volume, the .zip main volume
// of a ZIP) is reserved, because the number of volumes is known only once the tool has run; every other
// volume name is taken atomically at commit (no replace), and a taken one fails the run.
class CompressionTarget {
public:
    enum class WhenTaken {
        nextFreeName,  // "name 1.ext", "name 2.ext"...: a plain archive
        fail,  // SplitCompressionError::existingOutput: a split run, which handled its earlier outputs
    };

    // reservedURL names the file to reserve; extension is the format's ("zip", "tar.gz"...), for numbering.
    // Throws FileSystemError when the destination folder cannot take the placeholder or the work folder.
    CompressionTarget(const QString& reservedURL, const QString& extension, WhenTaken whenTaken,
                      WorkJournal::Record* journal);
    ~CompressionTarget();
    CompressionTarget(const CompressionTarget&) = delete;
    CompressionTarget& operator=(const CompressionTarget&) = delete;

    // The reserved name.
    const QString& finalURL() const { return m_finalURL; }
    // The work folder, and the reserved name inside it: where the tool writes a plain archive.
    const QString& workFolder() const { return m_workFolder; }
    QString workURL(const QString& fileName) const;

    // Moves files the tool wrote into the work folder beside the reserved name, each under its own
    // name, the reserved one last; returns their new paths in the same order. Throws
    // SplitCompressionError::existingOutput when another name is taken (what was moved goes again),
    // FileSystemError when a rename fails.
    QStringList commit(const QStringList& workFiles);

    // "name N.ext" for "name.ext", the extension being the given one when the name ends with it.
    static QString numberedName(const QString& fileName, const QString& extension, int number);

private:
    void reserve(const QString& reservedURL, const QString& extension, WhenTaken whenTaken);

    WorkJournal::Record* m_journal;
    QString m_finalURL;
    QString m_workFolder;
    bool m_placeholderCreated = false;
    bool m_committed = false;
};
