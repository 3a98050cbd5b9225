#pragma once

#include <QUuid>
#include <QWidget>

class CapsuleProgressBar;
class ElidedLabel;
class MainViewModel;
class QLabel;
class QToolButton;
class WorkbenchStore;

// The status banner under a page's header. Visible exactly while the model has a status message
// (an empty text included); shows it with a check, or a box while the model works, and, while a task
// runs, the first running task's percentage, pause and cancel buttons and its progress bar.
class FeedbackBanner : public QWidget {
    Q_OBJECT

public:
    FeedbackBanner(MainViewModel& model, WorkbenchStore& store, QWidget* parent = nullptr);

    QString message() const;
    QString percentText() const;
    QToolButton* pauseButton() const { return m_pause; }
    QToolButton* cancelButton() const { return m_cancel; }
    // The task the buttons act on; null while no task runs.
    QUuid taskId() const { return m_taskId; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void syncFromModel();

    MainViewModel& m_model;
    WorkbenchStore& m_store;
    QLabel* m_symbol;
    ElidedLabel* m_message;
    QWidget* m_taskRow;
    QLabel* m_percent;
    QToolButton* m_pause;
    QToolButton* m_cancel;
    CapsuleProgressBar* m_bar;
    QUuid m_taskId;
};
