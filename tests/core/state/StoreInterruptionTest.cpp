#include "core/state/WorkbenchStore.h"
#include "support/TempTree.h"

#include <gtest/gtest.h>
#include <QDeadlineTimer>
#include <QProcess>
#include <QRegularExpression>

namespace {

// Reads the writer's step announcements until it has stored at least `steps`; answers the last one.
qint64 waitForSteps(QProcess& writer, qint64 steps) {
    QDeadlineTimer deadline(60000);
    qint64 last = 0;
    while (last < steps && !deadline.hasExpired()) {
        if (!writer.canReadLine() && !writer.waitForReadyRead(static_cast<int>(deadline.remainingTime())))
            break;
        while (writer.canReadLine()) last = writer.readLine().trimmed().toLongLong();
    }
    return last;
}

// A writer killed at an arbitrary moment leaves the value of its last finished write or of the write it
// was in, never a mixture: the list always decodes, and its step is at least the last one announced.
TEST(StoreInterruption, KilledWriterLeavesAWholeValue) {
    TempTree tree;
    const QString folder = tree.path("defaults");
    for (qint64 round = 1; round <= 5; ++round) {
        QProcess writer;
        writer.start(QStringLiteral(VELMORA_STORE_WRITER), {folder});
        ASSERT_TRUE(writer.waitForStarted());
        const qint64 announced = waitForSteps(writer, 3 * round);
        ASSERT_GE(announced, 3 * round);
        writer.kill();
        ASSERT_TRUE(writer.waitForFinished());

        const std::optional<QByteArray> bytes = DefaultsStore(folder).data(QStringLiteral("workbenchTasks"));
        ASSERT_TRUE(bytes.has_value());
        const WorkbenchStore store(DefaultsStore{folder});
        ASSERT_EQ(store.tasks().size(), 39 + round) << "round " << round;
        // The task the writer reported on was closed as interrupted at this start.
        EXPECT_EQ(store.tasks().first().status, ArchiveActivityStatus::cancelled);
        const QRegularExpressionMatch step = QRegularExpression(QStringLiteral("\"message\":\"step (\\d+)\""))
                                                 .match(QString::fromUtf8(*bytes));
        ASSERT_TRUE(step.hasMatch());
        EXPECT_GE(step.captured(1).toLongLong(), announced);
    }
}

}  // namespace
