#pragma once

#include "core/state/ArchiveTask.h"
#include "views/kit/Card.h"

class CapsuleProgressBar;
class ElidedLabel;
class FileIcon;
class QLabel;
class StatusBadge;

// A running task as a compact card: the kind tile, the name with its status badge, the progress bar,
// the message and the target, and the percentage in a 44 px column coloured by status. setTask
// updates it in place, so progress reports do not rebuild it.
class CompactTaskRow : public Card {
    Q_OBJECT

public:
    explicit CompactTaskRow(const ArchiveTask& task, QWidget* parent = nullptr);

    void setTask(const ArchiveTask& task);
    const ArchiveTask& task() const { return m_task; }
    QString percentText() const;
    double barProgress() const;

private:
    ArchiveTask m_task;
    FileIcon* m_icon;
    ElidedLabel* m_name;
    StatusBadge* m_badge;
    CapsuleProgressBar* m_bar;
    ElidedLabel* m_message;
    ElidedLabel* m_target;
    QLabel* m_percent;
};
