#include "viewmodels/TaskFilterProxy.h"

#include "viewmodels/TaskListModel.h"
#include "viewmodels/TaskPageRules.h"

void TaskFilterProxy::setStatusFilter(const std::optional<ArchiveActivityStatus>& status) {
    if (m_status == status) return;
    // Another filter is another list: one reset, where telling the view of every run of rows that
    // joins or leaves costs more than the rows themselves at tens of thousands of tasks.
    beginResetModel();
    m_status = status;
    endResetModel();
}

bool TaskFilterProxy::filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const {
    const auto* model = qobject_cast<const TaskListModel*>(sourceModel());
    if (!model || sourceParent.isValid()) return false;
    return TaskPageRules::isShown(model->tasks().at(sourceRow), m_status);
}
