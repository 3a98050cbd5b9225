// Reports progress to the workbench store in an endless loop until it is killed. The reports are
// written coalesced, off this thread; each step is announced on standard output once the stored list
// holds it. The interruption test kills it mid-loop, often while a write is under way.
#include "RunningTask.h"
#include "core/state/WorkbenchStore.h"

#include <QCoreApplication>
#include <QRegularExpression>
#include <cstdio>

namespace {

// The step of the stored report; 0 before the first.
qint64 storedStep(const DefaultsStore& defaults) {
    static const QRegularExpression step(QStringLiteral("\"message\":\"step (\\d+)\""));
    const QByteArray bytes = defaults.data(QStringLiteral("workbenchTasks")).value_or(QByteArray());
    return step.match(QString::fromUtf8(bytes)).captured(1).toLongLong();
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    if (argc != 2) return 2;
    const DefaultsStore defaults(QString::fromLocal8Bit(argv[1]));
    WorkbenchStore store(defaults);
    const QDateTime now = QDateTime::currentDateTimeUtc();
    // Many long records make each write large, so the kill often lands inside one. A later run adds
    // one task to report on, as the earlier one was closed at this start.
    const int added = store.tasks().isEmpty() ? 40 : 1;
    for (int i = 0; i < added; ++i) {
        store.addTask(runningTask(QStringLiteral("task %1 ").arg(i) + QString(4000, QLatin1Char('n')),
                                  ArchiveActivityKind::compress, now));
    }
    const QUuid id = store.tasks().first().id;
    qint64 announced = 0;
    for (qint64 step = 1;; ++step) {
        store.updateTaskProgress(id, 0.5, QStringLiteral("step %1").arg(step));
        QCoreApplication::processEvents();
        const qint64 stored = storedStep(defaults);
        if (stored == announced) continue;
        announced = stored;
        std::printf("%lld\n", static_cast<long long>(stored));
        std::fflush(stdout);
    }
}
