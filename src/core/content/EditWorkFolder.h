#pragma once

#include "platform/WorkJournal.h"

#include <QString>
#include <memory>

// Where an in-place edit's tool writes the new archive before it replaces the old one: a hidden
// ".velmoraEdit-<UUID>" folder beside the archive, so the final rename stays on one file system and
// nothing under a name of the tool's choosing appears among the user's files. The folder is recorded
// in the work journal, with the archive it is for, before it exists, so the next start removes what a
// killed run left, except a new archive whose old one the tool had already removed: that goes back
// under the archive's name once holdsWholeArchive finds it finished (the archive may be missing because
// the user moved it after a run killed while the tool still wrote). The destructor removes the folder
// with what is left in it.
class EditWorkFolder {
public:
    // Throws FileSystemError when the archive's folder cannot take it.
    explicit EditWorkFolder(const QString& archiveURL);
    ~EditWorkFolder();
    EditWorkFolder(const EditWorkFolder&) = delete;
    EditWorkFolder& operator=(const EditWorkFolder&) = delete;

    const QString& path() const { return m_path; }

    // Once the tool has ended, however: a tool stopped between removing the archive and renaming the
    // new one left the only copy here, which goes in the archive's place as the start's sweep would
    // put it (WorkJournal::restoreEditedArchive). A copy that could not go there keeps the folder for
    // good, out of the journal, so nothing removes it.
    WorkJournal::EditedArchive restoreArchive();

    // Whether the native path names a ZIP or 7Z its tool finished writing: a ZIP's end records (ZIP64's
    // too) fit its directory, a 7Z's start header, which 7-Zip writes over the file's start last, holds
    // its checksum and reaches the file's end. The journal's sweep asks it (WorkJournal).
    static bool holdsWholeArchive(const QByteArray& path);

private:
    std::unique_ptr<WorkJournal::Record> m_journal;
    QString m_archive;
    QString m_path;
    bool m_keep = false;
};
