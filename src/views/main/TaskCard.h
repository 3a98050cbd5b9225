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
// one card that it hands each row's task, so every row has the same height: the name and the folder
// take one line each, a cut text offering itself whole as its tip; a message on two lines takes its
// second line from the card's bottom margin.
class TaskCard : public Card {
    Q_OBJECT

public:
    static constexpr int kMargin = 22;
    static constexpr int kLeastBottomMargin = 12;

    explicit TaskCard(QWidget* parent = nullptr);

    const ArchiveTask& task() const { return m_task; }
    void setTask(const ArchiveTask& task);

    QString percentText() const;
    // The button of an action the task's status offers; null otherwise.
    QPushButton* actionButton(TaskPageRules::TaskAction action) const;
    // Lays the card out at `size`, a row's, whatever its message's lines.
    void fitInto(const QSize& size);
    // The actions the task's status offers, left to right.
    QList<TaskPageRules::TaskAction> offeredActions() const;
    // With the card laid out, in its coordinates: where an offered action's button is (empty for
    // another action), and the action whose button is at `position`.
    QRect actionRect(TaskPageRules::TaskAction action) const;
    std::optional<TaskPageRules::TaskAction> actionAt(const QPoint& position) const;
    // The buttons drawn as the pointer leaves them: one under it, one held down.
    void showPointer(std::optional<TaskPageRules::TaskAction> hovered,
                     std::optional<TaskPageRules::TaskAction> pressed);
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
