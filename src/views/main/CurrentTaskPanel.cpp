#include "views/main/CurrentTaskPanel.h"

#include "viewmodels/TasksViewModel.h"
#include "views/kit/EmptyState.h"
#include "views/kit/Labels.h"
#include "views/kit/WorkbenchTexts.h"
#include "views/main/CompactTaskRow.h"

#include <QVBoxLayout>

CurrentTaskPanel::CurrentTaskPanel(TasksViewModel& tasks, QWidget* parent)
    : Card(parent),
      m_tasks(tasks),
      m_empty(new EmptyState(QStringLiteral(u"暂无进行中的任务"), QStringLiteral("check-circle"), this)) {
    setMinimumHeight(238);
    contentLayout()->addWidget(
        Labels::make(QStringLiteral(u"当前任务"), Theme::TextStyle::title3, QFont::Bold));
    contentLayout()->addWidget(m_empty);
    contentLayout()->addStretch();
    connect(&m_tasks, &TasksViewModel::tasksChanged, this, &CurrentTaskPanel::syncFromModel);
    syncFromModel();
}

CompactTaskRow* CurrentTaskPanel::taskRow() const { return m_row && !m_row->isHidden() ? m_row : nullptr; }

void CurrentTaskPanel::syncFromModel() {
    const auto task = WorkbenchTexts::firstRunningTask(m_tasks.tasks());
    m_empty->setVisible(!task);
    if (!task) {
        if (m_row) m_row->hide();
        return;
    }
    if (!m_row) {
        m_row = new CompactTaskRow(*task, this);
        contentLayout()->insertWidget(1, m_row);
    }
    m_row->setTask(*task);
    m_row->show();
}
