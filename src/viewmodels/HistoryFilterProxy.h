#pragma once

#include "core/state/ArchiveActivityKind.h"

#include <QSortFilterProxyModel>
#include <optional>

// The history records of a HistoryTableModel that pass the page's kind filter and search, in the
// store's order.
class HistoryFilterProxy : public QSortFilterProxyModel {
    Q_OBJECT

public:
    using QSortFilterProxyModel::QSortFilterProxyModel;

    void setKindFilter(const std::optional<ArchiveActivityKind>& kind);
    void setSearch(const QString& search);

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;

private:
    std::optional<ArchiveActivityKind> m_kind;
    QString m_search;
};
