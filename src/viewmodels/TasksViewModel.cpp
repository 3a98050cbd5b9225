#include "viewmodels/TasksViewModel.h"

#include "core/state/WorkbenchStore.h"
#include "viewmodels/OperationFailure.h"
#include "viewmodels/Publish.h"
#include "viewmodels/TaskFilterProxy.h"
#include "viewmodels/TaskListModel.h"
#include "viewmodels/WorkbenchContext.h"

TasksViewModel::TasksViewModel(WorkbenchContext& context, QObject* parent)
    : QObject(parent),
      m_context(context),
      m_rows(new TaskListModel(this)),
      m_shownRows(new TaskFilterProxy(this)) {
    m_shownRows->setSourceModel(m_rows);
    // The rows first, so that the page reading them for tasksChanged() finds them up to date.
    connect(&context.workbenchStore(), &WorkbenchStore::tasksChanged, this, &TasksViewModel::syncRows);
    connect(&context.workbenchStore(), &WorkbenchStore::tasksChanged, this, &TasksViewModel::tasksChanged);
    syncRows();
}

void TasksViewModel::setTaskFilter(const std::optional<ArchiveActivityStatus>& value) {
    if (value == m_taskFilter) return;
    m_shownRows->setStatusFilter(value);
    publish(this, m_taskFilter, value);
}

QAbstractItemModel* TasksViewModel::shownTaskRows() const { return m_shownRows; }

QString TasksViewModel::taskListCondition() const {
    const WorkbenchStore& store = m_context.workbenchStore();
    return TaskPageRules::conditionText(store.unreadTasks(), store.tasksFilePath());
}

const QList<ArchiveTask>& TasksViewModel::tasks() const { return m_context.workbenchStore().tasks(); }

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

void TasksViewModel::syncRows() { m_rows->setTasks(tasks()); }

void TasksViewModel::showSaveFailure(const std::optional<QString>& failure) {
    if (failure) m_context.setAlertMessage(OperationFailure::saveFailed(*failure));
}
