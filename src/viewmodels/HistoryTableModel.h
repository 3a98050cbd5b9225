#pragma once

#include "core/state/ArchiveHistoryRecord.h"

#include <QAbstractTableModel>
#include <QList>

// The workbench history, one row per record in the store's order (newest first). The kind and status
// columns carry their enum in KindRole and StatusRole, so the view can colour the words. The name
// and status cells carry the record's message (why it failed) as their tool tip.
class HistoryTableModel : public QAbstractTableModel {
    Q_OBJECT

public:
    enum Column {
        fileNameColumn,
        pathColumn,
        kindColumn,
        statusColumn,
        timeColumn,
        sizeColumn,
        actionsColumn
    };
    static constexpr int kColumnCount = actionsColumn + 1;
    enum Role { KindRole = Qt::UserRole + 1, StatusRole, PathRole };

    using QAbstractTableModel::QAbstractTableModel;

    void setRecords(const QList<ArchiveHistoryRecord>& records);
    const QList<ArchiveHistoryRecord>& records() const { return m_records; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    QList<ArchiveHistoryRecord> m_records;
};
