#include "viewmodels/TaskPageRules.h"

#include <algorithm>
#include <cmath>

namespace TaskPageRules {

bool isShown(const ArchiveTask& task, const std::optional<ArchiveActivityStatus>& filter) {
    return !filter || task.status == *filter;
}

QList<FilterButton> filterButtons(const QList<ArchiveTask>& tasks) {
    using Status = ArchiveActivityStatus;
    // Counted without copying: the list may hold tens of thousands of tasks, and the titles follow
    // every progress report.
    const auto count = [&tasks](std::optional<Status> status) {
        return qsizetype(std::count_if(tasks.cbegin(), tasks.cend(),
                                       [&](const ArchiveTask& task) { return isShown(task, status); }));
    };
    const auto button = [&count](const QString& prefix, std::optional<Status> status) {
        return FilterButton{prefix + QLatin1Char('(') + QString::number(count(status)) + QLatin1Char(')'),
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

QString conditionText(const std::optional<WorkbenchStore::UnreadTasks>& unread, const QString& listPath) {
    if (!unread) return {};
    if (unread->readFailure) {
        return QStringLiteral(u"无法读取任务列表文件 ") + listPath + QStringLiteral(u"（") +
               *unread->readFailure + QStringLiteral(u"）。在它能被读取之前，对任务的更改都无法保存。");
    }
    const QString text =
        QStringLiteral(u"任务列表文件 ") + listPath + QStringLiteral(u" 已损坏，其中的任务都无法读取。");
    if (unread->keepFailure) {
        return text + QStringLiteral(u"原文件无法另存（") + *unread->keepFailure +
               QStringLiteral(u"），在另存成功之前，对任务的更改都不会保存。");
    }
    return text + QStringLiteral(u"原文件已另存为 ") + unread->keptCopy.value_or(QString()) +
           QStringLiteral(u"。");
}

}  // namespace TaskPageRules
