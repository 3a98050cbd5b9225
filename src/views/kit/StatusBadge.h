#pragma once

#include "core/state/ArchiveActivityStatus.h"

#include <QWidget>

// A task status word ("进行中", "成功", ...) in its colour on a capsule of the same colour at 12 %.
class StatusBadge : public QWidget {
    Q_OBJECT

public:
    explicit StatusBadge(ArchiveActivityStatus status, QWidget* parent = nullptr);

    ArchiveActivityStatus status() const { return m_status; }
    void setStatus(ArchiveActivityStatus status);
    QString text() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    ArchiveActivityStatus m_status;
};
