// Writes the workbench store in an endless loop until it is killed: a progress report per step, each
// announced on standard output once it is stored. The interruption test kills it mid-loop.
#include "RunningTask.h"
#include "core/state/WorkbenchStore.h"

#include <QTextStream>
#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    WorkbenchStore store(DefaultsStore(QString::fromLocal8Bit(argv[1])));
    const QDateTime now = QDateTime::currentDateTimeUtc();
    // Many long records make each write large, so the kill often lands inside one. A later run adds
    // one task to report on, as the earlier one was closed at this start.
    const int added = store.tasks().isEmpty() ? 40 : 1;
    for (int i = 0; i < added; ++i) {
        store.addTask(runningTask(QStringLiteral("task %1 ").arg(i) + QString(4000, QLatin1Char('n')),
                                  ArchiveActivityKind::compress, now));
    }
    const QUuid id = store.tasks().first().id;
    for (qint64 step = 1;; ++step) {
        store.updateTaskProgress(id, 0.5, QStringLiteral("step %1").arg(step));
        std::printf("%lld\n", static_cast<long long>(step));
        std::fflush(stdout);
    }
}
