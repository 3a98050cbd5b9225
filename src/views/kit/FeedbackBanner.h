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
// bar. It keeps its height without a task; hidden, it takes no room in the page.
class FeedbackBanner : public QWidget {
    Q_OBJECT

public:
    struct Look {
        QString symbol;
        Theme::Colour colour;
        // Fill and outline; success and work keep the accent tint.
        Theme::Colour tint;
    };

    FeedbackBanner(WorkbenchContext& model, TasksViewModel& tasks, QWidget* parent = nullptr);

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

    WorkbenchContext& m_model;
    TasksViewModel& m_tasks;
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
