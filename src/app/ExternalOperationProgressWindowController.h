#pragma once

#include "app/ExternalOperationProgressModel.h"

#include <QMessageBox>
#include <QObject>
#include <QPointer>
#include <functional>
#include <memory>

class ExternalOperationProgressView;

// The small floating window of one outside operation, opened centred, or where the progress windows
// of other operations still open leave room, so that none covers another: shown, updated and finished by its run
// (OutsideRun), which closes it shortly after a success or a cancellation; a failure or a notice stays
// until the user closes it. The cancel button only asks; the operation's end finishes the window.
// Closing it while the operation runs asks first, and "关闭" cancels it as the cancel button does and
// keeps the window closed when the operation ends.
class ExternalOperationProgressWindowController : public QObject {
    Q_OBJECT

public:
    explicit ExternalOperationProgressWindowController(QObject* parent = nullptr);
    ~ExternalOperationProgressWindowController() override;

    ExternalOperationProgressModel& model() { return m_model; }
    QWidget* window() const;

    std::function<void()> onCancel;

    // `note`: items refused before the operation began, named below the message.
    void show(const QString& title, const QString& message, const QString& note = {});
    void update(double progress, const QString& message);
    void finish(const QString& title, const QString& message, StatusKind outcome);
    void close();

    // What the cancel button does.
    void requestCancel();

    // The question asked when the window was to close while the operation runs, while it is open.
    QMessageBox* closeQuestion() const;

    // Where a window of `frame` size goes on `screen` (its free area) beside the frames `taken` by
    // open ones, always wholly on it: the middle when free, else the free cell nearest the middle of
    // the grid that fits the most windows on the screen, else a free place beside one of them.
    static QPoint freeSpot(QSize frame, const QRect& screen, const QList<QRect>& taken);

Q_SIGNALS:
    // Closed after the operation's end, by the user or by close().
    void closed();

private:
    void askBeforeClosing();
    void stopAndClose();
    void raise();
    void fitHeight();
    void place();
    static QList<QRect> gridCells(QSize frame, const QRect& screen);

    ExternalOperationProgressModel m_model;
    std::unique_ptr<ExternalOperationProgressView> m_view;
    QPointer<QMessageBox> m_closeQuestion;
    // The user closed the window to stop the operation: its end is not shown again.
    bool m_closedByUser = false;
};
