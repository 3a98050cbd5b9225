#pragma once

#include <QString>
#include <memory>

// Paths that a piece of work creates and removes again when it ends (a hidden extraction folder, an
// archive under its temporary name, a reserved output name, a staging folder), recorded while the work
// runs so that a later start removes what a killed velmora left behind. Each piece of work has its own
// record file in <state home>/velmora/work/ under an flock held for the record's life. The kernel drops
// the lock when the process dies, however it dies: a record nobody holds is a leftover, and one that is
// held belongs to work still running, in this process or another.
class WorkJournal {
public:
    enum class Kind {
        // Removed with everything in it; only a hidden ".velmora…" name or a path inside the private
        // temporary base qualifies, so a damaged record can never name a folder of the user's.
        Tree,
        // Removed only while it is still an empty file or an empty folder: a name reserved for an
        // output that may since have received the finished work.
        Placeholder,
    };

    class Record {
    public:
        ~Record();
        Record(const Record&) = delete;
        Record& operator=(const Record&) = delete;

        // Call before the path is created, so that no moment exists where it is there unrecorded.
        void add(const QString& path, Kind kind);

    private:
        friend class WorkJournal;
        Record(int fd, QString path);

        int m_fd;
        QString m_path;
        QByteArray m_lines;
    };

    // $XDG_STATE_HOME/velmora/work, else ~/.local/state/velmora/work.
    static QString directory();

    // A new, held record; nothing when the journal folder cannot be used, in which case the work runs
    // all the same and only its clean-up after a crash is lost.
    static std::unique_ptr<Record> open();

    // Removes what the records no process holds name, then those records. Returns how many paths
    // were removed.
    static int removeLeftovers();
};
