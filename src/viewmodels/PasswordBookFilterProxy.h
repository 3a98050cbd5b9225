#pragma once

#include "core/state/ArchivePasswordBookKind.h"

#include <QSortFilterProxyModel>

// Shows one book of a PasswordBookTableModel, narrowed by the search text, in book order.
class PasswordBookFilterProxy : public QSortFilterProxyModel {
    Q_OBJECT

public:
    using QSortFilterProxyModel::QSortFilterProxyModel;

    ArchivePasswordBookKind kind() const { return m_kind; }
    void setKind(ArchivePasswordBookKind kind);
    void setSearch(const QString& search);

    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;

private:
    ArchivePasswordBookKind m_kind = ArchivePasswordBookKind::extraction;
    QString m_query;
};
