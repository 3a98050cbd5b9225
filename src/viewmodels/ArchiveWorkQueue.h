#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <atomic>
#include <functional>
#include <memory>

// One queue for the browser windows' work on archives, across every window of the process. An edit
// waits for all work asked for before it on its archive, and all work asked for after it waits for
// the edit; listings, previews and extractions, which only read, run side by side. So no edit starts
// from an archive another tool is still rewriting, and nothing reads a file while it is replaced.
// Archives are known by their real path (links resolved), which stays while edits replace the file.
// GUI thread only, except ending a Turn.
class ArchiveWorkQueue : public QObject {
    Q_OBJECT

public:
    enum class Access { reads, edits };

    // A started piece of work's place in the queue. It ends once: at end(), or when the last handle
    // goes (on any thread), so work whose outcome never arrives cannot hold back what waits for it.
    class Turn {
    public:
        Turn(ArchiveWorkQueue& queue, quint64 id) : m_queue(queue), m_id(id) {}
        ~Turn() { end(); }
        Turn(const Turn&) = delete;
        Turn& operator=(const Turn&) = delete;
        void end();

    private:
        ArchiveWorkQueue& m_queue;
        const quint64 m_id;
        std::atomic<bool> m_ended = false;
    };
    using TurnHandle = std::shared_ptr<Turn>;

    static ArchiveWorkQueue& shared();
    // The real path of an archive, or, while it is missing, its real folder and its name.
    static QString identity(const QString& archiveURL);

    // Queues work of `owner` on the archives. `start` gets the work's turn: at once when nothing asked
    // for earlier stands in its way (then the call returns true), else later, from the event loop.
    // `withdrawn` is called instead when withdraw() drops the work before it started.
    bool enqueue(const QObject* owner, const QStringList& identities, Access access,
                 std::function<void(const TurnHandle&)> start, std::function<void()> withdrawn);
    // Drops the owner's work that has not started, telling each through its `withdrawn`.
    void withdraw(const QObject* owner);
    // For an owner going away: its work, started or not, no longer counts, and nobody is told.
    void forget(const QObject* owner);

    // Tells the windows that an edit of the archive has ended, whatever its outcome.
    void announceEdit(const QString& identity, const QObject* editor) { Q_EMIT archiveEdited(identity, editor); }

Q_SIGNALS:
    void archiveEdited(const QString& identity, const QObject* editor);

private:
    struct Work {
        quint64 id;
        const QObject* owner;
        QStringList identities;
        Access access;
        std::function<void(const TurnHandle&)> start;
        std::function<void()> withdrawn;
        bool started = false;
    };

    void end(quint64 id);
    bool mayStart(qsizetype index) const;
    // Started from the event loop, never inside the call that ended or withdrew work: a start must not
    // run inside another window's delivery.
    void scheduleStarts();
    void startWhatMay();
    TurnHandle turnFor(Work& work);

    QList<Work> m_work;  // in the order asked for
    quint64 m_lastID = 0;
    bool m_startsScheduled = false;
};
