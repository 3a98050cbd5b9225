// Extraction of one or more archives: one task record per archive, one engine call for all of them.

#include "viewmodels/ExtractViewModel.h"

#include "core/base/ArchiveFormat.h"
#include "core/base/CancellationError.h"
#include "core/base/FileNameHelper.h"
#include "core/engine/SourceTrash.h"
#include "core/state/ArchivePasswordBookStore.h"
#include "core/state/WorkbenchStore.h"
#include "viewmodels/FileSizeHelper.h"
#include "viewmodels/OperationFailure.h"
#include "viewmodels/Publish.h"
#include "viewmodels/WorkbenchEngine.h"
#include "viewmodels/WorkbenchPlatform.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>

namespace {

// Whether the archive needs a password. One the probe cannot read (a set missing a volume) fails in
// the extraction, on its own, rather than here for every archive of the run.
bool needsPassword(WorkbenchEngine& engine, const QString& archive, const CancellationToken& token) {
    try {
        return engine.isEncrypted(archive, token);
    } catch (const CancellationError&) {
        throw;
    } catch (...) {
        return false;
    }
}

}  // namespace

ExtractViewModel::ExtractViewModel(WorkbenchContext& context, QObject* parent)
    : QObject(parent), m_context(context) {}

bool ExtractViewModel::allCountAsArchives(const QStringList& urls) {
    return !urls.isEmpty() && std::all_of(urls.begin(), urls.end(), ArchiveFormat::isArchive);
}

void ExtractViewModel::setSelectedArchiveURL(const std::optional<QString>& value) {
    publish(this, m_selectedArchiveURL, value);
}
void ExtractViewModel::setSelectedArchivesForExtraction(const QStringList& value) {
    publish(this, m_selectedArchivesForExtraction, value);
}
void ExtractViewModel::setExtractionPassword(const QString& value) {
    publish(this, m_extractionPassword, value);
}

void ExtractViewModel::handOver(const QStringList& archives) {
    m_context.setHandedOverArchives(archives);
    setSelectedArchiveURL(archives.first());
    setSelectedArchivesForExtraction(archives);
}

QStringList ExtractViewModel::archivesToExtract() const {
    if (!m_context.handedOverArchives().isEmpty()) return m_context.handedOverArchives();
    if (!m_selectedArchivesForExtraction.isEmpty()) return m_selectedArchivesForExtraction;
    if (m_selectedArchiveURL) return {*m_selectedArchiveURL};
    return {};
}

QString ExtractViewModel::destinationRoot(const QStringList& archives,
                                          const std::optional<QString>& overrideURL) const {
    if (overrideURL) return *overrideURL;
    if (m_context.destinationURL()) return *m_context.destinationURL();
    if (!archives.isEmpty()) return QFileInfo(archives.first()).absolutePath();
    return QDir::homePath();
}

// Everything an extraction needs, taken when it starts.
struct ExtractViewModel::ExtractionRun {
    QStringList archives;
    QString root;
    // As typed; none when the field is empty.
    std::optional<QString> password;
    // Password book candidates to try when nothing was typed; empty when the book is not to be tried.
    QStringList candidates;
    // Whether the archive's need for a password must be known: to try the book or to remember.
    bool probe = false;
    AppSettings settings;
    int threadCount = 1;
};

struct ExtractViewModel::ExtractionResult {
    OperationOutputs operation;
    // The password the archives were extracted with.
    std::optional<QString> password;
    // The first archive is encrypted, so the password opened it.
    bool neededPassword = false;
};

ExtractViewModel::ExtractionRun ExtractViewModel::makeExtractionRun(const QStringList& archives,
                                                                    const QString& root) {
    ExtractionRun run{
        .archives = archives,
        .root = root,
        .password =
            m_extractionPassword.isEmpty() ? std::nullopt : std::optional<QString>(m_extractionPassword),
        .candidates = {},
        .settings = m_context.settings(),
        .threadCount = m_context.effectiveThreadCount(),
    };
    const bool blank = m_extractionPassword.trimmed().isEmpty();
    if (blank && m_context.settings().archivePasswordBookEnabled)
        run.candidates = m_context.passwordBookStore().candidatePasswords(archives.first());
    run.probe =
        !run.candidates.isEmpty() || (!blank && m_context.settings().archivePasswordBookAutoSaveEnabled);
    return run;
}

// Runs on a worker. Only an encrypted archive gets the book's passwords, each tried by a test run in
// book order; the one that opens it is reported as soon as it is known and then used.
ExtractViewModel::ExtractionResult ExtractViewModel::extractArchives(
    WorkbenchEngine& engine, const ExtractionRun& run, const CancellationToken& token,
    const std::function<void(const QString&)>& bookPasswordFound) {
    ExtractionResult result{.operation = {}, .password = run.password};
    if (run.probe) result.neededPassword = needsPassword(engine, run.archives.first(), token);
    if (result.neededPassword && !run.candidates.isEmpty()) {
        if (const std::optional<QString> found =
                engine.firstOpeningPassword(run.archives.first(), run.candidates, token)) {
            result.password = found;
            bookPasswordFound(*found);
        }
    }
    result.operation =
        engine.extract(run.archives, run.root, result.password, run.settings, run.threadCount, token);
    return result;
}

void ExtractViewModel::selectArchive() {
    m_context.choosePaths(this,
                          {.multipleSelection = true,
                           .purpose = QStringLiteral("archives"),
                           .currentItem = m_selectedArchiveURL.value_or(QString())},
                          [this](const QStringList& urls) { selectArchivesForExtraction(urls); });
}

void ExtractViewModel::selectArchivesForExtraction(const QStringList& urls) {
    if (!allCountAsArchives(urls)) {
        m_context.setAlertMessage(QStringLiteral(u"请选择 ZIP、RAR 或 7Z 压缩包。"));
        return;
    }
    m_context.clearHandedOverArchives();
    Q_EMIT selectionReplaced();
    setSelectedArchiveURL(urls.first());
    setSelectedArchivesForExtraction(urls);
    m_context.setStatusMessage(
        urls.size() == 1 ? QStringLiteral(u"已选择：") + FileNameHelper::lastPathComponent(urls.first())
                         : QStringLiteral(u"已选择 %1 个压缩包，点击“立即解压”开始。").arg(urls.size()));
}

void ExtractViewModel::clearExtractionSelection() {
    m_context.clearHandedOverArchives();
    setSelectedArchiveURL(std::nullopt);
    setSelectedArchivesForExtraction({});
    Q_EMIT selectionReplaced();
    m_context.setStatusMessage(QStringLiteral(u"已清空解压列表。"));
}

void ExtractViewModel::extract() { extract(ExtractionOptions{}); }

void ExtractViewModel::extract(const ExtractionOptions& options) {
    const QStringList archives = archivesToExtract();
    if (archives.isEmpty()) {
        m_context.setAlertMessage(QStringLiteral(u"请先选择 ZIP、RAR 或 7Z 压缩包。"));
        return;
    }
    m_context.setIsWorking(true);
    const ExtractionRun run =
        makeExtractionRun(archives, destinationRoot(archives, options.destinationOverrideURL));

    const bool split = options.kindOverride == ArchiveActivityKind::splitExtraction;
    if (split) {
        m_context.setStatusMessage(QStringLiteral(u"正在处理分卷压缩包..."));
    } else if (archives.size() >= 2) {
        m_context.setStatusMessage(QStringLiteral(u"正在解压 %1 个压缩包...").arg(archives.size()));
    } else {
        m_context.setStatusMessage(QStringLiteral(u"正在解压..."));
    }

    QList<WorkbenchTaskDraft> drafts;
    for (const QString& archive : archives) {
        drafts.append({
            .name = options.taskNameOverride.value_or(FileNameHelper::lastPathComponent(archive)),
            .path = QFileInfo(archive).absolutePath(),
            .targetPath = run.root,
            .sizeBytes = FileSizeHelper::archiveSize(archive),
            .kind = options.kindOverride,
            .metadata = options.taskMetadata,
        });
    }
    const QList<QUuid> ids = m_context.tasks().open(drafts);

    WorkbenchEngine& engine = m_context.engine();
    BackgroundRunner& background = m_context.background();
    const auto bookPasswordFound = [this, &background](const QString& password) {
        background.post([this, password] {
            setExtractionPassword(password);
            m_context.setStatusMessage(QStringLiteral(u"已从密码本自动填充密码。"));
        });
    };
    m_context.tasks().start<ExtractionResult>(
        ids, options.kindOverride,
        [&engine, run, bookPasswordFound](const CancellationToken& token, const ProgressHandler&) {
            return extractArchives(engine, run, token, bookPasswordFound);
        },
        {
            .succeeded =
                [this, ids, archives, options](ExtractionResult& result) {
                    extractionSucceeded(ids, archives, result, options);
                },
            .failed = [this](const QString& text) { extractionEnded(text, StatusKind::error); },
            .stopped = [this] { extractionEnded(QStringLiteral(u"任务已停止"), StatusKind::warning); },
        });
}

// Archives the run moved to the trash leave the page's list, so the next run does not fail on them.
void ExtractViewModel::dropTrashedArchives(const QStringList& trashed) {
    if (trashed.isEmpty()) return;
    QStringList remaining = m_selectedArchivesForExtraction;
    remaining.removeIf([&](const QString& archive) { return trashed.contains(archive); });
    if (m_selectedArchiveURL && trashed.contains(*m_selectedArchiveURL))
        setSelectedArchiveURL(remaining.isEmpty() ? std::nullopt : std::optional<QString>(remaining.first()));
    setSelectedArchivesForExtraction(remaining);
}

void ExtractViewModel::extractionEnded(const QString& statusText, StatusKind kind) {
    m_context.setIsWorking(false);
    m_context.clearHandedOverArchives();
    m_context.setStatusMessage(statusText, kind);
}

void ExtractViewModel::extractionSucceeded(const QList<QUuid>& ids, const QStringList& archives,
                                           const ExtractionResult& result, const ExtractionOptions& options) {
    const OperationOutputs& operation = result.operation;
    const QStringList& outputs = operation.outputs;
    m_context.tasks().finishByArchive(ids, archives, options.kindOverride, operation);
    // Archives that went to the trash are said as news; those that stayed, or a password not saved, warn.
    QString notices = SourceTrash::untrashedNotice(operation.untrashed);
    // Remembered only for an archive that needed the password it opened with.
    if (result.neededPassword && !operation.failureOf(archives.first())) {
        notices += OperationFailure::unsavedNotice(
            QStringLiteral(u"密码"), m_context.rememberPasswordIfNeeded(archives.first(), result.password));
    }
    const QString trashed = SourceTrash::trashedNotice(operation.trashed);
    if (!operation.failures.isEmpty()) {
        extractionEnded(
            OperationFailure::batchText(options.kindOverride, outputs.size(),
                                        operation.renamedNote() + trashed + notices, operation.failures),
            outputs.isEmpty() ? StatusKind::error : StatusKind::warning);
    } else {
        extractionEnded(options.successMessagePrefix + QStringLiteral(u"：") +
                            (outputs.size() >= 2 ? QStringLiteral(u"%1 个压缩包").arg(outputs.size())
                                                 : outputs.value(0)) +
                            operation.renamedNote() + trashed + notices,
                        notices.isEmpty() ? StatusKind::success : StatusKind::warning);
    }
    dropTrashedArchives(operation.trashed);
    if (options.notifyAfterCompletion && options.kindOverride == ArchiveActivityKind::splitExtraction) {
        m_context.workbenchStore().addNotification(
            QStringLiteral(u"分卷解压完成"),
            options.taskNameOverride.value_or(FileNameHelper::lastPathComponent(archives.first())));
    }
    if (options.openAfterCompletion && !outputs.isEmpty()) m_context.platform().revealInFileManager(outputs);
}
