#include "viewmodels/HistoryTableModel.h"

#include "viewmodels/DateFormattingHelper.h"

namespace {

QVariant displayText(const ArchiveHistoryRecord& record, int column) {
    switch (column) {
        case HistoryTableModel::fileNameColumn:
            return record.fileName;
        case HistoryTableModel::pathColumn:
            return record.path;
        case HistoryTableModel::kindColumn:
            return ArchiveActivityKinds::title(record.kind);
        case HistoryTableModel::statusColumn:
            return ArchiveActivityStatuses::title(record.status);
        case HistoryTableModel::timeColumn:
            return DateFormattingHelper::dateTime(record.createdAt);
        case HistoryTableModel::sizeColumn:
            return record.sizeDescription;
        default:
            return {};
    }
}

// The status word alone says "失败"; the record's own message says why, over its name and status.
QVariant reasonTip(const ArchiveHistoryRecord& record, int column) {
    if (record.message.isEmpty()) return {};
    if (column != HistoryTableModel::fileNameColumn && column != HistoryTableModel::statusColumn) return {};
    return record.message;
}

}  // namespace

void HistoryTableModel::setRecords(const QList<ArchiveHistoryRecord>& records) {
    beginResetModel();
    m_records = records;
    endResetModel();
}

int HistoryTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(m_records.size());
}

int HistoryTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kColumnCount;
}

QVariant HistoryTableModel::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid)) return {};
    const ArchiveHistoryRecord& record = m_records[index.row()];
    switch (role) {
        case Qt::DisplayRole:
            return displayText(record, index.column());
        case Qt::TextAlignmentRole:
            return index.column() >= kindColumn ? int(Qt::AlignCenter)
                                                : int(Qt::AlignLeft | Qt::AlignVCenter);
        case KindRole:
            return int(record.kind);
        case StatusRole:
            return int(record.status);
        case PathRole:
            return record.path;
        case Qt::ToolTipRole:
            return reasonTip(record, index.column());
        default:
            return {};
    }
}

QVariant HistoryTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal) return {};
    if (role == Qt::TextAlignmentRole) {
        return section >= kindColumn ? int(Qt::AlignCenter) : int(Qt::AlignLeft | Qt::AlignVCenter);
    }
    if (role != Qt::DisplayRole) return {};
    static const QStringList titles{
        QStringLiteral(u"文件名称"), QStringLiteral(u"路径"), QStringLiteral(u"类型"),
        QStringLiteral(u"状态"),     QStringLiteral(u"时间"), QStringLiteral(u"大小"),
        QStringLiteral(u"操作"),
    };
    return titles.value(section);
}
