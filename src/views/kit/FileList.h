#pragma once

#include "core/state/ArchiveActivityKind.h"

#include <QStringList>
#include <QWidget>

class QVBoxLayout;
class SelectionSizes;

// The selected inputs of an operation page, one row per path: the kind tile, the name, then the
// size (from SelectionSizes, "…" until it is known) and the type, each row followed by a divider.
class FileList : public QWidget {
    Q_OBJECT

public:
    FileList(ArchiveActivityKind kind, const SelectionSizes& sizes, QWidget* parent = nullptr);

    // Rebuilds the rows when the list differs.
    void setPaths(const QStringList& paths);
    const QStringList& paths() const { return m_paths; }

    // The size column's text for a path.
    QString sizeText(const QString& path) const;

private:
    void rebuild();
    void refreshSizes();

    ArchiveActivityKind m_kind;
    const SelectionSizes& m_sizes;
    QStringList m_paths;
    QVBoxLayout* m_rows;
};
