#include "viewmodels/PasswordBookFilterProxy.h"

#include "viewmodels/PasswordBookPageRules.h"
#include "viewmodels/PasswordBookTableModel.h"

void PasswordBookFilterProxy::setKind(ArchivePasswordBookKind kind) {
    if (m_kind == kind) return;
    m_kind = kind;
    invalidateFilter();
    Q_EMIT headerDataChanged(Qt::Horizontal, PasswordBookTableModel::passwordColumn,
                             PasswordBookTableModel::passwordColumn);
}

void PasswordBookFilterProxy::setSearch(const QString& search) {
    const QString query = PasswordBookPageRules::normalizedQuery(search);
    if (m_query == query) return;
    m_query = query;
    invalidateFilter();
}

QVariant PasswordBookFilterProxy::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole &&
        section == PasswordBookTableModel::passwordColumn) {
        return PasswordBookPageRules::passwordColumnTitle(m_kind);
    }
    return QSortFilterProxyModel::headerData(section, orientation, role);
}

bool PasswordBookFilterProxy::filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const {
    const auto* model = qobject_cast<const PasswordBookTableModel*>(sourceModel());
    if (!model || sourceParent.isValid()) return false;
    return PasswordBookPageRules::isShown(model->entries().at(sourceRow), m_kind, m_query);
}
