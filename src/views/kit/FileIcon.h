#pragma once

#include "core/state/ArchiveActivityKind.h"

#include <QWidget>

// The tile of a task kind: its icon in the kind's colour on a rounded square of that colour at 12 %.
// 38 px by default; the current-task card shows it at 42.
class FileIcon : public QWidget {
    Q_OBJECT

public:
    explicit FileIcon(ArchiveActivityKind kind, int size = 38, QWidget* parent = nullptr);

    ArchiveActivityKind kind() const { return m_kind; }
    void setKind(ArchiveActivityKind kind);

    static QString iconName(ArchiveActivityKind kind);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    ArchiveActivityKind m_kind;
};
