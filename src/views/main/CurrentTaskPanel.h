#pragma once

#include "views/kit/Card.h"

class CompactTaskRow;
class EmptyState;
class WorkbenchStore;

// The home page's card of the first running task (paused tasks do not count), or "暂无进行中的任务".
class CurrentTaskPanel : public Card {
    Q_OBJECT

public:
    explicit CurrentTaskPanel(WorkbenchStore& store, QWidget* parent = nullptr);

    // Null while no task runs.
    CompactTaskRow* taskRow() const;

private:
    void syncFromStore();

    WorkbenchStore& m_store;
    CompactTaskRow* m_row = nullptr;
    EmptyState* m_empty;
};
