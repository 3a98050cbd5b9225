#pragma once

#include "core/state/ArchiveTask.h"
#include "viewmodels/TaskPageRules.h"
#include "views/kit/Card.h"

#include <map>
#include <optional>

class CapsuleProgressBar;
class ElidedLabel;
class FileIcon;
class QLabel;
class QPushButton;
class StatusBadge;

// How one task of the tasks page looks: kind tile, name, target folder, status badge, progress bar,
// percentage, last message and the buttons its status offers. The list draws every row in sight with
// one card that it hands each row's task, so a card's height is the same for every task: the name and
// the folder take one line each and the message two, a cut text offering itself whole as its tip.
class TaskCard : public Card {
    Q_OBJECT

public:
    explicit TaskCard(QWidget* parent = nullptr);

    const ArchiveTask& task() const { return m_task; }
    void setTask(const ArchiveTask& task);

    QString percentText() const;
    // The button of an action the task's status offers; null otherwise.
    QPushButton* actionButton(TaskPageRules::TaskAction action) const;
    // The action whose button is at `position` (the card's coordinates), with the card laid out.
    std::optional<TaskPageRules::TaskAction> actionAt(const QPoint& position) const;
    // The whole text of a cut label at `position`, else nothing.
    QString cutTextAt(const QPoint& position) const;

private:
    QPushButton* makeButton(TaskPageRules::TaskAction action);

    ArchiveTask m_task;
    FileIcon* m_icon;
    ElidedLabel* m_name;
    ElidedLabel* m_target;
    StatusBadge* m_badge;
    CapsuleProgressBar* m_bar;
    QLabel* m_percent;
    ElidedLabel* m_message;
    std::map<TaskPageRules::TaskAction, QPushButton*> m_buttons;
};
