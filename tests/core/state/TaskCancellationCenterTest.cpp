#include "RunningTask.h"
#include "core/base/CancellationError.h"
#include "core/engine/ProcessRunner.h"
#include "core/state/TaskCancellationCenter.h"
#include "core/state/WorkbenchStore.h"
#include "support/TempTree.h"

#include <gtest/gtest.h>
#include <QFile>

#include <chrono>
#include <condition_variable>
#include <future>
#include <mutex>

namespace {

using namespace std::chrono_literals;

TaskCancellationCenter& center() { return TaskCancellationCenter::shared(); }

TEST(TaskCancellationCenter, CancelStopsTheHandleAndForgetsTheEntry) {
    const QUuid id = QUuid::createUuid();
    const CancellationToken first;
    const CancellationToken replacement;
    center().registerHandle(first, id);
    center().registerHandle(replacement, id);
    EXPECT_FALSE(first.isCancelled());

    center().cancel(id);
    EXPECT_TRUE(replacement.isCancelled());
    EXPECT_FALSE(first.isCancelled());
    EXPECT_FALSE(center().isRegistered(id));

    // The stopped work's own final step finds nothing left to remove.
    center().remove(id);
    center().cancel(QUuid::createUuid());
    center().cancelAll({});
}

TEST(TaskCancellationCenter, OneBatchHandleUnderSeveralIds) {
    const QList<QUuid> ids{QUuid::createUuid(), QUuid::createUuid(), QUuid::createUuid()};
    const CancellationToken batch;
    for (const QUuid& id : ids) center().registerHandle(batch, id);

    center().cancel(ids[1]);
    EXPECT_TRUE(batch.isCancelled());
    EXPECT_TRUE(center().isRegistered(ids[0]));
    EXPECT_FALSE(center().isRegistered(ids[1]));
    EXPECT_TRUE(center().isRegistered(ids[2]));

    for (const QUuid& id : ids) center().remove(id);
    EXPECT_FALSE(center().isRegistered(ids[0]));
    EXPECT_FALSE(center().isRegistered(ids[2]));

    const CancellationToken kept;
    const QUuid keptID = QUuid::createUuid();
    center().registerHandle(kept, keptID);
    center().remove(keptID);
    EXPECT_FALSE(kept.isCancelled());
}

// The whole path a user's "cancel" takes: the store cancels the work registered for the task, the
// runner ends the real 7-Zip run, and the task is recorded as cancelled.
TEST(TaskCancellationCenter, CancellingATaskEndsItsRunning7Zip) {
    TempTree tree;
    QFile random(QStringLiteral("/dev/urandom"));
    ASSERT_TRUE(random.open(QIODevice::ReadOnly));
    // Incompressible data at the strongest level on one thread: minutes of work, far beyond the test.
    const QString data = tree.writeFile("data.bin", random.read(64 << 20));

    WorkbenchStore store(DefaultsStore(tree.path("defaults")));
    const ArchiveTask task =
        runningTask("data.7z", ArchiveActivityKind::compress, QDateTime::currentDateTimeUtc());
    store.addTask(task);
    const CancellationToken token;
    center().registerHandle(token, task.id);

    std::mutex mutex;
    std::condition_variable outputArrived;
    bool started = false;
    const auto handler = [&](const QString&) {
        std::lock_guard lock(mutex);
        started = true;
        outputArrived.notify_all();
    };
    std::future<bool> cancelled = std::async(std::launch::async, [&] {
        try {
            ProcessRunner::run(QStringLiteral("/usr/bin/7zz"),
                               {"a", "-mx=9", "-mmt=1", "-bsp1", tree.path("data.7z"), "-spd", "--", data},
                               tree.root(), 600, handler, token);
            return false;
        } catch (const CancellationError&) {
            return true;
        }
    });
    {
        std::unique_lock lock(mutex);
        ASSERT_TRUE(outputArrived.wait_for(lock, 60s, [&] { return started; }));
    }

    store.cancelTask(task.id);
    ASSERT_EQ(cancelled.wait_for(60s), std::future_status::ready);
    EXPECT_TRUE(cancelled.get());
    EXPECT_FALSE(center().isRegistered(task.id));
    EXPECT_EQ(store.tasks().first().status, ArchiveActivityStatus::cancelled);
    EXPECT_EQ(store.history().first().status, ArchiveActivityStatus::cancelled);
    EXPECT_EQ(store.notifications().first().title, QStringLiteral(u"压缩任务已取消"));
}

}  // namespace
