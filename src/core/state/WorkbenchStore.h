#pragma once

#include "core/state/AppNotificationItem.h"
#include "core/state/ArchiveHistoryRecord.h"
#include "core/state/ArchiveTask.h"
#include "core/state/Clock.h"
#include "platform/DefaultsStore.h"
#include "platform/DefaultsWriter.h"

#include <QElapsedTimer>
#include <QHash>
#include <QList>
#include <QObject>
#include <QSet>
#include <QTimer>
#include <optional>

// The workbench's tasks, history and notifications, each stored as one JSON array under its own key and
// rewritten whole. The task list may have thousands of records, so changes are encoded and written off
// the GUI thread, in order, a newer value of a list replacing an older one still waiting; progress
// reports are written at most once a second. The removals the user asks for are written at once, since
// the list changes only once stored, and the store's end writes what waits before it returns. A task
// leaves `running` at most once; that move adds one history record and one notification. GUI thread
// only; the signals tell the pages a list changed, or that a list could not be written.
class WorkbenchStore : public QObject {
    Q_OBJECT

public:
    static constexpr qsizetype kHistoryLimit = 200;
    static constexpr qsizetype kNotificationLimit = 40;
    static constexpr int kProgressWriteIntervalMs = 1000;

    // Why the stored task list could not be read, when it could not: the list then starts empty. A
    // file that does not decode is kept aside at once, so its tasks are never lost to the next write.
    struct UnreadTasks {
        std::optional<QString> readFailure;  // the file is there but cannot be read; never written over
        std::optional<QString> keptCopy;     // where the bytes that did not decode were kept
        std::optional<QString> keepFailure;  // why they could not be kept; nothing is saved until they are
    };

    // Loads the stored lists, cleans the notifications and closes the tasks a previous run left
    // running.
    explicit WorkbenchStore(DefaultsStore defaults, Clock clock = systemNow, QObject* parent = nullptr);
    // Writes progress not yet written.
    ~WorkbenchStore() override;

    const QList<ArchiveTask>& tasks() const { return m_tasks; }
    const QList<ArchiveHistoryRecord>& history() const { return m_history; }
    const QList<AppNotificationItem>& notifications() const { return m_notifications; }
    int unreadNotificationCount() const;
    const std::optional<UnreadTasks>& unreadTasks() const { return m_unreadTasks; }
    QString tasksFilePath() const;

    // Inserts the task first and announces its start.
    void addTask(const ArchiveTask& task);
    // For a running task only: progress held within 0.01...0.98; the message replaced when given.
    // Written within a second, not at once.
    void updateTaskProgress(const QUuid& id, double progress,
                            const std::optional<QString>& message = std::nullopt);
    // Whatever the task's status.
    void updateTaskMetadata(const QUuid& id, const ArchiveTaskMetadata& metadata);
    // The size the record shows, once it is known; whatever the task's status.
    void updateTaskSizeDescription(const QUuid& id, const QString& sizeDescription);
    // The one status transition, for a running task only; leaving `running` adds a history record and a
    // notification.
    void updateTask(const QUuid& id, ArchiveActivityStatus status, double progress, const QString& message);
    void completeTask(const QUuid& id, const QString& message);
    void failTask(const QUuid& id, const QString& message);
    // Both stop the work registered for the task first.
    void pauseTask(const QUuid& id);
    void cancelTask(const QUuid& id);
    void pauseAllRunningTasks();
    // Paused, completed and cancelled tasks only. These three change the list only once it is stored; the
    // reason when it could not be (the list is then as it was).
    std::optional<QString> deleteTask(const QUuid& id);
    std::optional<QString> clearCompletedTasks();
    std::optional<QString> clearHistory();

    void addNotification(const QString& title, const QString& message);
    void markAllNotificationsRead();

    // Blocks until every change so far is stored (or failed); for tests and benchmarks.
    void waitForWrites() { m_writer.waitForWrites(); }

Q_SIGNALS:
    void tasksChanged();
    void historyChanged();
    void notificationsChanged();
    // A change could not be written: the stored list keeps its old value and the next change tries
    // again. Once for a list until one of its writes succeeds again.
    void saveFailed(const QString& reason);

private:
    void load();
    template <typename Record>
    std::optional<QList<Record>> load(const QString& key);
    template <typename Record>
    std::optional<QString> save(const QList<Record>& records, const QString& key);
    template <typename Record>
    void writeLater(const QList<Record>& records, const QString& key);
    void writeTasksLater();
    void writeHistoryLater();
    void writeNotificationsLater();
    // From any thread: the outcome of a write, taken on the GUI thread.
    void reportWrite(const QString& key, const std::optional<QString>& failure);
    void writeReported(const QString& key, const std::optional<QString>& failure);
    std::optional<QString> keepUndecodableValue(const QString& key);
    std::optional<QString> replaceTasks(QList<ArchiveTask> tasks);
    void scheduleProgressWrite();
    void normalizeStoredNotifications();
    void clearInterruptedTasks();
    double taskProgress(const QUuid& id) const;
    qsizetype taskIndex(const QUuid& id) const;

    void setTasks(QList<ArchiveTask> tasks);
    void setHistory(QList<ArchiveHistoryRecord> history);
    void setNotifications(QList<AppNotificationItem> notifications);

    QList<ArchiveTask> m_tasks;
    QList<ArchiveHistoryRecord> m_history;
    QList<AppNotificationItem> m_notifications;
    DefaultsStore m_defaults;
    DefaultsWriter m_writer;
    QTimer m_progressWrite;      // pending while a progress report waits to be written
    QElapsedTimer m_sinceWrite;  // since the task list was last written or handed to the writer
    Clock m_clock;
    // Stored values that did not decode, by key: each is kept aside before the first write replaces it.
    QHash<QString, QByteArray> m_undecodable;
    QSet<QString> m_failingKeys;  // lists whose last write failed, reported once
    std::optional<UnreadTasks> m_unreadTasks;
};
