#include "viewmodels/TasksViewModel.h"

#include "core/state/WorkbenchStore.h"
#include "viewmodels/OperationFailure.h"
#include "viewmodels/Publish.h"
#include "viewmodels/WorkbenchContext.h"

TasksViewModel::TasksViewModel(WorkbenchContext& context, QObject* parent)
    : QObject(parent), m_context(context) {
    connect(&context.workbenchStore(), &WorkbenchStore::tasksChanged, this, &TasksViewModel::tasksChanged);
}

void TasksViewModel::setTaskFilter(const std::optional<ArchiveActivityStatus>& value) {
    publish(this, m_taskFilter, value);
}

const QList<ArchiveTask>& TasksViewModel::tasks() const { return m_context.workbenchStore().tasks(); }

QList<ArchiveTask> TasksViewModel::shownTasks() const {
    return TaskPageRules::filteredTasks(tasks(), m_taskFilter);
}

QList<TaskPageRules::FilterButton> TasksViewModel::filterButtons() const {
    return TaskPageRules::filterButtons(tasks());
}

void TasksViewModel::pauseTask(const QUuid& id) { m_context.workbenchStore().pauseTask(id); }

void TasksViewModel::cancelTask(const QUuid& id) { m_context.workbenchStore().cancelTask(id); }

void TasksViewModel::removeTask(const QUuid& id) {
    showSaveFailure(m_context.workbenchStore().deleteTask(id));
}

void TasksViewModel::clearCompletedTasks() {
    showSaveFailure(m_context.workbenchStore().clearCompletedTasks());
}

void TasksViewModel::pauseAllRunningTasks() { m_context.workbenchStore().pauseAllRunningTasks(); }

void TasksViewModel::showSaveFailure(const std::optional<QString>& failure) {
    if (failure) m_context.setAlertMessage(OperationFailure::saveFailed(*failure));
}
