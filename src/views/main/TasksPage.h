#pragma once

#include <QList>
#include <QUuid>
#include <QWidget>

class EmptyState;
class QLabel;
class QListView;
class QPushButton;
class QStackedWidget;
class TaskCard;
class TaskListDelegate;
class TasksViewModel;

// The tasks page: the store's tasks filtered by status as cards, each with the buttons its status
// offers, and the bulk "清空已完成" and "全部暂停". The cards are rows of a list view drawn by
// TaskListDelegate, so only the rows in sight cost anything and the list keeps its place as tasks
// report progress. A stored list that could not be read is named above the list, with where its copy
// is. The filter and every change to tasks are the page's TasksViewModel.
class TasksPage : public QWidget {
    Q_OBJECT

public:
    explicit TasksPage(TasksViewModel& model, QWidget* parent = nullptr);

    // The filter buttons in their order: all, running, completed, failed, paused, cancelled.
    const QList<QPushButton*>& filterButtons() const { return m_filters; }
    QListView* list() const { return m_list; }
    TaskListDelegate* delegate() const { return m_delegate; }
    // The card as drawn for the shown row of the task, laid out in its row; null when not shown.
    const TaskCard* card(const QUuid& taskId) const;
    QLabel* countLabel() const { return m_count; }
    QLabel* conditionLabel() const { return m_condition; }
    bool showsEmptyState() const;
    QPushButton* clearCompletedButton() const { return m_clearCompleted; }
    QPushButton* pauseAllButton() const { return m_pauseAll; }

private:
    QWidget* buildFilterBar();
    QWidget* buildList();
    QWidget* buildBottomBar();
    void sync();
    void syncFilterBar();

    TasksViewModel& m_model;
    TaskListDelegate* m_delegate = nullptr;
    QList<QPushButton*> m_filters;
    QLabel* m_condition = nullptr;
    QStackedWidget* m_listStack = nullptr;
    QListView* m_list = nullptr;
    EmptyState* m_empty = nullptr;
    QLabel* m_count = nullptr;
    QPushButton* m_clearCompleted = nullptr;
    QPushButton* m_pauseAll = nullptr;
};
