// GUI-thread time of opening the store and of one progress report and one task event (a task started,
// its metadata, its end) with 5, 500, 5,000 and 20,000 stored tasks, against a synchronous write of the
// whole list (what every event used to cost). Target: a task event at 5,000 tasks <= 5 ms.

#include "BenchSupport.h"
#include "core/base/JsonFields.h"
#include "core/state/WorkbenchStore.h"

#include <QCoreApplication>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <functional>
#include <thread>
#include <vector>

namespace {

constexpr double kCoalescedRunMs = 3500;
constexpr int kTimedEvents = 40;

using BenchSupport::Clock;
using BenchSupport::millisecondsSince;

ArchiveTask taskNamed(const QString& name, ArchiveActivityStatus status) {
    return BenchSupport::extractionTask(name, status, status == ArchiveActivityStatus::running ? 0.1 : 1);
}

// Opens the store and starts one task, whose id is returned.
QUuid startTask(WorkbenchStore& store) {
    const ArchiveTask running = taskNamed(QStringLiteral("running.7z"), ArchiveActivityStatus::running);
    store.addTask(running);
    return running.id;
}

struct Timing {
    double mean = 0;
    double max = 0;
};

Timing summary(const std::vector<double>& values) {
    Timing timing;
    for (const double value : values) {
        timing.mean += value / static_cast<double>(values.size());
        timing.max = std::max(timing.max, value);
    }
    return timing;
}

// GUI-thread milliseconds of each report, the event handling after it included (where the coalesced
// write is handed over). Reports come every millisecond for long enough to span several writes.
Timing timeCoalescedReports(WorkbenchStore& store, const QUuid& id) {
    std::vector<double> times;
    const auto start = Clock::now();
    for (int i = 0; millisecondsSince(start) < kCoalescedRunMs; ++i) {
        const auto reportStart = Clock::now();
        store.updateTaskProgress(id, 0.1 + i * 1e-5, QStringLiteral("正在解压 %1").arg(i));
        QCoreApplication::processEvents();
        times.push_back(millisecondsSince(reportStart));
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return summary(times);
}

// Milliseconds of processor time this thread has used.
double threadMilliseconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

struct EventTimings {
    Timing elapsed;
    Timing processor;  // the GUI thread's own processor time, which a busy machine does not inflate
};

// GUI-thread milliseconds of each task event, the event handling after it included. Events come a
// few milliseconds apart, as a burst of short tasks would send them.
EventTimings timeTaskEvents(WorkbenchStore& store) {
    std::vector<double> times;
    std::vector<double> processorTimes;
    const auto timed = [&](const std::function<void()>& event) {
        const auto eventStart = Clock::now();
        const double processorStart = threadMilliseconds();
        event();
        QCoreApplication::processEvents();
        times.push_back(millisecondsSince(eventStart));
        processorTimes.push_back(threadMilliseconds() - processorStart);
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    };
    for (int i = 0; i < kTimedEvents / 3; ++i) {
        const ArchiveTask task = taskNamed(QStringLiteral("event %1.zip").arg(i), ArchiveActivityStatus::running);
        timed([&] { store.addTask(task); });
        timed([&] { store.updateTaskMetadata(task.id, ArchiveTaskMetadata{.foundPartCount = 2}); });
        timed([&] { store.completeTask(task.id, QStringLiteral(u"解压完成")); });
    }
    store.waitForWrites();
    return {summary(times), summary(processorTimes)};
}

// What every event used to cost on the GUI thread: encoding and writing the whole task list.
Timing timeSynchronousWrites(WorkbenchStore& store, const QString& folder) {
    DefaultsStore defaults(folder);
    std::vector<double> times;
    for (int i = 0; i < kTimedEvents; ++i) {
        const auto writeStart = Clock::now();
        QList<ArchiveTask> tasks = store.tasks();
        tasks.first().message = QString::number(i);
        defaults.setData(QStringLiteral("workbenchTasks"),
                         JsonFields::encodeArray(
                             tasks, [](const ArchiveTask& task) { return task.toJson(); }, QJsonDocument::Compact));
        times.push_back(millisecondsSince(writeStart));
    }
    return summary(times);
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    std::printf("%6s %9s %22s %22s %22s %22s\n", "tasks", "opened", "report mean/max", "task event mean/max",
                "  event processor time", "written at once");
    for (const int count : {5, 500, 5000, 20000}) {
        QTemporaryDir folder;
        BenchSupport::storeFinishedTasks(folder.path(), count - 1);
        const auto openStart = BenchSupport::Clock::now();
        WorkbenchStore store{DefaultsStore(folder.path())};
        const double opened = millisecondsSince(openStart);
        const QUuid id = startTask(store);
        const Timing reports = timeCoalescedReports(store, id);
        const EventTimings events = timeTaskEvents(store);
        const Timing written = timeSynchronousWrites(store, folder.path());
        std::printf("%6d %9.1f %13.4f / %6.3f %13.4f / %6.3f %13.4f / %6.3f %13.3f / %6.3f\n", count, opened,
                    reports.mean, reports.max, events.elapsed.mean, events.elapsed.max, events.processor.mean,
                    events.processor.max, written.mean, written.max);
    }
    std::printf("milliseconds on the GUI thread; target: a task event at 5000 tasks <= 5 ms\n");
    return 0;
}
