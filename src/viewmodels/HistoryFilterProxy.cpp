#include "viewmodels/HistoryFilterProxy.h"

#include "viewmodels/HistoryPageRules.h"
#include "viewmodels/HistoryTableModel.h"

void HistoryFilterProxy::setKindFilter(const std::optional<ArchiveActivityKind>& kind) {
    if (m_kind == kind) return;
    m_kind = kind;
    invalidateFilter();
}

void HistoryFilterProxy::setSearch(const QString& search) {
    if (m_search == search) return;
    m_search = search;
    invalidateFilter();
}

bool HistoryFilterProxy::filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const {
    const auto* model = qobject_cast<const HistoryTableModel*>(sourceModel());
    if (!model || sourceParent.isValid()) return false;
    return HistoryPageRules::isShown(model->records().at(sourceRow), m_kind, m_search);
}
