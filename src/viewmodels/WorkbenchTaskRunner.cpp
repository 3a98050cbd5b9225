#include "viewmodels/WorkbenchTaskRunner.h"

#include "core/base/FileNameHelper.h"
#include "core/state/TaskCancellationCenter.h"
#include "core/state/WorkbenchStore.h"
#include "platform/ByteCountFormatter.h"
#include "viewmodels/FileSizeHelper.h"
#include "viewmodels/OperationFailure.h"

#include <QDateTime>
#include <atomic>
#include <cmath>

namespace {

QString sizeDescription(qint64 bytes) {
    return bytes > 0 ? ByteCountFormatter::fileStyle(bytes) : QStringLiteral("-");
}

}  // namespace

WorkbenchTaskRunner::WorkbenchTaskRunner(WorkbenchStore& store, BackgroundRunner& background)
    : m_store(store), m_background(background) {}

QList<QUuid> WorkbenchTaskRunner::open(const QList<WorkbenchTaskDraft>& drafts) {
    QList<QUuid> ids;
    for (const WorkbenchTaskDraft& draft : drafts) {
        const QDateTime now = QDateTime::currentDateTimeUtc();
        ArchiveTask task{
            .id = QUuid::createUuid(),
            // A record's texts are shown, its paths used: only the texts show names as legacy ones.
            .name = FileNameHelper::shownText(draft.name),
            .path = draft.path,
            .kind = draft.kind,
            .status = ArchiveActivityStatus::running,
            .progress = 0.08,
            .sizeDescription = sizeDescription(draft.sizeBytes),
            .targetPath = draft.targetPath,
            .createdAt = now,
            .updatedAt = now,
            .message = QStringLiteral(u"正在") + ArchiveActivityKinds::title(draft.kind),
            .metadata = draft.metadata,
        };
        ids.append(task.id);
        if (!draft.sizedPaths.isEmpty()) m_unsized.insert(task.id, draft.sizedPaths);
        m_store.addTask(task);
    }
    return ids;
}

CancellationToken WorkbenchTaskRunner::registerRun(quint64 run, const QList<QUuid>& ids) {
    const CancellationToken token;
    for (const QUuid& id : ids) TaskCancellationCenter::shared().registerHandle(token, id);
    m_running.insert(run, token);
    return token;
}

std::function<void(const CancellationToken&)> WorkbenchTaskRunner::sizeMeasurement(const QList<QUuid>& ids) {
    QList<std::pair<QUuid, QStringList>> unsized;
    for (const QUuid& id : ids) {
        if (const QStringList paths = m_unsized.take(id); !paths.isEmpty()) unsized.append({id, paths});
    }
    if (unsized.isEmpty()) return [](const CancellationToken&) {};
    return [unsized, background = &m_background, store = &m_store](const CancellationToken& token) {
        for (const auto& entry : unsized) {
            const QString size = sizeDescription(FileSizeHelper::totalSize(entry.second, token));
            background->post([store, id = entry.first, size] { store->updateTaskSizeDescription(id, size); });
        }
    };
}

ProgressHandler WorkbenchTaskRunner::progressReporter(const QList<QUuid>& ids, const QString& text,
                                                      std::function<void(const QString&)> progressed,
                                                      std::shared_ptr<bool> active) {
    if (text.isEmpty()) return {};
    BackgroundRunner* background = &m_background;
    auto shownPercentage = std::make_shared<std::atomic<int>>(-1);
    return [this, background, ids, text, progressed, active, shownPercentage](double fraction) {
        // Called on a worker thread; everything else happens on the GUI thread, and only while the
        // run has not ended. Only a new whole percentage goes there: a run over many small files
        // reports for each, and a report per file flooded the GUI thread's queue.
        if (shownPercentage->exchange(percentage(fraction)) == percentage(fraction)) return;
        background->post([this, ids, text, progressed, active, fraction] {
            if (*active) reportProgress(ids, text, fraction, progressed);
        });
    };
}

void WorkbenchTaskRunner::reportProgress(const QList<QUuid>& ids, const QString& text, double fraction,
                                         const std::function<void(const QString&)>& progressed) {
    const QString message = text + QString::number(percentage(fraction)) + QLatin1Char('%');
    for (const QUuid& id : ids) m_store.updateTaskProgress(id, fraction, message);
    if (progressed) progressed(message + QStringLiteral("..."));
}

int WorkbenchTaskRunner::percentage(double fraction) {
    if (!std::isfinite(fraction)) return 0;
    return static_cast<int>(std::trunc(std::clamp(fraction, 0.0, 1.0) * 100));
}

void WorkbenchTaskRunner::complete(const QUuid& id, const QString& message) {
    m_store.updateTask(id, ArchiveActivityStatus::completed, 1.0, FileNameHelper::shownText(message));
}

void WorkbenchTaskRunner::finishByArchive(const QList<QUuid>& ids, const QStringList& archives,
                                          ArchiveActivityKind operation, const OperationOutputs& result) {
    const QString fallback = result.outputs.value(0, QStringLiteral(u"处理完成"));
    qsizetype extracted = 0;
    for (qsizetype index = 0; index < ids.size(); ++index) {
        if (const ArchiveFailure* failure = result.failureOf(archives.value(index))) {
            m_store.updateTask(ids[index], ArchiveActivityStatus::failed, 0.0,
                               OperationFailure::archiveText(operation, *failure));
        } else {
            complete(ids[index], result.outputs.value(extracted++, fallback));
        }
    }
}

QString WorkbenchTaskRunner::failAll(const QList<QUuid>& ids, ArchiveActivityKind operation,
                                     const std::exception_ptr& error) {
    const QString text = OperationFailure::text(operation, error);
    for (const QUuid& id : ids) m_store.updateTask(id, ArchiveActivityStatus::failed, 0.0, text);
    return text;
}

// One record of a batch was paused or cancelled, which stopped the whole run: the others must not
// stay "running" until the next launch. The store leaves records that already stopped alone.
void WorkbenchTaskRunner::cancelStillRunning(const QList<QUuid>& ids) {
    for (const QUuid& id : ids) m_store.cancelTask(id);
}

void WorkbenchTaskRunner::unregister(quint64 run, const QList<QUuid>& ids) {
    for (const QUuid& id : ids) TaskCancellationCenter::shared().remove(id);
    m_running.remove(run);
}

void WorkbenchTaskRunner::cancelRunning() {
    for (const CancellationToken& token : m_running) token.cancel();
}
