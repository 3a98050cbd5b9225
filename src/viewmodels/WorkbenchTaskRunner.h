#pragma once

#include "core/base/CancellationError.h"
#include "core/base/CancellationToken.h"
#include "core/engine/ArchiveCompressor.h"
#include "core/engine/OperationOutputs.h"
#include "core/state/ArchiveTask.h"
#include "viewmodels/BackgroundRunner.h"

#include <QHash>
#include <QList>
#include <QStringList>
#include <QString>
#include <QUuid>
#include <functional>
#include <memory>
#include <optional>

class WorkbenchStore;

// One task record that a run of the main window opens.
struct WorkbenchTaskDraft {
    QString name = {};
    QString path = {};
    QString targetPath = {};
    qint64 sizeBytes = 0;
    // When given, the record's size is these paths' total instead, walked on the run's worker before its
    // work (a folder tree can take seconds); the record shows "-" until it is known.
    QStringList sizedPaths = {};
    ArchiveActivityKind kind = ArchiveActivityKind::compress;
    std::optional<ArchiveTaskMetadata> metadata = std::nullopt;
};

// The workbench task protocol, shared by every long operation of the main window: running records at
// the top of the task list with their start notifications, one cancellation token registered under
// every record of the run, progress mirrored into the records, failed records with the failure's
// text (OperationFailure), and the registry cleared whatever the outcome. The caller keeps its own
// state (status line, busy flag) in the handlers, which all run on the GUI thread.
class WorkbenchTaskRunner {
public:
    template <typename Value>
    struct Handlers {
        // Progress text of the records, followed by the percentage and "%"; empty: the run reports
        // no progress. The status line gets the same text followed by "...".
        QString progressText = {};
        std::function<void(const QString& statusText)> progressed = {};
        std::function<void(Value& result)> succeeded = {};
        // The records are already failed with the failure's text (OperationFailure::text), which the
        // handler gets for the status line, followed by a notice when the records could not be saved.
        std::function<void(const QString& statusText)> failed = {};
        // Cancelled from the task list; the run's records still running are cancelled as well.
        std::function<void()> stopped = {};
    };

    WorkbenchTaskRunner(WorkbenchStore& store, BackgroundRunner& background);

    // Opens one running record per draft, in order, so the last one ends on top. Returns their ids.
    QList<QUuid> open(const QList<WorkbenchTaskDraft>& drafts);

    // Runs `work` on a worker thread under one token registered for every id, then the handler that
    // fits the outcome; the ids leave the registry afterwards. `operation` words a failure. The work may
    // call its progress reporter from any thread.
    template <typename Value>
    void start(const QList<QUuid>& ids, ArchiveActivityKind operation,
               std::function<Value(const CancellationToken&, const ProgressHandler&)> work,
               Handlers<Value> handlers) {
        const quint64 run = m_nextRun++;
        const CancellationToken token = registerRun(run, ids);
        auto active = std::make_shared<bool>(true);
        const ProgressHandler progress =
            progressReporter(ids, handlers.progressText, handlers.progressed, active);
        m_background.run(
            [work = std::move(work), token, progress, measureSizes = sizeMeasurement(ids)]() {
                // Stopped before it could start: no engine call at all.
                token.throwIfCancelled();
                measureSizes(token);
                return work(token, progress);
            },
            [this, run, ids, operation, handlers, active](Outcome<Value>& outcome) {
                *active = false;
                finish(ids, operation, outcome, handlers);
                unregister(run, ids);
            });
    }

    // Cancels every run that has not ended yet.
    void cancelRunning();

    // Completes one record of a run (progress 1). The reason when the record could not be saved.
    void complete(const QUuid& id, const QString& message);

    // Ends each record of an extraction by its archive (ids and archives in the same order): completed
    // with the folder that received it, or failed with its failure's text, named after the archive.
    void finishByArchive(const QList<QUuid>& ids, const QStringList& archives, ArchiveActivityKind operation,
                         const OperationOutputs& result);

    // The whole percentage of a progress fraction: truncated, limited to 0...100, and 0 for a value
    // that is not a number.
    static int percentage(double fraction);

private:
    enum class Ending { succeeded, stopped, failed };

    CancellationToken registerRun(quint64 run, const QList<QUuid>& ids);
    // The step that sizes the records opened with sizedPaths, on the worker; each size is posted to
    // its record, ahead of the run's outcome.
    std::function<void(const CancellationToken&)> sizeMeasurement(const QList<QUuid>& ids);
    ProgressHandler progressReporter(const QList<QUuid>& ids, const QString& text,
                                     std::function<void(const QString&)> progressed,
                                     std::shared_ptr<bool> active);
    void reportProgress(const QList<QUuid>& ids, const QString& text, double fraction,
                        const std::function<void(const QString&)>& progressed);
    // The status text of a failed run: the failure's text, and whether its records were saved.
    QString failAll(const QList<QUuid>& ids, ArchiveActivityKind operation, const std::exception_ptr& error);
    void cancelStillRunning(const QList<QUuid>& ids);
    void unregister(quint64 run, const QList<QUuid>& ids);

    template <typename Value>
    static Ending endingOf(Outcome<Value>& outcome);

    template <typename Value>
    void finish(const QList<QUuid>& ids, ArchiveActivityKind operation, Outcome<Value>& outcome,
                const Handlers<Value>& handlers) {
        switch (endingOf(outcome)) {
            case Ending::succeeded:
                handlers.succeeded(outcome.value());
                break;
            case Ending::stopped:
                cancelStillRunning(ids);
                handlers.stopped();
                break;
            case Ending::failed:
                handlers.failed(failAll(ids, operation, outcome.error()));
                break;
        }
    }

    WorkbenchStore& m_store;
    BackgroundRunner& m_background;
    // The tokens of the runs under way, by run number.
    QHash<quint64, CancellationToken> m_running;
    // The paths to size for records opened but not started yet.
    QHash<QUuid, QStringList> m_unsized;
    quint64 m_nextRun = 0;
};

template <typename Value>
WorkbenchTaskRunner::Ending WorkbenchTaskRunner::endingOf(Outcome<Value>& outcome) {
    try {
        outcome.value();
        return Ending::succeeded;
    } catch (const CancellationError&) {
        return Ending::stopped;
    } catch (...) {
        return Ending::failed;
    }
}
