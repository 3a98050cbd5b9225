#include "app/OutsideRun.h"

#include "app/Scheduler.h"
#include "core/base/CancellationError.h"
#include "core/base/FileNameHelper.h"
#include "core/engine/SourceTrash.h"
#include "viewmodels/OperationFailure.h"

#include <cmath>

namespace {

constexpr int kSuccessCloseDelayMs = 1200;
constexpr int kCancelledCloseDelayMs = 2800;

// What the window says of a run that ended with a result: what it made with the notices of sources
// that stayed, and each item that failed, worded as the pages word it.
QString finishedText(ArchiveActivityKind kind, const OperationOutputs& result, const QString& notices) {
    if (!result.failures.isEmpty()) {
        return OperationFailure::batchText(kind, result.outputs.size(), result.renamedNote() + notices,
                                           result.failures);
    }
    if (kind == ArchiveActivityKind::extract) {
        return OperationFailure::withNotices(
            QStringLiteral(u"已解压 %1 个压缩包").arg(result.outputs.size()) + result.renamedNote() +
                QStringLiteral(u"。"),
            notices);
    }
    if (result.outputs.size() == 1)
        return QStringLiteral(u"已压缩：") + FileNameHelper::shownName(result.outputs.first()) +
               notices;
    return OperationFailure::withNotices(QStringLiteral(u"已压缩 %1 个压缩包。").arg(result.outputs.size()),
                                         notices);
}

QString partialFailureTitle(ArchiveActivityKind kind, const OperationOutputs& result) {
    if (kind != ArchiveActivityKind::extract) return QStringLiteral(u"部分项目压缩失败");
    return result.outputs.isEmpty() ? QStringLiteral(u"解压失败") : QStringLiteral(u"部分压缩包解压失败");
}

}  // namespace

OutsideRun::OutsideRun(ArchiveActivityKind kind, Scheduler& scheduler, QObject* parent)
    : QObject(parent), m_kind(kind), m_scheduler(scheduler) {
    const CancellationToken token = m_token;
    m_window.onCancel = [token] { token.cancel(); };
    connect(&m_window, &ExternalOperationProgressWindowController::closed, this, &OutsideRun::windowClosed);
}

void OutsideRun::start(const QStringList& items, const QList<ArchiveFailure>& refused) {
    m_items = items;
    m_refused = refused;
    const qsizetype count = items.size();
    const bool extraction = m_kind == ArchiveActivityKind::extract;
    m_window.show(
        extraction ? QStringLiteral(u"正在解压文件") : QStringLiteral(u"正在压缩文件"),
        (extraction ? QStringLiteral(u"正在解压 %1 个压缩包...") : QStringLiteral(u"正在压缩 %1 个项目..."))
            .arg(count),
        OperationFailure::refusedText(m_kind, refused));
}

void OutsideRun::reportProgress(double fraction) {
    if (m_finished || !std::isfinite(fraction)) return;
    m_window.update(fraction, QStringLiteral(u"正在压缩 ") +
                                  ExternalOperationProgressModel::percentText(fraction) +
                                  QStringLiteral("..."));
}

void OutsideRun::finish(Outcome<OperationOutputs>& outcome) {
    const bool extraction = m_kind == ArchiveActivityKind::extract;
    try {
        OperationOutputs& result = outcome.value();
        result.failures += m_refused;
        // What went to the trash is news; what stayed warns, as on the pages.
        const QString notices = SourceTrash::untrashedNotice(result.untrashed);
        m_outcomeText = finishedText(m_kind, result, SourceTrash::trashedNotice(result.trashed) + notices);
        // The text names the refused items itself now.
        m_window.model().setNote({});
        if (result.failures.isEmpty()) {
            end(extraction ? QStringLiteral(u"解压完成") : QStringLiteral(u"压缩完成"), m_outcomeText,
                notices.isEmpty() ? Ending::succeeded : Ending::noticed);
        } else {
            // Names the items that failed, so it stays as a failure does.
            end(partialFailureTitle(m_kind, result), m_outcomeText, Ending::failed);
        }
    } catch (const CancellationError&) {
        m_outcomeText = QStringLiteral(u"任务已取消");
        end(QStringLiteral(u"已取消"), QStringLiteral(u"任务已取消。"), Ending::cancelled);
    } catch (...) {
        if (extraction && m_items.size() == 1) return failExtraction(outcome.error());
        // Worded as the pages word it.
        m_outcomeText = OperationFailure::text(m_kind, outcome.error());
        end(extraction ? QStringLiteral(u"解压失败") : QStringLiteral(u"压缩失败"), m_outcomeText,
            Ending::failed);
    }
}

void OutsideRun::failExtraction(const std::exception_ptr& error) {
    const QList<ArchiveFailure> failures = QList<ArchiveFailure>{{m_items.first(), error}} + m_refused;
    m_outcomeText = failures.size() == 1 ? OperationFailure::archiveText(m_kind, failures.first())
                                         : OperationFailure::batchText(m_kind, 0, {}, failures);
    m_window.model().setNote({});
    end(QStringLiteral(u"解压失败"), m_outcomeText, Ending::failed);
}

// A failed run's window stays until the user closes it: it carries the reason. So does a notice, shown
// as a warning. A window the user closed while the run worked stays closed.
void OutsideRun::end(const QString& title, const QString& text, Ending ending) {
    m_finished = true;
    m_window.onCancel = nullptr;
    const StatusKind outcome = ending == Ending::succeeded ? StatusKind::success
                               : ending == Ending::noticed ? StatusKind::warning
                                                           : StatusKind::error;
    m_window.finish(title, text, outcome);
    if (!m_window.window()->isVisible()) return windowClosed();
    if (ending == Ending::failed || ending == Ending::noticed) return;
    m_scheduler.schedule(ending == Ending::cancelled ? kCancelledCloseDelayMs : kSuccessCloseDelayMs, this,
                         [this] { m_window.close(); });
}

void OutsideRun::windowClosed() {
    if (m_finished) Q_EMIT done();
}
