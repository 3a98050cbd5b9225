#pragma once

#include "core/state/ArchiveTask.h"
#include "viewmodels/TaskPageRules.h"
#include "views/kit/Card.h"

#include <map>

class CapsuleProgressBar;
class ElidedLabel;
class FileIcon;
class QHBoxLayout;
class QLabel;
class QPushButton;
class StatusBadge;
class TasksViewModel;

// One task of the tasks page: kind tile, name, target folder, status badge, progress bar, percentage,
// last message and the buttons its status offers. The page keeps one card per task id and hands it
// every new state of its task, so the card changes in place while the task reports progress.
class TaskCard : public Card {
    Q_OBJECT

public:
    TaskCard(const ArchiveTask& task, TasksViewModel& model, QWidget* parent = nullptr);

    const ArchiveTask& task() const { return m_task; }
    void setTask(const ArchiveTask& task);

    QString percentText() const;
    // The button of an action the task's status offers; null otherwise.
    QPushButton* actionButton(TaskPageRules::TaskAction action) const;

private:
    void showTask(const ArchiveTask& task);
    void syncActions();
    QPushButton* makeButton(TaskPageRules::TaskAction action);

    ArchiveTask m_task;
    TasksViewModel& m_model;
    FileIcon* m_icon;
    ElidedLabel* m_name;
    ElidedLabel* m_target;
    StatusBadge* m_badge;
    CapsuleProgressBar* m_bar;
    QLabel* m_percent;
    ElidedLabel* m_message;
    QHBoxLayout* m_actions;
    std::map<TaskPageRules::TaskAction, QPushButton*> m_buttons;
};
