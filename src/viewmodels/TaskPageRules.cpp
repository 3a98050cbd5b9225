#include "viewmodels/TaskPageRules.h"

#include <algorithm>
#include <cmath>

namespace TaskPageRules {

QList<ArchiveTask> filteredTasks(const QList<ArchiveTask>& tasks,
                                 const std::optional<ArchiveActivityStatus>& status) {
    if (!status) return tasks;
    QList<ArchiveTask> shown;
    for (const ArchiveTask& task : tasks) {
        if (task.status == *status) shown << task;
    }
    return shown;
}

QList<FilterButton> filterButtons(const QList<ArchiveTask>& tasks) {
    using Status = ArchiveActivityStatus;
    const auto button = [&tasks](const QString& prefix, std::optional<Status> status) {
        return FilterButton{prefix + QLatin1Char('(') + QString::number(filteredTasks(tasks, status).size()) +
                                QLatin1Char(')'),
                            status};
    };
    return {
        button(QStringLiteral(u"全部"), std::nullopt),
        button(QStringLiteral(u"进行中"), Status::running),
        button(QStringLiteral(u"已完成"), Status::completed),
        button(QStringLiteral(u"失败"), Status::failed),
        button(QStringLiteral(u"已暂停"), Status::paused),
        button(QStringLiteral(u"已取消"), Status::cancelled),
    };
}

QString taskCountText(qsizetype count) {
    return QStringLiteral(u"共 ") + QString::number(count) + QStringLiteral(u" 个任务");
}

double clampedProgress(double progress) {
    if (!std::isfinite(progress)) return 0;
    return std::clamp(progress, 0.0, 1.0);
}

QList<TaskAction> actions(ArchiveActivityStatus status) {
    switch (status) {
        case ArchiveActivityStatus::running:
            return {TaskAction::pause, TaskAction::cancel};
        case ArchiveActivityStatus::paused:
        case ArchiveActivityStatus::completed:
        case ArchiveActivityStatus::cancelled:
            return {TaskAction::remove};
        case ArchiveActivityStatus::failed:
            return {};
    }
    return {};
}

}  // namespace TaskPageRules
