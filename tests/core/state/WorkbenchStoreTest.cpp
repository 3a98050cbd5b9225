#include "RunningTask.h"
#include "core/base/EnumRawValues.h"
#include "core/base/JsonFields.h"
#include "core/state/TaskCancellationCenter.h"
#include "core/state/WorkbenchStore.h"
#include "support/FullDisk.h"
#include "support/TempTree.h"

#include <gtest/gtest.h>
#include <unistd.h>
#include <QDir>
#include <QSignalSpy>
#include <QTest>
#include <QTimeZone>
#include <cmath>
#include <limits>

namespace {

const QString kTasks = QStringLiteral("workbenchTasks");
const QString kHistory = QStringLiteral("workbenchHistory");
const QString kNotifications = QStringLiteral("workbenchNotifications");

class WorkbenchStoreTest : public testing::Test {
protected:
    std::unique_ptr<WorkbenchStore> makeStore() {
        return std::make_unique<WorkbenchStore>(defaults, [this] { return now; });
    }

    QByteArray stored(const QString& key) const { return defaults.data(key).value_or(QByteArray()); }

    // Stored indented, so that any rewrite by the store (always compact) shows in the bytes.
    template <typename Record>
    void storeIndented(const QString& key, const QList<Record>& records) {
        defaults.setData(key,
                         JsonFields::encodeArray(
                             records, [](const Record& r) { return r.toJson(); }, QJsonDocument::Indented));
    }

    ArchiveTask runningTask(const QString& name,
                            ArchiveActivityKind kind = ArchiveActivityKind::extract) const {
        return ::runningTask(name, kind, now);
    }

    AppNotificationItem notification(const QString& title) const {
        return {.id = QUuid::createUuid(), .title = title, .message = "m", .createdAt = now, .isRead = false};
    }

    TempTree tree;
    DefaultsStore defaults{tree.path("defaults")};
    QDateTime now{QDate(2026, 3, 1), QTime(8, 0), QTimeZone::utc()};
};

TEST_F(WorkbenchStoreTest, StartUpClosesInterruptedTasksWithoutHistoryOrNotifications) {
    ArchiveTask running = runningTask("a.zip");
    ArchiveTask done = runningTask("b.zip");
    done.status = ArchiveActivityStatus::completed;
    storeIndented(kTasks, QList<ArchiveTask>{running, done});
    now = now.addSecs(60);

    const auto store = makeStore();
    ASSERT_EQ(store->tasks().size(), 2);
    const ArchiveTask& closed = store->tasks()[0];
    EXPECT_EQ(closed.status, ArchiveActivityStatus::cancelled);
    EXPECT_EQ(closed.progress, 0);
    EXPECT_EQ(closed.message, QStringLiteral(u"上次运行中断，任务已停止"));
    EXPECT_EQ(closed.updatedAt, now);
    EXPECT_EQ(store->tasks()[1], done);
    EXPECT_TRUE(store->history().isEmpty());
    EXPECT_TRUE(store->notifications().isEmpty());
    store->waitForWrites();
    EXPECT_EQ(WorkbenchStore(defaults).tasks(), store->tasks());
}

TEST_F(WorkbenchStoreTest, StartUpWritesOnlyWhatNeedsRepair) {
    ArchiveTask done = runningTask("b.zip");
    done.status = ArchiveActivityStatus::failed;
    storeIndented(kTasks, QList<ArchiveTask>{done});
    QList<AppNotificationItem> clean;
    for (int i = 0; i < 40; ++i) clean << notification(QString::number(i));
    storeIndented(kNotifications, clean);
    const QByteArray tasksBefore = stored(kTasks);
    const QByteArray notificationsBefore = stored(kNotifications);

    makeStore();
    EXPECT_EQ(stored(kTasks), tasksBefore);
    EXPECT_EQ(stored(kNotifications), notificationsBefore);
    EXPECT_FALSE(defaults.data(kHistory).has_value());

    clean << notification("40") << notification("41") << notification("42");
    clean[0].title = "dirty\ttitle ";
    storeIndented(kNotifications, clean);
    const auto store = makeStore();
    ASSERT_EQ(store->notifications().size(), 40);
    EXPECT_EQ(store->notifications()[0].title, "dirty title");
    EXPECT_EQ(store->notifications()[39].title, "39");
    store->waitForWrites();
    EXPECT_EQ(makeStore()->notifications(), store->notifications());
}

TEST_F(WorkbenchStoreTest, NotificationTextsAreCleanedAndCut) {
    const QString combining = QStringLiteral(u"e\u0301");
    struct Case {
        QString given;
        QString stored;
    };
    const Case cases[] = {
        {"a\nb\tc  ", "a b c"},
        {"   ", ""},
        {QStringLiteral(u"\u2028 x \r\n"), "x"},
        {QString(240, 'x'), QString(240, 'x')},
        {QString(241, 'x'), QString(240, 'x') + "..."},
        {combining.repeated(241), combining.repeated(240) + "..."},
    };
    const auto store = makeStore();
    for (const Case& c : cases) {
        store->addNotification(c.given, c.given);
        EXPECT_EQ(store->notifications().first().title, c.stored);
        EXPECT_EQ(store->notifications().first().message, c.stored);
    }
}

TEST_F(WorkbenchStoreTest, ListsAreCappedOldestFirstOut) {
    QList<ArchiveHistoryRecord> full;
    for (int i = 0; i < 200; ++i) {
        full << ArchiveHistoryRecord{.id = QUuid::createUuid(),
                                     .fileName = QString::number(i),
                                     .path = "/",
                                     .kind = ArchiveActivityKind::compress,
                                     .status = ArchiveActivityStatus::completed,
                                     .createdAt = now,
                                     .sizeDescription = "-",
                                     .message = "ok",
                                     .metadata = std::nullopt};
    }
    storeIndented(kHistory, full);
    const auto store = makeStore();
    for (int i = 0; i < 40; ++i) store->addNotification(QString::number(i), "m");
    EXPECT_EQ(store->unreadNotificationCount(), 40);
    store->markAllNotificationsRead();
    EXPECT_EQ(store->unreadNotificationCount(), 0);

    const ArchiveTask task = runningTask("new");
    store->addTask(task);
    store->completeTask(task.id, "ok");
    ASSERT_EQ(store->history().size(), WorkbenchStore::kHistoryLimit);
    EXPECT_EQ(store->history().first().fileName, "new");
    EXPECT_EQ(store->history().last().fileName, "198");
    ASSERT_EQ(store->notifications().size(), WorkbenchStore::kNotificationLimit);
    EXPECT_EQ(store->notifications().first().title, QStringLiteral(u"解压任务成功"));
    EXPECT_EQ(store->notifications().last().title, "2");
    EXPECT_EQ(store->unreadNotificationCount(), 2);

    store->waitForWrites();
    const auto reloaded = makeStore();
    EXPECT_EQ(reloaded->history(), store->history());
    EXPECT_EQ(reloaded->notifications(), store->notifications());
}

TEST_F(WorkbenchStoreTest, AddTaskAnnouncesTheStart) {
    const auto store = makeStore();
    QSignalSpy tasksChanged(store.get(), &WorkbenchStore::tasksChanged);
    QSignalSpy notificationsChanged(store.get(), &WorkbenchStore::notificationsChanged);
    store->addTask(runningTask(QStringLiteral(u"照片"), ArchiveActivityKind::splitCompression));
    EXPECT_GE(tasksChanged.count(), 1);
    EXPECT_GE(notificationsChanged.count(), 1);
    EXPECT_EQ(store->notifications().first().title, QStringLiteral(u"分卷压缩任务已开始"));
    EXPECT_EQ(store->notifications().first().message, QStringLiteral(u"照片"));
    EXPECT_TRUE(store->history().isEmpty());
}

// Every move out of `running`: what the task holds afterwards, and the history record and
// notification it leaves.
TEST_F(WorkbenchStoreTest, EachTransitionLeavesOneHistoryRecordAndNotification) {
    struct Case {
        const char* name;
        std::function<void(WorkbenchStore&, const QUuid&)> act;
        ArchiveActivityStatus status;
        double progress;
        QString message;
        QString notificationTitle;
    };
    const Case cases[] = {
        {"complete", [](WorkbenchStore& s, const QUuid& id) { s.completeTask(id, QStringLiteral(u"完成")); },
         ArchiveActivityStatus::completed, 1, QStringLiteral(u"完成"), QStringLiteral(u"解压任务成功")},
        {"fail", [](WorkbenchStore& s, const QUuid& id) { s.failTask(id, QStringLiteral(u"密码错误")); },
         ArchiveActivityStatus::failed, 0, QStringLiteral(u"密码错误"), QStringLiteral(u"解压任务失败")},
        {"pause", [](WorkbenchStore& s, const QUuid& id) { s.pauseTask(id); }, ArchiveActivityStatus::paused,
         0.45, QStringLiteral(u"已暂停"), QStringLiteral(u"解压任务已暂停")},
        {"cancel", [](WorkbenchStore& s, const QUuid& id) { s.cancelTask(id); },
         ArchiveActivityStatus::cancelled, 0, QStringLiteral(u"已取消"), QStringLiteral(u"解压任务已取消")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto store = makeStore();
        store->clearHistory();
        ArchiveTask task = runningTask("a.7z");
        task.metadata = ArchiveTaskMetadata{.foundPartCount = 2};
        store->addTask(task);
        store->updateTaskProgress(task.id, 0.45);
        now = now.addSecs(5);
        c.act(*store, task.id);

        const ArchiveTask& after = store->tasks().first();
        EXPECT_EQ(after.status, c.status);
        EXPECT_EQ(after.progress, c.progress);
        EXPECT_EQ(after.message, c.message);
        EXPECT_EQ(after.updatedAt, now);
        ASSERT_EQ(store->history().size(), 1);
        const ArchiveHistoryRecord& record = store->history().first();
        EXPECT_NE(record.id, task.id);
        EXPECT_EQ(record.fileName, "a.7z");
        EXPECT_EQ(record.status, c.status);
        EXPECT_EQ(record.message, c.message);
        EXPECT_EQ(record.createdAt, now);
        EXPECT_EQ(record.metadata, task.metadata);
        EXPECT_EQ(store->notifications().first().title, c.notificationTitle);
        EXPECT_EQ(store->notifications().first().message, QStringLiteral(u"a.7z：") + c.message);

        // A final state is never left again, and the late outcome of stopped work is ignored.
        store->waitForWrites();
        const QByteArray tasksBefore = stored(kTasks);
        store->completeTask(task.id, "late");
        store->failTask(task.id, "late");
        store->pauseTask(task.id);
        store->cancelTask(task.id);
        store->updateTaskProgress(task.id, 0.7, QStringLiteral("x"));
        EXPECT_EQ(store->history().size(), 1);
        store->waitForWrites();
        EXPECT_EQ(stored(kTasks), tasksBefore);
    }
}

TEST_F(WorkbenchStoreTest, ProgressReportsAreHeldWithinBounds) {
    struct Case {
        double given;
        double stored;
    };
    const Case cases[] = {{1.5, 0.98},
                          {0, 0.01},
                          {0.5, 0.5},
                          {std::numeric_limits<double>::quiet_NaN(), 0.98},
                          {-std::numeric_limits<double>::infinity(), 0.01}};
    const auto store = makeStore();
    const ArchiveTask task = runningTask("a.zip");
    store->addTask(task);
    for (const Case& c : cases) {
        store->updateTaskProgress(task.id, c.given);
        EXPECT_EQ(store->tasks().first().progress, c.stored) << c.given;
        EXPECT_EQ(store->tasks().first().message, task.message);
    }
    store->updateTaskProgress(task.id, 0.3, QStringLiteral(u"第 2 卷"));
    EXPECT_EQ(store->tasks().first().message, QStringLiteral(u"第 2 卷"));
    store->waitForWrites();
    EXPECT_EQ(makeStore()->tasks().first().status, ArchiveActivityStatus::cancelled);
}

// Every change is written off this thread, progress within the interval; writes land in the order of
// the changes, so no progress write still waiting or under way can put the running record back over
// the ending.
TEST_F(WorkbenchStoreTest, ChangesAreWrittenLaterInTheirOrder) {
    auto store = makeStore();
    const ArchiveTask task = runningTask("a.zip");
    store->addTask(task);
    store->updateTaskProgress(task.id, 0.4, QStringLiteral("half"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return stored(kTasks).contains("\"half\""); }, 10000));

    for (int round = 0; round < 20; ++round) {
        const ArchiveTask next = runningTask(QString::number(round));
        store->addTask(next);
        for (int step = 0; step < 5; ++step) store->updateTaskProgress(next.id, 0.5, QString::number(step));
        QCoreApplication::processEvents();
        store->completeTask(next.id, QStringLiteral("done"));
    }
    store->waitForWrites();
    const QList<ArchiveTask> reloaded = WorkbenchStore(defaults).tasks();
    ASSERT_EQ(reloaded.size(), 21);
    for (qsizetype i = 0; i < 20; ++i) EXPECT_EQ(reloaded[i].status, ArchiveActivityStatus::completed) << i;
    EXPECT_EQ(WorkbenchStore(defaults).notifications(), store->notifications());
}

// Closing the store writes what waits, the last report included, before it returns.
TEST_F(WorkbenchStoreTest, ClosingTheStoreWritesWhatWaits) {
    auto store = makeStore();
    const ArchiveTask task = runningTask("a.zip");
    store->addTask(task);
    store->updateTaskProgress(task.id, 0.7, QStringLiteral("last report"));
    store.reset();
    EXPECT_TRUE(stored(kTasks).contains("\"last report\""));

    store = makeStore();
    const ArchiveTask finished = runningTask("b.zip");
    store->addTask(finished);
    store->completeTask(finished.id, QStringLiteral("done"));
    store.reset();
    EXPECT_EQ(makeStore()->history().first().message, QStringLiteral("done"));
}

TEST_F(WorkbenchStoreTest, ProgressThatIsNotANumberIsStoredAsZero) {
    const auto store = makeStore();
    const ArchiveTask task = runningTask("a.zip");
    store->addTask(task);
    store->updateTask(task.id, ArchiveActivityStatus::completed, std::nan(""), "ok");
    EXPECT_EQ(store->tasks().first().progress, 0);
    store->waitForWrites();
    const auto reloaded = makeStore();
    ASSERT_EQ(reloaded->tasks().size(), 1);
    EXPECT_EQ(reloaded->tasks().first().status, ArchiveActivityStatus::completed);
}

TEST_F(WorkbenchStoreTest, DeletingAndClearingSpareRunningAndFailedTasks) {
    const auto store = makeStore();
    QList<QUuid> ids;
    for (ArchiveActivityStatus status : ArchiveActivityStatuses::allCases()) {
        const ArchiveTask task = runningTask(EnumRawValues::rawValue(status));
        store->addTask(task);
        if (status != ArchiveActivityStatus::running) store->updateTask(task.id, status, 0.5, "x");
        ids << task.id;
    }
    const auto names = [&] {
        QStringList list;
        for (const ArchiveTask& task : store->tasks()) list << task.name;
        return list;
    };

    store->waitForWrites();
    const QByteArray before = stored(kTasks);
    store->deleteTask(ids[0]);  // running
    store->deleteTask(ids[3]);  // failed
    store->deleteTask(QUuid::createUuid());
    EXPECT_EQ(stored(kTasks), before);

    store->clearCompletedTasks();
    EXPECT_EQ(names(), (QStringList{"cancelled", "failed", "paused", "running"}));
    store->deleteTask(ids[1]);
    store->deleteTask(ids[4]);
    EXPECT_EQ(names(), (QStringList{"failed", "running"}));
    EXPECT_EQ(makeStore()->tasks().size(), 2);

    store->clearHistory();
    EXPECT_TRUE(store->history().isEmpty());
    EXPECT_EQ(stored(kHistory), "[]");
}

TEST_F(WorkbenchStoreTest, PauseAllStopsEveryRunningTaskAndItsWork) {
    const auto store = makeStore();
    const QByteArray empty = stored(kTasks);
    store->pauseAllRunningTasks();
    EXPECT_EQ(stored(kTasks), empty);

    const ArchiveTask first = runningTask("1");
    const ArchiveTask second = runningTask("2");
    const ArchiveTask done = runningTask("3");
    for (const ArchiveTask& task : {first, second, done}) store->addTask(task);
    store->completeTask(done.id, "ok");
    store->updateTaskProgress(second.id, 0.6);
    const CancellationToken batch;
    TaskCancellationCenter::shared().registerHandle(batch, first.id);
    TaskCancellationCenter::shared().registerHandle(batch, second.id);

    store->pauseAllRunningTasks();
    EXPECT_TRUE(batch.isCancelled());
    EXPECT_FALSE(TaskCancellationCenter::shared().isRegistered(first.id));
    EXPECT_FALSE(TaskCancellationCenter::shared().isRegistered(second.id));
    EXPECT_EQ(store->tasks()[1].status, ArchiveActivityStatus::paused);
    EXPECT_EQ(store->tasks()[1].progress, 0.6);
    EXPECT_EQ(store->tasks()[2].status, ArchiveActivityStatus::paused);
    EXPECT_EQ(store->history().size(), 3);
}

TEST_F(WorkbenchStoreTest, CancellingAFinishedTaskStillStopsItsRegisteredWork) {
    const auto store = makeStore();
    const ArchiveTask task = runningTask("a");
    store->addTask(task);
    store->completeTask(task.id, "ok");
    const CancellationToken token;
    TaskCancellationCenter::shared().registerHandle(token, task.id);
    store->waitForWrites();
    const QByteArray before = stored(kTasks);
    store->cancelTask(task.id);
    store->waitForWrites();
    EXPECT_TRUE(token.isCancelled());
    EXPECT_FALSE(TaskCancellationCenter::shared().isRegistered(task.id));
    EXPECT_EQ(stored(kTasks), before);
}

TEST_F(WorkbenchStoreTest, MetadataChangesWhateverTheStatus) {
    const auto store = makeStore();
    const ArchiveTask task = runningTask("a");
    store->addTask(task);
    store->completeTask(task.id, "ok");
    now = now.addSecs(30);
    const ArchiveTaskMetadata metadata{.actualPartCount = 4, .outputFilePaths = QStringList{"/o/a.7z.001"}};
    store->updateTaskMetadata(task.id, metadata);
    EXPECT_EQ(store->tasks().first().metadata, metadata);
    EXPECT_EQ(store->tasks().first().updatedAt, now);
    store->updateTaskSizeDescription(task.id, "12 MB");
    EXPECT_EQ(store->tasks().first().sizeDescription, "12 MB");
    store->waitForWrites();
    EXPECT_EQ(makeStore()->tasks().first().metadata, metadata);
    EXPECT_EQ(makeStore()->tasks().first().sizeDescription, "12 MB");
}

TEST_F(WorkbenchStoreTest, UndecodableListIsEmptyAndKeptAsideBeforeTheNextWrite) {
    ArchiveTask task = runningTask("a");
    QJsonObject bad = task.toJson();
    bad.insert("status", "stopped");
    const QByteArray badBytes = QJsonDocument(QJsonArray{runningTask("ok").toJson(), bad}).toJson();
    defaults.setData(kTasks, badBytes);
    defaults.setData(kHistory, "not json");

    const auto store = makeStore();
    EXPECT_TRUE(store->tasks().isEmpty());
    EXPECT_TRUE(store->history().isEmpty());
    EXPECT_EQ(stored(kTasks), badBytes);

    // Kept aside before the first write of its own list, not before another list's.
    store->addNotification("t", "m");
    store->waitForWrites();
    EXPECT_EQ(stored(kTasks), badBytes);
    const ArchiveTask next = runningTask("b");
    store->addTask(next);
    store->completeTask(next.id, "ok");
    store->waitForWrites();
    EXPECT_EQ(makeStore()->tasks().size(), 1);
    EXPECT_EQ(makeStore()->history().size(), 1);
    const QString stamp = now.toString("yyyyMMdd'T'HHmmss'Z'");
    EXPECT_EQ(tree.readFile("defaults/workbenchTasks.json.bad-" + stamp), badBytes);
    EXPECT_EQ(tree.readFile("defaults/workbenchHistory.json.bad-" + stamp), "not json");
    store->addNotification("t2", "m");
    store->waitForWrites();
    EXPECT_EQ(QDir(tree.path("defaults")).entryList({"*.bad*"}, QDir::Files).size(), 2);
}

// The page names what could not be read: a truncated list is kept aside before anything is written,
// a file that cannot be read is left alone and its reason kept.
TEST_F(WorkbenchStoreTest, ATaskListThatDoesNotReadIsNamedAndItsBytesKeptAtOnce) {
    EXPECT_FALSE(makeStore()->unreadTasks());
    const QByteArray truncated = JsonFields::encodeArray(
                                     QList<ArchiveTask>{runningTask("a")},
                                     [](const ArchiveTask& t) { return t.toJson(); }, QJsonDocument::Compact)
                                     .chopped(9);
    defaults.setData(kTasks, truncated);
    const auto store = makeStore();
    ASSERT_TRUE(store->unreadTasks());
    const QString copy =
        tree.path("defaults/workbenchTasks.json.bad-" + now.toString("yyyyMMdd'T'HHmmss'Z'"));
    EXPECT_EQ(store->unreadTasks()->keptCopy, copy);
    EXPECT_EQ(tree.readFile("defaults/workbenchTasks.json.bad-" + now.toString("yyyyMMdd'T'HHmmss'Z'")),
              truncated);
    EXPECT_EQ(store->tasksFilePath(), tree.path("defaults/workbenchTasks.json"));

    if (::geteuid() == 0) GTEST_SKIP() << "root reads every file";
    ASSERT_TRUE(QFile::setPermissions(store->tasksFilePath(), QFileDevice::Permissions()));
    const auto locked = makeStore();
    ASSERT_TRUE(locked->unreadTasks());
    EXPECT_TRUE(locked->unreadTasks()->readFailure);
    EXPECT_FALSE(locked->unreadTasks()->keptCopy);
}

TEST(WorkbenchStoreOnAFullDisk, RemovalsHappenOnlyOnceStoredAndNoWriteEmptiesAList) {
    FullDisk disk;
    DefaultsStore defaults(disk.path());
    const QDateTime now(QDate(2026, 3, 1), QTime(8, 0), Qt::UTC);
    auto store = std::make_unique<WorkbenchStore>(defaults, [&] { return now; });
    const ArchiveTask done = runningTask("done.zip", ArchiveActivityKind::extract, now);
    store->addTask(done);
    store->completeTask(done.id, "ok");
    store->waitForWrites();
    const std::optional<QByteArray> tasks = defaults.data(kTasks);
    const std::optional<QByteArray> history = defaults.data(kHistory);

    disk.fill();
    EXPECT_EQ(store->clearCompletedTasks(), disk.reason());
    EXPECT_EQ(store->deleteTask(done.id), disk.reason());
    EXPECT_EQ(store->tasks().size(), 1);
    EXPECT_EQ(store->clearHistory(), disk.reason());
    EXPECT_EQ(store->history().size(), 1);
    // Work that goes on meanwhile cannot be written either: the stored lists stay whole, and the
    // failure is reported once for each list that failed, not again with every later change.
    QSignalSpy failures(store.get(), &WorkbenchStore::saveFailed);
    const ArchiveTask running = runningTask("big.7z", ArchiveActivityKind::extract, now);
    store->addTask(running);
    store->updateTaskProgress(running.id, 0.5);
    store->updateTaskMetadata(running.id, ArchiveTaskMetadata{.foundPartCount = 2});
    store->waitForWrites();
    QCoreApplication::processEvents();  // the writes' reports, all posted by now
    ASSERT_EQ(failures.count(), 2);  // tasks, notifications
    EXPECT_EQ(failures[0][0].toString(), disk.reason());
    store.reset();
    EXPECT_EQ(defaults.data(kTasks), tasks);
    EXPECT_EQ(defaults.data(kHistory), history);

    disk.free();
    store = std::make_unique<WorkbenchStore>(defaults, [&] { return now; });
    EXPECT_EQ(store->clearHistory(), std::nullopt);
    EXPECT_TRUE(store->history().isEmpty());
    EXPECT_EQ(defaults.data(kHistory), "[]");
}

}  // namespace
