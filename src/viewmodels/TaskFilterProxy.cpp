#include "viewmodels/TaskFilterProxy.h"

#include "viewmodels/TaskListModel.h"

void TaskFilterProxy::setStatusFilter(const std::optional<ArchiveActivityStatus>& status) {
    if (m_status == status) return;
    m_status = status;
    invalidateFilter();
}

bool TaskFilterProxy::filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const {
    const auto* model = qobject_cast<const TaskListModel*>(sourceModel());
    if (!model || sourceParent.isValid()) return false;
    return !m_status || model->tasks().at(sourceRow).status == *m_status;
}
