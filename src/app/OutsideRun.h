#pragma once

#include "app/ExternalOperationProgressWindowController.h"
#include "core/base/CancellationToken.h"
#include "core/engine/OperationOutputs.h"
#include "core/state/ArchiveActivityKind.h"
#include "viewmodels/BackgroundRunner.h"

#include <QObject>
#include <QString>

class Scheduler;

// One outside request's operation from its start until its window closes: its cancel route (the
// token), its own progress window and its outcome. Runs that overlap each keep their window, so every
// one stays in sight with its progress, its cancel button and its result until it ends.
class OutsideRun : public QObject {
    Q_OBJECT

public:
    OutsideRun(ArchiveActivityKind kind, Scheduler& scheduler, QObject* parent = nullptr);

    ArchiveActivityKind kind() const { return m_kind; }
    const CancellationToken& token() const { return m_token; }
    ExternalOperationProgressWindowController& window() { return m_window; }
    // Neither ended nor cancelled: quitting would stop it. A cancelled run only cleans up.
    bool isWorking() const { return !m_finished && !m_token.isCancelled(); }
    bool isFinished() const { return m_finished; }
    // What it ended with, for the tray's status line; empty until then.
    const QString& outcomeText() const { return m_outcomeText; }

    // Shows the window with the number of items the tools get; the items refused before any tool runs
    // are named from the start and stay named until the end names them, or after a cancel.
    void start(const QStringList& items, const QList<ArchiveFailure>& refused);
    // A compression's fraction done.
    void reportProgress(double fraction);
    // Ends the run with the engine's outcome; the refused items join its failures.
    void finish(Outcome<OperationOutputs>& outcome);

Q_SIGNALS:
    // Ended, and its window is closed: nothing of it is left to show.
    void done();

private:
    // `noticed`: succeeded with a notice, such as sources that stayed out of the trash.
    enum class Ending { succeeded, noticed, cancelled, failed };
    void end(const QString& title, const QString& text, Ending ending);
    // An extraction of one archive fails as a whole: that archive is named with its reason, as on the
    // pages, together with the items refused before it.
    void failExtraction(const std::exception_ptr& error);
    void windowClosed();

    const ArchiveActivityKind m_kind;
    Scheduler& m_scheduler;
    CancellationToken m_token;
    ExternalOperationProgressWindowController m_window;
    QStringList m_items;
    QList<ArchiveFailure> m_refused;
    QString m_outcomeText;
    bool m_finished = false;
};
