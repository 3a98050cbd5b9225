#pragma once

#include "core/content/ArchivePreviewEntry.h"

#include <QAbstractTableModel>
#include <QList>
#include <optional>

class ArchivePreviewWindowModel;

// The browser's outline as table rows: name (indented by depth, with its disclosure state), size,
// date and kind. Rebuilt whole whenever the outline changes; per-row texts and icons are worked out
// only for the rows a view asks about.
class ArchiveEntryTableModel : public QAbstractTableModel {
    Q_OBJECT

public:
    enum Column { name, size, modified, kind, columnCount_ };
    enum Role { DepthRole = Qt::UserRole + 1, ExpandableRole, ExpandedRole, PathRole };

    explicit ArchiveEntryTableModel(ArchivePreviewWindowModel& model, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // Takes the model's current outline.
    void refresh();
    const ArchivePreviewEntry& entryAt(int row) const { return m_rows.at(row); }
    std::optional<int> rowOf(const QString& path) const;

    // The last component of the path, without slashes.
    static QString displayName(const QString& path);

private:
    QVariant nameData(const ArchivePreviewEntry& entry, int role) const;

    ArchivePreviewWindowModel& m_model;
    QList<ArchivePreviewEntry> m_rows;
};
