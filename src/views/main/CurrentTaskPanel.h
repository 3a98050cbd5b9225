#pragma once

#include "views/kit/Card.h"

class CompactTaskRow;
class EmptyState;
class TasksViewModel;

// The home page's card of the first running task (paused tasks do not count), or "暂无进行中的任务".
class CurrentTaskPanel : public Card {
    Q_OBJECT

public:
    explicit CurrentTaskPanel(TasksViewModel& tasks, QWidget* parent = nullptr);

    // Null while no task runs.
    CompactTaskRow* taskRow() const;

private:
    void syncFromModel();

    TasksViewModel& m_tasks;
    CompactTaskRow* m_row = nullptr;
    EmptyState* m_empty;
};
