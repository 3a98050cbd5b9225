#pragma once

#include "core/state/ArchiveTask.h"

#include <QAbstractListModel>
#include <QList>

// The workbench tasks, one row per task in the store's order (newest first); TaskRole holds the whole
// task. A new list is compared with the rows shown by task id: tasks added in front, tasks changed in
// place and tasks removed reach the view as just those rows, so a view keeps its place and selection
// while tasks run and end; any other change, and a removal scattered over many runs, resets it.
class TaskListModel : public QAbstractListModel {
    Q_OBJECT

public:
    enum Role { TaskRole = Qt::UserRole + 1, StatusRole };
    static constexpr int kMostRemovedRuns = 32;

    using QAbstractListModel::QAbstractListModel;

    void setTasks(const QList<ArchiveTask>& tasks);
    const QList<ArchiveTask>& tasks() const { return m_tasks; }

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

private:
    bool insertedInFront(const QList<ArchiveTask>& tasks);
    bool removedSome(const QList<ArchiveTask>& tasks);
    void takeChanges(const QList<ArchiveTask>& tasks);

    QList<ArchiveTask> m_tasks;
};
