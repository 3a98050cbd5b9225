#include "viewmodels/ArchiveWorkQueue.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QThread>
#include <algorithm>
#include <utility>

void ArchiveWorkQueue::Turn::end() {
    // Once the application is going away nothing more will start, and posting an event while it
    // destroys the ones still queued (which may hold the last handle) would wait on its own lock.
    if (m_ended.exchange(true) || QCoreApplication::closingDown()) return;
    if (QThread::currentThread() == m_queue.thread()) return m_queue.end(m_id);
    // The last handle went with a worker's copy of a delivery that never ran.
    QMetaObject::invokeMethod(
        &m_queue, [queue = &m_queue, id = m_id] { queue->end(id); }, Qt::QueuedConnection);
}

ArchiveWorkQueue& ArchiveWorkQueue::shared() {
    // Never destroyed: a turn may end on a worker while the process exits.
    static ArchiveWorkQueue* const queue = new ArchiveWorkQueue;
    return *queue;
}

QString ArchiveWorkQueue::identity(const QString& archiveURL) {
    const QFileInfo info(archiveURL);
    const QString real = info.canonicalFilePath();
    if (!real.isEmpty()) return real;
    const QString folder = QFileInfo(info.absolutePath()).canonicalFilePath();
    return folder.isEmpty() ? info.absoluteFilePath() : QDir(folder).filePath(info.fileName());
}

bool ArchiveWorkQueue::enqueue(const QObject* owner, const QStringList& identities, Access access,
                               std::function<void(const TurnHandle&)> start, std::function<void()> withdrawn) {
    m_work.append({++m_lastID, owner, identities, access, std::move(start), std::move(withdrawn)});
    if (!mayStart(m_work.size() - 1)) return false;
    const TurnHandle turn = turnFor(m_work.last());
    std::exchange(m_work.last().start, {})(turn);
    return true;
}

void ArchiveWorkQueue::withdraw(const QObject* owner) {
    const auto waits = [owner](const Work& work) { return work.owner == owner && !work.started; };
    QList<std::function<void()>> told;
    for (const Work& work : std::as_const(m_work)) {
        if (waits(work)) told << work.withdrawn;
    }
    if (told.isEmpty()) return;
    m_work.removeIf(waits);
    scheduleStarts();
    for (const std::function<void()>& tell : told) tell();
}

void ArchiveWorkQueue::forget(const QObject* owner) {
    if (m_work.removeIf([owner](const Work& work) { return work.owner == owner; }) > 0) scheduleStarts();
}

void ArchiveWorkQueue::end(quint64 id) {
    if (m_work.removeIf([id](const Work& work) { return work.id == id; }) > 0) scheduleStarts();
}

bool ArchiveWorkQueue::mayStart(qsizetype index) const {
    const Work& work = m_work[index];
    return std::none_of(m_work.begin(), m_work.begin() + index, [&work](const Work& earlier) {
        if (work.access == Access::reads && earlier.access == Access::reads) return false;
        return std::any_of(work.identities.begin(), work.identities.end(),
                           [&earlier](const QString& identity) { return earlier.identities.contains(identity); });
    });
}

void ArchiveWorkQueue::scheduleStarts() {
    if (std::exchange(m_startsScheduled, true)) return;
    QMetaObject::invokeMethod(this, &ArchiveWorkQueue::startWhatMay, Qt::QueuedConnection);
}

// One at a time, each chosen afresh: a start may queue more work.
void ArchiveWorkQueue::startWhatMay() {
    m_startsScheduled = false;
    for (;;) {
        qsizetype next = 0;
        while (next < m_work.size() && (m_work[next].started || !mayStart(next))) ++next;
        if (next == m_work.size()) return;
        const TurnHandle turn = turnFor(m_work[next]);
        std::exchange(m_work[next].start, {})(turn);
    }
}

ArchiveWorkQueue::TurnHandle ArchiveWorkQueue::turnFor(Work& work) {
    work.started = true;
    return std::make_shared<Turn>(*this, work.id);
}
