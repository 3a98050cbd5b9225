#include "viewmodels/TaskListModel.h"

namespace {

bool sameIds(const QList<ArchiveTask>& a, qsizetype aFrom, const QList<ArchiveTask>& b) {
    if (a.size() - aFrom != b.size()) return false;
    for (qsizetype i = 0; i < b.size(); ++i) {
        if (a[aFrom + i].id != b[i].id) return false;
    }
    return true;
}

}  // namespace

void TaskListModel::setTasks(const QList<ArchiveTask>& tasks) {
    if (sameIds(tasks, 0, m_tasks) || insertedInFront(tasks) || removedSome(tasks)) {
        takeChanges(tasks);
        return;
    }
    beginResetModel();
    m_tasks = tasks;
    endResetModel();
}

// Rows that stay keep their old content here; takeChanges() brings it up to date.
bool TaskListModel::insertedInFront(const QList<ArchiveTask>& tasks) {
    const qsizetype added = tasks.size() - m_tasks.size();
    if (added <= 0 || !sameIds(tasks, added, m_tasks)) return false;
    beginInsertRows({}, 0, int(added) - 1);
    m_tasks = tasks.first(added) + m_tasks;
    endInsertRows();
    return true;
}

// The new list is the old one less some tasks, in the same order; each run of removed rows goes at once.
// Past kMostRemovedRuns runs the view is reset instead: each run is a signal through every proxy and
// view, and clearing the completed among tens of thousands of tasks leaves thousands of runs.
bool TaskListModel::removedSome(const QList<ArchiveTask>& tasks) {
    if (tasks.size() >= m_tasks.size()) return false;
    QList<bool> kept(m_tasks.size(), false);
    qsizetype next = 0;
    int runs = 0;
    for (qsizetype row = 0; row < m_tasks.size(); ++row) {
        if (next < tasks.size() && m_tasks[row].id == tasks[next].id) {
            kept[row] = true;
            ++next;
        } else if (row == 0 || kept[row - 1]) {
            ++runs;
        }
    }
    if (next != tasks.size() || runs > kMostRemovedRuns) return false;
    for (qsizetype last = m_tasks.size() - 1; last >= 0;) {
        if (kept[last]) {
            --last;
            continue;
        }
        qsizetype first = last;
        while (first > 0 && !kept[first - 1]) --first;
        beginRemoveRows({}, int(first), int(last));
        m_tasks.remove(first, last - first + 1);
        endRemoveRows();
        last = first - 1;
    }
    return true;
}

// The same tasks in the same order as the rows: the changed ones are told, each run of them at once.
void TaskListModel::takeChanges(const QList<ArchiveTask>& tasks) {
    const QList<ArchiveTask> old = m_tasks;
    m_tasks = tasks;
    for (qsizetype row = 0; row < tasks.size(); ++row) {
        if (old[row] == tasks[row]) continue;
        qsizetype last = row;
        while (last + 1 < tasks.size() && !(old[last + 1] == tasks[last + 1])) ++last;
        Q_EMIT dataChanged(index(int(row)), index(int(last)));
        row = last;
    }
}

int TaskListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(m_tasks.size());
}

QVariant TaskListModel::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid)) return {};
    const ArchiveTask& task = m_tasks[index.row()];
    switch (role) {
        case Qt::DisplayRole:
            return task.name;
        case TaskRole:
            return QVariant::fromValue(task);
        case StatusRole:
            return int(task.status);
        default:
            return {};
    }
}
