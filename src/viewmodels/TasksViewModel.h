#pragma once

#include "core/state/ArchiveActivityStatus.h"
#include "core/state/ArchiveTask.h"
#include "viewmodels/TaskPageRules.h"

#include <QList>
#include <QObject>
#include <QUuid>
#include <optional>

class QAbstractItemModel;
class TaskFilterProxy;
class TaskListModel;
class WorkbenchContext;

// The tasks page: the status filter, the tasks it shows (as a list model, for a view that draws only
// the rows in sight) and every change the user makes to tasks there (pause, cancel, remove, clear the
// finished, pause all). tasksChanged() follows the store, many times a second while a task reports
// progress. A save that fails is the context's alert.
class TasksViewModel : public QObject {
    Q_OBJECT

public:
    explicit TasksViewModel(WorkbenchContext& context, QObject* parent = nullptr);

    // The status shown; nothing shows all.
    const std::optional<ArchiveActivityStatus>& taskFilter() const { return m_taskFilter; }
    void setTaskFilter(const std::optional<ArchiveActivityStatus>& value);

    const QList<ArchiveTask>& tasks() const;
    // The tasks the filter shows, in the store's order; TaskListModel::TaskRole holds each task.
    QAbstractItemModel* shownTaskRows() const;
    QList<TaskPageRules::FilterButton> filterButtons() const;
    // Why no stored task is shown, when the stored list could not be read; empty otherwise.
    QString taskListCondition() const;

    void pauseTask(const QUuid& id);
    void cancelTask(const QUuid& id);
    void removeTask(const QUuid& id);
    void clearCompletedTasks();
    void pauseAllRunningTasks();

Q_SIGNALS:
    void changed();
    void tasksChanged();

private:
    void showSaveFailure(const std::optional<QString>& failure);
    void syncRows();

    WorkbenchContext& m_context;
    TaskListModel* m_rows;
    TaskFilterProxy* m_shownRows;
    std::optional<ArchiveActivityStatus> m_taskFilter;
};
