#include "viewmodels/PasswordBookTableModel.h"

#include "viewmodels/DateFormattingHelper.h"
#include "viewmodels/PasswordBookPageRules.h"

void PasswordBookTableModel::setEntries(const QList<ArchivePasswordBookEntry>& entries) {
    beginResetModel();
    m_entries = entries;
    endResetModel();
}

void PasswordBookTableModel::setRevealPasswords(bool reveal) {
    if (m_revealPasswords == reveal) return;
    m_revealPasswords = reveal;
    if (m_entries.isEmpty()) return;
    Q_EMIT dataChanged(index(0, passwordColumn), index(rowCount() - 1, passwordColumn));
}

int PasswordBookTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(m_entries.size());
}

int PasswordBookTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kColumnCount;
}

QVariant PasswordBookTableModel::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid)) return {};
    const ArchivePasswordBookEntry& entry = m_entries[index.row()];
    if (role == EntryIDRole) return entry.id;
    if (role == Qt::EditRole) {
        if (index.column() == labelColumn) return entry.label;
        if (index.column() == passwordColumn) return entry.password;
        return {};
    }
    if (role != Qt::DisplayRole) return {};
    switch (index.column()) {
        case labelColumn:
            return entry.label;
        case passwordColumn:
            return m_revealPasswords ? entry.password : PasswordBookPageRules::maskedPassword(entry.password);
        case lastUsedColumn:
            return DateFormattingHelper::dateTime(entry.lastUsedAt);
        default:
            return {};
    }
}

QVariant PasswordBookTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
    switch (section) {
        case indexColumn:
            return QStringLiteral(u"序号");
        case labelColumn:
            return QStringLiteral(u"名称（单击编辑）");
        case passwordColumn:
            return PasswordBookPageRules::passwordColumnTitle(ArchivePasswordBookKind::extraction);
        case lastUsedColumn:
            return QStringLiteral(u"最后使用");
        case actionsColumn:
            return QStringLiteral(u"操作");
        default:
            return {};
    }
}

Qt::ItemFlags PasswordBookTableModel::flags(const QModelIndex& index) const {
    const Qt::ItemFlags flags = QAbstractTableModel::flags(index);
    if (index.column() == labelColumn || index.column() == passwordColumn) return flags | Qt::ItemIsEditable;
    return flags;
}

bool PasswordBookTableModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::EditRole || !checkIndex(index, CheckIndexOption::IndexIsValid)) return false;
    if (index.column() != labelColumn && index.column() != passwordColumn) return false;
    const QString text = value.toString();
    if (text == data(index, Qt::EditRole).toString()) return false;
    const PasswordBookEditableField field = index.column() == labelColumn
                                                ? PasswordBookEditableField::label
                                                : PasswordBookEditableField::password;
    Q_EMIT editFinished(m_entries[index.row()].id, field, text);
    return true;
}
