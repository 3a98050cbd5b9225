#pragma once

#include <QHash>
#include <QList>
#include <QUuid>
#include <QWidget>

class EmptyState;
class QLabel;
class QPushButton;
class QVBoxLayout;
class TaskCard;
class TasksViewModel;

// The tasks page: the store's tasks filtered by status as cards, each with the buttons its status
// offers, and the bulk "清空已完成" and "全部暂停". Cards are kept by task id and updated in place as
// the store reports progress. The filter and every change to tasks are the page's TasksViewModel.
class TasksPage : public QWidget {
    Q_OBJECT

public:
    explicit TasksPage(TasksViewModel& model, QWidget* parent = nullptr);

    // The filter buttons in their order: all, running, completed, failed, paused, cancelled.
    const QList<QPushButton*>& filterButtons() const { return m_filters; }
    // The cards shown, top to bottom.
    QList<TaskCard*> cards() const;
    TaskCard* card(const QUuid& taskId) const { return m_cards.value(taskId); }
    QLabel* countLabel() const { return m_count; }
    bool showsEmptyState() const;
    QPushButton* clearCompletedButton() const { return m_clearCompleted; }
    QPushButton* pauseAllButton() const { return m_pauseAll; }

private:
    QWidget* buildFilterBar();
    QWidget* buildList();
    QWidget* buildBottomBar();
    void sync();
    void syncFilterBar();
    void placeCards();

    TasksViewModel& m_model;
    QList<QPushButton*> m_filters;
    QVBoxLayout* m_list = nullptr;
    EmptyState* m_empty = nullptr;
    QHash<QUuid, TaskCard*> m_cards;
    QLabel* m_count = nullptr;
    QPushButton* m_clearCompleted = nullptr;
    QPushButton* m_pauseAll = nullptr;
};
