#pragma once

#include "core/state/ArchiveActivityStatus.h"

#include <QSortFilterProxyModel>
#include <optional>

// The tasks of a TaskListModel with the page's status, or all of them, in the store's order. A task
// whose status changes joins or leaves the rows at once.
class TaskFilterProxy : public QSortFilterProxyModel {
    Q_OBJECT

public:
    using QSortFilterProxyModel::QSortFilterProxyModel;

    void setStatusFilter(const std::optional<ArchiveActivityStatus>& status);

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;

private:
    std::optional<ArchiveActivityStatus> m_status;
};
