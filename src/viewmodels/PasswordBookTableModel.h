#pragma once

#include "core/state/ArchivePasswordBookEntry.h"

#include <QAbstractTableModel>
#include <QList>

// Which field of an entry a table cell edits.
enum class PasswordBookEditableField { label, password };

// Both books as last read from the store, one row per entry in book order; the filter proxy picks
// the shown book. The index column has no data: its numbers count the shown rows, so the view draws
// them. An edited cell is not written here: the model announces the finished edit and the
// page stores it and reloads, so the table always shows what the store keeps.
class PasswordBookTableModel : public QAbstractTableModel {
    Q_OBJECT

public:
    enum Column { indexColumn, labelColumn, passwordColumn, lastUsedColumn, actionsColumn };
    static constexpr int kColumnCount = actionsColumn + 1;
    enum Role { EntryIDRole = Qt::UserRole + 1 };

    using QAbstractTableModel::QAbstractTableModel;

    void setEntries(const QList<ArchivePasswordBookEntry>& entries);
    const QList<ArchivePasswordBookEntry>& entries() const { return m_entries; }
    void setRevealPasswords(bool reveal);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    // Emits editFinished when the text differs from the entry's; changes nothing itself.
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

Q_SIGNALS:
    void editFinished(const QUuid& entryID, PasswordBookEditableField field, const QString& value);

private:
    QList<ArchivePasswordBookEntry> m_entries;
    bool m_revealPasswords = false;
};
