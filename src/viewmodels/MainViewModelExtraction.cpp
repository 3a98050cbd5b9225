// Extraction of one or more archives: one task record per archive, one engine call for all of them.

#include "viewmodels/MainViewModel.h"

#include "core/engine/FileNameHelper.h"
#include "core/engine/FileSizeHelper.h"
#include "core/engine/SourceTrash.h"
#include "core/split/SplitArchiveDetector.h"
#include "core/state/ArchivePasswordBookStore.h"
#include "core/state/WorkbenchStore.h"
#include "viewmodels/WorkbenchEngine.h"
#include "viewmodels/WorkbenchPlatform.h"

#include <QDir>
#include <QFileInfo>

QStringList MainViewModel::archivesToExtract() const {
    if (!m_droppedArchiveQueue.isEmpty()) return m_droppedArchiveQueue;
    if (!m_selectedArchivesForExtraction.isEmpty()) return m_selectedArchivesForExtraction;
    if (m_selectedArchiveURL) return {*m_selectedArchiveURL};
    return {};
}

QString MainViewModel::destinationRoot(const QStringList& archives,
                                       const std::optional<QString>& overrideURL) const {
    if (overrideURL) return *overrideURL;
    if (m_destinationURL) return *m_destinationURL;
    if (!archives.isEmpty()) return QFileInfo(archives.first()).absolutePath();
    return QDir::homePath();
}

// Everything an extraction needs, taken when it starts.
struct MainViewModel::ExtractionRun {
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

struct MainViewModel::ExtractionResult {
    OperationOutputs operation;
    // The password the archives were extracted with.
    std::optional<QString> password;
    // The first archive is encrypted, so the password opened it.
    bool neededPassword = false;
};

MainViewModel::ExtractionRun MainViewModel::makeExtractionRun(const QStringList& archives,
                                                              const QString& root) {
    ExtractionRun run{
        .archives = archives,
        .root = root,
        .password =
            m_extractionPassword.isEmpty() ? std::nullopt : std::optional<QString>(m_extractionPassword),
        .candidates = {},
        .settings = m_settings,
        .threadCount = effectiveThreadCount(),
    };
    const bool blank = m_extractionPassword.trimmed().isEmpty();
    if (blank && m_settings.archivePasswordBookEnabled)
        run.candidates = m_passwordBookStore.candidatePasswords(archives.first());
    run.probe = !run.candidates.isEmpty() || (!blank && m_settings.archivePasswordBookAutoSaveEnabled);
    return run;
}

// Runs on a worker. Only an encrypted archive gets the book's passwords, each tried by a test run in
// book order; the one that opens it is reported as soon as it is known and then used.
MainViewModel::ExtractionResult MainViewModel::extractArchives(
    WorkbenchEngine& engine, const ExtractionRun& run, const CancellationToken& token,
    const std::function<void(const QString&)>& bookPasswordFound) {
    ExtractionResult result{.operation = {}, .password = run.password};
    if (run.probe) result.neededPassword = engine.isEncrypted(run.archives.first(), token);
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

void MainViewModel::rememberPasswordIfNeeded(const QString& url, const std::optional<QString>& password) {
    const QString trimmed = password.value_or(QString()).trimmed();
    if (!m_settings.archivePasswordBookAutoSaveEnabled || trimmed.isEmpty()) return;
    const QString fileName = FileNameHelper::lastPathComponent(url);
    const auto match = SplitArchiveDetector::detect(fileName);
    m_passwordBookStore.remember(trimmed, url, match ? match->displayName : fileName);
}

void MainViewModel::selectArchive() {
    choosePaths({.allowsMultipleSelection = true,
                 .purpose = QStringLiteral("archives"),
                 .currentItem = m_selectedArchiveURL.value_or(QString())},
                [this](const QStringList& urls) { selectArchivesForExtraction(urls); });
}

void MainViewModel::selectArchivesForExtraction(const QStringList& urls) {
    if (!allCountAsArchives(urls)) {
        setAlertMessage(QStringLiteral(u"请选择 ZIP、RAR 或 7Z 压缩包。"));
        return;
    }
    m_droppedArchiveQueue.clear();
    resetSplitArchiveState(true);
    setSelectedArchiveURL(urls.first());
    setSelectedArchivesForExtraction(urls);
    setStatusMessage(urls.size() == 1
                         ? QStringLiteral(u"已选择：") + FileNameHelper::lastPathComponent(urls.first())
                         : QStringLiteral(u"已选择 %1 个压缩包，点击“立即解压”开始。").arg(urls.size()));
}

void MainViewModel::clearExtractionSelection() {
    m_droppedArchiveQueue.clear();
    setSelectedArchiveURL(std::nullopt);
    setSelectedArchivesForExtraction({});
    resetSplitArchiveState(true);
    setStatusMessage(QStringLiteral(u"已清空解压列表。"));
}

void MainViewModel::extract() { extract(ExtractionOptions{}); }

void MainViewModel::extract(const ExtractionOptions& options) {
    const QStringList archives = archivesToExtract();
    if (archives.isEmpty()) {
        setAlertMessage(QStringLiteral(u"请先选择 ZIP、RAR 或 7Z 压缩包。"));
        return;
    }
    setIsWorking(true);
    const ExtractionRun run =
        makeExtractionRun(archives, destinationRoot(archives, options.destinationOverrideURL));

    const bool split = options.kindOverride == ArchiveActivityKind::splitExtraction;
    if (split) {
        setStatusMessage(QStringLiteral(u"正在处理分卷压缩包..."));
    } else if (archives.size() >= 2) {
        setStatusMessage(QStringLiteral(u"正在解压 %1 个压缩包...").arg(archives.size()));
    } else {
        setStatusMessage(QStringLiteral(u"正在解压..."));
    }

    QList<WorkbenchTaskDraft> drafts;
    for (const QString& archive : archives) {
        drafts.append({
            .name = options.taskNameOverride.value_or(FileNameHelper::lastPathComponent(archive)),
            .path = QFileInfo(archive).absolutePath(),
            .targetPath = run.root,
            .sizeBytes = FileSizeHelper::totalSize(archive),
            .kind = options.kindOverride,
            .metadata = options.taskMetadata,
        });
    }
    const QList<QUuid> ids = m_tasks.open(drafts);

    WorkbenchEngine& engine = m_archiveService;
    BackgroundRunner& background = m_background;
    const auto bookPasswordFound = [this, &background](const QString& password) {
        background.post([this, password] {
            setExtractionPassword(password);
            setStatusMessage(QStringLiteral(u"已从密码本自动填充密码。"));
        });
    };
    m_tasks.start<ExtractionResult>(
        ids, options.failureMessage,
        [&engine, run, bookPasswordFound](const CancellationToken& token, const ProgressHandler&) {
            return extractArchives(engine, run, token, bookPasswordFound);
        },
        {
            .succeeded =
                [this, ids, archives, options](ExtractionResult& result) {
                    extractionSucceeded(ids, archives, result, options);
                },
            // The status line and every record name the reason.
            .failedWithReason =
                [this](const QString& message) { extractionEnded(message, StatusKind::error); },
            .stopped = [this] { extractionEnded(QStringLiteral(u"任务已停止"), StatusKind::warning); },
        });
}

void MainViewModel::extractionEnded(const QString& statusText, StatusKind kind) {
    setIsWorking(false);
    m_droppedArchiveQueue.clear();
    setStatusMessage(statusText, kind);
}

void MainViewModel::extractionSucceeded(const QList<QUuid>& ids, const QStringList& archives,
                                        const ExtractionResult& result, const ExtractionOptions& options) {
    // Remembered only for an archive that needed the password it opened with.
    if (result.neededPassword) rememberPasswordIfNeeded(archives.first(), result.password);
    const QStringList& outputs = result.operation.outputs;
    extractionEnded(
        options.successMessagePrefix + QStringLiteral(u"：") +
            (outputs.size() >= 2 ? QStringLiteral(u"%1 个压缩包").arg(outputs.size()) : outputs.value(0)) +
            result.operation.renamedNote() + SourceTrash::untrashedNotice(result.operation.untrashed),
        result.operation.untrashed.isEmpty() ? StatusKind::success : StatusKind::warning);
    for (qsizetype index = 0; index < ids.size(); ++index) {
        const QString fallback = outputs.isEmpty() ? QStringLiteral(u"处理完成") : outputs.first();
        m_tasks.complete(ids[index], outputs.value(index, fallback));
    }
    if (options.notifyAfterCompletion && options.kindOverride == ArchiveActivityKind::splitExtraction) {
        m_workbenchStore.addNotification(
            QStringLiteral(u"分卷解压完成"),
            options.taskNameOverride.value_or(FileNameHelper::lastPathComponent(archives.first())));
    }
    if (options.openAfterCompletion && !outputs.isEmpty()) m_platform.revealInFileManager(outputs);
}
