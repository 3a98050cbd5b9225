#pragma once

#include "core/state/ArchiveTask.h"
#include "core/state/WorkbenchStore.h"

#include <QList>
#include <QString>
#include <optional>

// What the tasks page shows and offers for each task: one implementation shared by the page and the
// tests.
namespace TaskPageRules {

struct FilterButton {
    QString title;
    std::optional<ArchiveActivityStatus> status;
};

// The buttons offered on a task card, left to right.
enum class TaskAction { pause, cancel, remove };

// Whether the page shows the task under the filter: every task without one, else those of its status.
bool isShown(const ArchiveTask& task, const std::optional<ArchiveActivityStatus>& filter);
// "全部(n)", "进行中(n)", "已完成(n)", "失败(n)", "已暂停(n)", "已取消(n)", counted over all tasks.
QList<FilterButton> filterButtons(const QList<ArchiveTask>& tasks);
// "共 n 个任务".
QString taskCountText(qsizetype count);

// What a task card shows of a progress: held within 0...1, a value that is not finite as 0.
double clampedProgress(double progress);

QList<TaskAction> actions(ArchiveActivityStatus status);

// Why the page shows no stored tasks, when the stored list at `listPath` could not be read; empty
// when it could.
QString conditionText(const std::optional<WorkbenchStore::UnreadTasks>& unread, const QString& listPath);

}  // namespace TaskPageRules
