#include "views/browser/ArchiveEntryTableModel.h"

#include "viewmodels/ArchivePreviewWindowModel.h"
#include "views/browser/ArchiveEntryIcon.h"

ArchiveEntryTableModel::ArchiveEntryTableModel(ArchivePreviewWindowModel& model, QObject* parent)
    : QAbstractTableModel(parent), m_model(model) {
    refresh();
}

int ArchiveEntryTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(m_rows.size());
}

int ArchiveEntryTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : columnCount_;
}

QString ArchiveEntryTableModel::displayName(const QString& path) {
    qsizetype end = path.size();
    while (end > 0 && path.at(end - 1) == u'/') --end;
    const qsizetype slash = path.lastIndexOf(u'/', end - 1);
    return path.mid(slash + 1, end - slash - 1);
}

QVariant ArchiveEntryTableModel::nameData(const ArchivePreviewEntry& entry, int role) const {
    switch (role) {
        case Qt::DisplayRole:
            return displayName(entry.path);
        case Qt::ToolTipRole:
            return entry.path;
        case Qt::DecorationRole:
            return ArchiveEntryIcon::icon(entry);
        case DepthRole:
            return m_model.depth(entry);
        case ExpandableRole:
            return m_model.isExpandable(entry);
        case ExpandedRole:
            return m_model.isExpanded(entry);
        default:
            return {};
    }
}

QVariant ArchiveEntryTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= m_rows.size()) return {};
    const ArchivePreviewEntry& entry = m_rows.at(index.row());
    if (role == PathRole) return entry.path;
    if (index.column() == name) return nameData(entry, role);
    if (role != Qt::DisplayRole) return {};
    const auto orDash = [](const QString& text) { return text.isEmpty() ? QStringLiteral("-") : text; };
    switch (index.column()) {
        case size:
            return orDash(entry.sizeDescription);
        case modified:
            return orDash(entry.modifiedDescription);
        case kind:
            return entry.kindDescription.isEmpty() ? QStringLiteral(u"文件") : entry.kindDescription;
        default:
            return {};
    }
}

QVariant ArchiveEntryTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
    switch (section) {
        case name:
            return QStringLiteral(u"名称");
        case size:
            return QStringLiteral(u"大小");
        case modified:
            return QStringLiteral(u"修改日期");
        case kind:
            return QStringLiteral(u"种类");
        default:
            return {};
    }
}

void ArchiveEntryTableModel::refresh() {
    beginResetModel();
    m_rows = m_model.filteredEntries();
    endResetModel();
}

std::optional<int> ArchiveEntryTableModel::rowOf(const QString& path) const {
    for (int row = 0; row < m_rows.size(); ++row) {
        if (m_rows[row].path == path) return row;
    }
    return std::nullopt;
}
