#pragma once

#include "viewmodels/StatusKind.h"
#include "views/kit/Theme.h"

#include <QUuid>
#include <QWidget>

class CapsuleProgressBar;
class ElidedLabel;
class WorkbenchContext;
class QLabel;
class QToolButton;
class TasksViewModel;

// The status banner under a page's header. Visible exactly while the model has a status message
// (an empty text included); shows it with the symbol of its kind, or a box while the model works, and,
// while a task runs, the first running task's percentage, pause and cancel buttons and its progress
// bar. It keeps its height without a task. Until it first shows on a page it takes no room there, so a
// page with nothing to say has no empty band; from then on it keeps its room until the user leaves the
// page, so a message that goes in answer to a click never moves the controls under the pointer.
class FeedbackBanner : public QWidget {
    Q_OBJECT

public:
    enum class Room {
        // Taken from the first message until the page is left.
        keptWhileInUse,
        // Always taken: for a banner in a row beside other controls.
        alwaysKept,
    };

    struct Look {
        QString symbol;
        Theme::Colour colour;
        // Fill and outline; success and work keep the accent tint.
        Theme::Colour tint;
    };

    FeedbackBanner(WorkbenchContext& model, TasksViewModel& tasks, QWidget* parent = nullptr,
                   Room room = Room::keptWhileInUse);

    // The symbol and the tint of the banner: a box while the model works, else by the message's kind.
    static Look look(bool working, StatusKind kind);

    QString message() const;
    Look currentLook() const { return m_look; }
    QString percentText() const;
    QToolButton* pauseButton() const { return m_pause; }
    QToolButton* cancelButton() const { return m_cancel; }
    // The task the buttons act on; null while no task runs.
    QUuid taskId() const { return m_taskId; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void syncFromModel();
    void keepRoom(bool keep);

    WorkbenchContext& m_model;
    TasksViewModel& m_tasks;
    Room m_room;
    QLabel* m_symbol;
    ElidedLabel* m_message;
    QWidget* m_taskRow;
    QLabel* m_percent;
    QToolButton* m_pause;
    QToolButton* m_cancel;
    CapsuleProgressBar* m_bar;
    QUuid m_taskId;
    Look m_look = look(false, StatusKind::success);
};
