#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <functional>
#include <memory>

// Paths that a piece of work creates and removes again when it ends (a hidden extraction folder, an
// archive under its temporary name, a reserved output name, a staging folder), recorded while the work
// runs so that a later start removes what a killed velmora left behind, after it has mended a change
// cut short between two steps (an edit's, an extraction's moves). Each piece of work has its own
// record file in <state home>/velmora/work/ under an flock held for the record's life. The kernel drops
// the lock when the process dies, however it dies: a record nobody holds is a leftover, and one that is
// held belongs to work still running, in this process or another.
class WorkJournal {
public:
    enum class Kind {
        // Removed with everything in it. Only a work folder velmora named qualifies, with "." and ".."
        // taken by name: a path whose last part is ".velmoraExtraction-<UUID>", ".velmoraCompression-<UUID>"
        // or ".velmoraEdit-<UUID>", or a "velmora…" folder of the private temporary base, so a damaged
        // record can never name a folder of the user's, nor the folder a work folder is in.
        Tree,
        // An empty file or folder velmora made to reserve a name for an output that may since have
        // received the finished work. Removed only while it is still the same one (its device and
        // inode) and empty, so a damaged record never removes an empty folder of the user's.
        Placeholder,
        // An empty file or folder made to hold a name until a plain rename replaces it, where the file
        // system cannot rename without replacing. Removed only while it is still the same one (its
        // device and inode) and empty: whatever replaced it, or took its name since, stays.
        NameHolder,
        // A trash's record of an item about to move into the trash (addTrashInfo).
        TrashInfo,
    };

    class Record {
    public:
        ~Record();
        Record(const Record&) = delete;
        Record& operator=(const Record&) = delete;

        // A Tree: call before the path is created, so that no moment exists where it is there
        // unrecorded. A Placeholder: call just after making it, so that its device and inode are
        // recorded. Returns 0, or the error number when the record could not be written.
        int add(const QString& path, Kind kind);
        // Records a NameHolder just made, as lstat saw it, in place of the one recorded before: work
        // holds one name at a time, and the one before was replaced or removed by then. Returns as add.
        int addNameHolder(const QString& path, quint64 device, quint64 inode);

        // The archive an edit's tool replaces with the one file it writes in workFolder, a ".velmoraEdit-"
        // tree of this record. 7-Zip and zip remove the archive before they rename the new one into its
        // place: a later start puts the file back under the archive's name when the archive is missing
        // and the file is a finished archive. Returns as add; the tool must not run unrecorded, since
        // the next start would remove the only copy.
        int addEditedArchive(const QString& workFolder, const QString& archive);

        // Top-level items (native paths) of a tree of this record about to move out into the folder
        // that holds it, each kept with its device, inode, size and modification time. Until
        // endMovesOut, a later start moves what went out back in, so the tree takes it away with the
        // rest and no run leaves part of its items under their final names; only while every item that
        // went out is still as it went, under its name, since the user may have renamed, replaced or
        // deleted one meanwhile (and a new file of theirs may have its inode). Returns as add.
        int addMovesOut(const QList<QByteArray>& items);
        // The name an item of addMovesOut is about to go in under when it is not its own (a numbered
        // one), in place of one recorded for it before. Returns as add; unrecorded, the item and the
        // rest of its tree's moves stay where they went.
        int addMovedTo(const QByteArray& item, const QByteArray& movedTo);
        // Writes the record without the moves out of folder, so it never needs more room than it holds
        // and a disk the work filled still takes it. Should the write fail all the same, the record is
        // given up, since moves still on it would have the next start take finished items back: a kill
        // then leaves at most the work's empty folders.
        void endMovesOut(const QByteArray& folder);
        // The record ("<trash>/info/<name>.trashinfo", a native path) about to be made for an item that
        // then moves into the trash's files/, and what it will hold, in place of the one recorded before.
        // A later start removes it while the item is not in files/ and it holds no more than velmora
        // writes (a kill may cut that short), so no trash shows an item that never arrived.
        int addTrashInfo(const QByteArray& infoPath, const QByteArray& contents);
        // Leaves the record on disk when it goes: its work could not remove a tree it names, which the
        // next start then removes.
        void keep();

    private:
        friend class WorkJournal;
        Record(int fd, QString path);

        int write();

        int m_fd;
        QString m_path;
        QByteArray m_lines;
        QByteArray m_nameHolder;
        QByteArray m_trashInfo;
        QByteArray m_written;  // what the file holds
        bool m_kept = false;
    };

    // $XDG_STATE_HOME/velmora/work, else ~/.local/state/velmora/work.
    static QString directory();

    // A new, held record; nothing when the journal folder cannot be used, in which case the work runs
    // all the same and only its clean-up after a crash is lost.
    static std::unique_ptr<Record> open();

    // Whether the file at the native path is an archive its tool finished writing.
    using ArchiveCheck = std::function<bool(const QByteArray& path)>;

    // What restoreEditedArchive found: the archive where it was (or a work folder not an edit's), no
    // finished archive to put in its place, the new one put there, or the new one still in its work
    // folder because it could not go there (then that file is the only copy).
    enum class EditedArchive { inPlace, none, putBack, stranded };
    // One edit's repair (native paths, as recorded by addEditedArchive): when the archive is missing
    // and workFolder holds one file that isWholeArchive accepts, that file goes under the archive's
    // name, never over anything. The start's sweep and an edit whose tool failed both ask it.
    static EditedArchive restoreEditedArchive(const QByteArray& workFolder, const QByteArray& archive,
                                              const ArchiveCheck& isWholeArchive);

    // Mends and removes what the records no process holds name, then those records (a record naming a
    // tree that could not be removed stays): moves cut short are taken back and edited archives that
    // isWholeArchive accepts put back first. Returns how many paths were removed.
    static int removeLeftovers(const ArchiveCheck& isWholeArchive);
};
