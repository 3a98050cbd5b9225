#include "core/state/WorkbenchStore.h"

#include "core/base/JsonFields.h"
#include "core/base/UnicodeText.h"
#include "core/state/TaskCancellationCenter.h"

#include <algorithm>
#include <cmath>

namespace {

const QString kTasksKey = QStringLiteral("workbenchTasks");
const QString kHistoryKey = QStringLiteral("workbenchHistory");
const QString kNotificationsKey = QStringLiteral("workbenchNotifications");

constexpr int kNotificationTextLimit = 240;
constexpr double kLowestReportedProgress = 0.01;
constexpr double kHighestReportedProgress = 0.98;

// Line feeds and tabs become blanks, the ends are trimmed, and a text longer than the limit (in
// user-perceived characters) is cut and marked with "...".
QString cleanedNotificationText(QString text) {
    text.replace(QLatin1Char('\n'), QLatin1Char(' '));
    text.replace(QLatin1Char('\t'), QLatin1Char(' '));
    text = text.trimmed();
    bool truncated = false;
    const QString kept = UnicodeText::leadingGraphemes(text, kNotificationTextLimit, &truncated);
    return truncated ? kept + QStringLiteral("...") : kept;
}

// What a task's notification says: its name, then its message, the name once where the message
// already begins with it, as the failure of one archive of several does ("a.zip：<reason>").
QString namedMessage(const QString& name, const QString& message) {
    const QString named = name + QStringLiteral(u"：");
    return message.startsWith(named) ? message : named + message;
}

// A progress that is not a number would be written as JSON null, and the whole task list would then
// fail to decode at the next start.
double storableProgress(double progress) { return std::isfinite(progress) ? progress : 0; }

// The minimum and maximum ignore a not-a-number operand, so such a report lands on the upper bound.
double reportedProgress(double progress) {
    const double capped =
        std::isnan(progress) ? kHighestReportedProgress : std::min(progress, kHighestReportedProgress);
    return std::max(capped, kLowestReportedProgress);
}

template <typename Record>
QByteArray encoded(const QList<Record>& records) {
    return JsonFields::encodeArray(
        records, [](const Record& record) { return record.toJson(); }, QJsonDocument::Compact);
}

template <typename Record>
QList<Record> firstRecords(const QList<Record>& records, qsizetype limit) {
    return records.size() > limit ? records.first(limit) : records;
}

}  // namespace

WorkbenchStore::WorkbenchStore(DefaultsStore defaults, Clock clock, QObject* parent)
    : QObject(parent),
      m_defaults(std::move(defaults)),
      m_writer(m_defaults, [this](const QString& key,
                                  const std::optional<QString>& failure) { reportWrite(key, failure); }),
      m_clock(std::move(clock)) {
    m_progressWrite.setSingleShot(true);
    connect(&m_progressWrite, &QTimer::timeout, this, &WorkbenchStore::writeTasksLater);
    m_sinceWrite.start();
    load();
    clearInterruptedTasks();
}

// The writer's end then writes what waits before it returns.
WorkbenchStore::~WorkbenchStore() {
    if (m_progressWrite.isActive()) writeTasksLater();
}

QString WorkbenchStore::tasksFilePath() const { return m_defaults.filePath(kTasksKey); }

int WorkbenchStore::unreadNotificationCount() const {
    return static_cast<int>(std::count_if(m_notifications.cbegin(), m_notifications.cend(),
                                          [](const AppNotificationItem& item) { return !item.isRead; }));
}

void WorkbenchStore::addTask(const ArchiveTask& task) {
    ArchiveTask added = task;
    added.progress = storableProgress(task.progress);
    QList<ArchiveTask> tasks = m_tasks;
    tasks.prepend(added);
    setTasks(std::move(tasks));
    writeTasksLater();
    addNotification(ArchiveActivityKinds::title(task.kind) + QStringLiteral(u"任务已开始"), task.name);
}

void WorkbenchStore::updateTaskProgress(const QUuid& id, double progress,
                                        const std::optional<QString>& message) {
    const qsizetype index = taskIndex(id);
    if (index < 0 || m_tasks[index].status != ArchiveActivityStatus::running) return;
    // In place: copying thousands of records for every report is what made reports slow.
    ArchiveTask& task = m_tasks[index];
    task.progress = reportedProgress(progress);
    task.updatedAt = m_clock();
    if (message) task.message = *message;
    Q_EMIT tasksChanged();
    scheduleProgressWrite();
}

void WorkbenchStore::updateTaskMetadata(const QUuid& id, const ArchiveTaskMetadata& metadata) {
    const qsizetype index = taskIndex(id);
    if (index < 0) return;
    QList<ArchiveTask> tasks = m_tasks;
    tasks[index].metadata = metadata;
    tasks[index].updatedAt = m_clock();
    setTasks(std::move(tasks));
    writeTasksLater();
}

void WorkbenchStore::updateTaskSizeDescription(const QUuid& id, const QString& sizeDescription) {
    const qsizetype index = taskIndex(id);
    if (index < 0) return;
    QList<ArchiveTask> tasks = m_tasks;
    tasks[index].sizeDescription = sizeDescription;
    setTasks(std::move(tasks));
    writeTasksLater();
}

void WorkbenchStore::updateTask(const QUuid& id, ArchiveActivityStatus status, double progress,
                                const QString& message) {
    const qsizetype index = taskIndex(id);
    if (index < 0 || m_tasks[index].status != ArchiveActivityStatus::running) return;
    const QDateTime now = m_clock();
    QList<ArchiveTask> tasks = m_tasks;
    ArchiveTask& task = tasks[index];
    task.status = status;
    task.progress = storableProgress(progress);
    task.updatedAt = now;
    task.message = message;
    const ArchiveTask changed = task;
    setTasks(std::move(tasks));
    writeTasksLater();
    if (status == ArchiveActivityStatus::running) return;

    QList<ArchiveHistoryRecord> history = m_history;
    history.prepend({
        .id = QUuid::createUuid(),
        .fileName = changed.name,
        .path = changed.path,
        .kind = changed.kind,
        .status = status,
        .createdAt = now,
        .sizeDescription = changed.sizeDescription,
        .message = message,
        .metadata = changed.metadata,
    });
    setHistory(firstRecords(history, kHistoryLimit));
    writeHistoryLater();
    addNotification(ArchiveActivityKinds::title(changed.kind) + QStringLiteral(u"任务") +
                        ArchiveActivityStatuses::title(status),
                    namedMessage(changed.name, message));
}

void WorkbenchStore::completeTask(const QUuid& id, const QString& message) {
    updateTask(id, ArchiveActivityStatus::completed, 1, message);
}

void WorkbenchStore::failTask(const QUuid& id, const QString& message) {
    updateTask(id, ArchiveActivityStatus::failed, 0, message);
}

void WorkbenchStore::pauseTask(const QUuid& id) {
    TaskCancellationCenter::shared().cancel(id);
    updateTask(id, ArchiveActivityStatus::paused, taskProgress(id), QStringLiteral(u"已暂停"));
}

void WorkbenchStore::cancelTask(const QUuid& id) {
    TaskCancellationCenter::shared().cancel(id);
    updateTask(id, ArchiveActivityStatus::cancelled, 0, QStringLiteral(u"已取消"));
}

void WorkbenchStore::pauseAllRunningTasks() {
    QList<QUuid> running;
    for (const ArchiveTask& task : m_tasks) {
        if (task.status == ArchiveActivityStatus::running) running << task.id;
    }
    TaskCancellationCenter::shared().cancelAll(running);
    for (const QUuid& id : running) {
        updateTask(id, ArchiveActivityStatus::paused, taskProgress(id), QStringLiteral(u"已暂停"));
    }
}

std::optional<QString> WorkbenchStore::deleteTask(const QUuid& id) {
    const qsizetype index = taskIndex(id);
    if (index < 0) return std::nullopt;
    const ArchiveActivityStatus status = m_tasks[index].status;
    if (status == ArchiveActivityStatus::running || status == ArchiveActivityStatus::failed)
        return std::nullopt;
    QList<ArchiveTask> tasks = m_tasks;
    tasks.removeIf([&](const ArchiveTask& task) { return task.id == id; });
    return replaceTasks(std::move(tasks));
}

std::optional<QString> WorkbenchStore::clearCompletedTasks() {
    QList<ArchiveTask> tasks = m_tasks;
    tasks.removeIf([](const ArchiveTask& task) { return task.status == ArchiveActivityStatus::completed; });
    return replaceTasks(std::move(tasks));
}

std::optional<QString> WorkbenchStore::clearHistory() {
    const QList<ArchiveHistoryRecord> none;
    if (std::optional<QString> failure = save(none, kHistoryKey)) return failure;
    setHistory(none);
    return std::nullopt;
}

// Written first and shown only once stored, so a removal the disk refused does not come back at the
// next start after the page showed it gone.
std::optional<QString> WorkbenchStore::replaceTasks(QList<ArchiveTask> tasks) {
    if (std::optional<QString> failure = save(tasks, kTasksKey)) return failure;
    m_progressWrite.stop();
    m_sinceWrite.restart();
    setTasks(std::move(tasks));
    return std::nullopt;
}

void WorkbenchStore::addNotification(const QString& title, const QString& message) {
    QList<AppNotificationItem> notifications = m_notifications;
    notifications.prepend({
        .id = QUuid::createUuid(),
        .title = cleanedNotificationText(title),
        .message = cleanedNotificationText(message),
        .createdAt = m_clock(),
        .isRead = false,
    });
    setNotifications(firstRecords(notifications, kNotificationLimit));
    writeNotificationsLater();
}

void WorkbenchStore::markAllNotificationsRead() {
    QList<AppNotificationItem> notifications = m_notifications;
    for (AppNotificationItem& item : notifications) item.isRead = true;
    setNotifications(std::move(notifications));
    writeNotificationsLater();
}

void WorkbenchStore::load() {
    setTasks(load<ArchiveTask>(kTasksKey).value_or(QList<ArchiveTask>{}));
    setHistory(load<ArchiveHistoryRecord>(kHistoryKey).value_or(QList<ArchiveHistoryRecord>{}));
    setNotifications(load<AppNotificationItem>(kNotificationsKey).value_or(QList<AppNotificationItem>{}));
    normalizeStoredNotifications();
}

// What does not decode is kept aside at once; should that fail, every write of the list tries again
// first and fails until it works.
template <typename Record>
std::optional<QList<Record>> WorkbenchStore::load(const QString& key) {
    const DefaultsStore::Stored stored = m_defaults.read(key);
    if (stored.readFailure && key == kTasksKey) {
        m_unreadTasks.emplace();
        m_unreadTasks->readFailure = stored.readFailure;
    }
    if (!stored.bytes) return std::nullopt;
    std::optional<QList<Record>> records = JsonFields::decodeArray<Record>(*stored.bytes, &Record::fromJson);
    if (records) return records;
    const DefaultsStore::KeptCopy kept = m_defaults.keepAside(key, *stored.bytes, m_clock());
    if (kept.failure) m_undecodable.insert(key, *stored.bytes);
    if (key == kTasksKey) {
        m_unreadTasks.emplace();
        if (kept.failure) {
            m_unreadTasks->keepFailure = kept.failure;
        } else {
            m_unreadTasks->keptCopy = kept.path;
        }
    }
    return records;
}

// At once, for the removals the user asks for.
template <typename Record>
std::optional<QString> WorkbenchStore::save(const QList<Record>& records, const QString& key) {
    if (std::optional<QString> failure = keepUndecodableValue(key)) return failure;
    std::optional<QString> failure = m_writer.writeNow(key, encoded(records));
    if (!failure) m_failingKeys.remove(key);
    return failure;
}

// The writer encodes its own (implicitly shared) copy of the list; the next change detaches ours.
template <typename Record>
void WorkbenchStore::writeLater(const QList<Record>& records, const QString& key) {
    if (std::optional<QString> failure = keepUndecodableValue(key)) {
        reportWrite(key, failure);
        return;
    }
    m_writer.writeLater(key, [records] { return encoded(records); });
}

// With the latest progress, so a progress write still waiting is not needed any more.
void WorkbenchStore::writeTasksLater() {
    m_progressWrite.stop();
    writeLater(m_tasks, kTasksKey);
    m_sinceWrite.restart();
}

void WorkbenchStore::writeHistoryLater() { writeLater(m_history, kHistoryKey); }

void WorkbenchStore::writeNotificationsLater() { writeLater(m_notifications, kNotificationsKey); }

void WorkbenchStore::reportWrite(const QString& key, const std::optional<QString>& failure) {
    QMetaObject::invokeMethod(
        this, [this, key, failure] { writeReported(key, failure); }, Qt::QueuedConnection);
}

void WorkbenchStore::writeReported(const QString& key, const std::optional<QString>& failure) {
    if (!failure) {
        m_failingKeys.remove(key);
        return;
    }
    if (m_failingKeys.contains(key)) return;
    m_failingKeys.insert(key);
    Q_EMIT saveFailed(*failure);
}

std::optional<QString> WorkbenchStore::keepUndecodableValue(const QString& key) {
    const auto undecodable = m_undecodable.constFind(key);
    if (undecodable == m_undecodable.cend()) return std::nullopt;
    const DefaultsStore::KeptCopy kept = m_defaults.keepAside(key, *undecodable, m_clock());
    if (kept.failure) return kept.failure;
    m_undecodable.erase(undecodable);
    return std::nullopt;
}

// At most one write a second; a report within the second waits for its end.
void WorkbenchStore::scheduleProgressWrite() {
    if (m_progressWrite.isActive()) return;
    const qint64 wait = kProgressWriteIntervalMs - m_sinceWrite.elapsed();
    if (wait <= 0) {
        writeTasksLater();
    } else {
        m_progressWrite.start(static_cast<int>(wait));
    }
}

void WorkbenchStore::normalizeStoredNotifications() {
    QList<AppNotificationItem> notifications = firstRecords(m_notifications, kNotificationLimit);
    for (AppNotificationItem& item : notifications) {
        item.title = cleanedNotificationText(item.title);
        item.message = cleanedNotificationText(item.message);
    }
    if (notifications == m_notifications) return;
    setNotifications(std::move(notifications));
    writeNotificationsLater();
}

void WorkbenchStore::clearInterruptedTasks() {
    const QDateTime now = m_clock();
    QList<ArchiveTask> tasks = m_tasks;
    bool changed = false;
    for (ArchiveTask& task : tasks) {
        if (task.status != ArchiveActivityStatus::running) continue;
        task.status = ArchiveActivityStatus::cancelled;
        task.progress = 0;
        task.updatedAt = now;
        task.message = QStringLiteral(u"上次运行中断，任务已停止");
        changed = true;
    }
    setTasks(std::move(tasks));
    if (changed) writeTasksLater();
}

double WorkbenchStore::taskProgress(const QUuid& id) const {
    const qsizetype index = taskIndex(id);
    return index < 0 ? 0 : m_tasks[index].progress;
}

qsizetype WorkbenchStore::taskIndex(const QUuid& id) const {
    const auto found = std::find_if(m_tasks.cbegin(), m_tasks.cend(),
                                    [&](const ArchiveTask& task) { return task.id == id; });
    return found == m_tasks.cend() ? -1 : std::distance(m_tasks.cbegin(), found);
}

void WorkbenchStore::setTasks(QList<ArchiveTask> tasks) {
    m_tasks = std::move(tasks);
    Q_EMIT tasksChanged();
}

void WorkbenchStore::setHistory(QList<ArchiveHistoryRecord> history) {
    m_history = std::move(history);
    Q_EMIT historyChanged();
}

void WorkbenchStore::setNotifications(QList<AppNotificationItem> notifications) {
    m_notifications = std::move(notifications);
    Q_EMIT notificationsChanged();
}
