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

bool MainViewModel::autofillPasswordIfPossible(const QString& url) {
    if (!m_settings.archivePasswordBookEnabled) return false;
    const QStringList candidates = m_passwordBookStore.candidatePasswords(url);
    if (candidates.isEmpty() || candidates.first().isEmpty()) return false;
    setPassword(candidates.first());
    return true;
}

void MainViewModel::rememberPasswordIfNeeded(const QString& url) {
    const QString password = m_password.trimmed();
    if (!m_settings.archivePasswordBookAutoSaveEnabled || password.isEmpty()) return;
    const QString fileName = FileNameHelper::lastPathComponent(url);
    const auto match = SplitArchiveDetector::detect(fileName);
    m_passwordBookStore.remember(password, url, match ? match->displayName : fileName);
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
    const int threadCount = effectiveThreadCount();
    const QString root = destinationRoot(archives, options.destinationOverrideURL);
    const bool autofilled = m_password.trimmed().isEmpty() && autofillPasswordIfPossible(archives.first());

    const bool split = options.kindOverride == ArchiveActivityKind::splitExtraction;
    if (split) {
        setStatusMessage(QStringLiteral(u"正在处理分卷压缩包..."));
    } else if (archives.size() >= 2) {
        setStatusMessage(QStringLiteral(u"正在解压 %1 个压缩包...").arg(archives.size()));
    } else {
        setStatusMessage(QStringLiteral(u"正在解压..."));
    }
    if (autofilled) setStatusMessage(QStringLiteral(u"已从密码本自动填充密码。"));

    QList<WorkbenchTaskDraft> drafts;
    for (const QString& archive : archives) {
        drafts.append({
            .name = options.taskNameOverride.value_or(FileNameHelper::lastPathComponent(archive)),
            .path = QFileInfo(archive).absolutePath(),
            .targetPath = root,
            .sizeBytes = FileSizeHelper::totalSize(archive),
            .kind = options.kindOverride,
            .metadata = options.taskMetadata,
        });
    }
    const QList<QUuid> ids = m_tasks.open(drafts);

    WorkbenchEngine& engine = m_archiveService;
    const std::optional<QString> password =
        m_password.isEmpty() ? std::nullopt : std::optional<QString>(m_password);
    const AppSettings settings = m_settings;
    const QString failureStatus = split ? QStringLiteral(u"分卷解压失败") : QStringLiteral(u"解压失败");
    m_tasks.start<OperationOutputs>(
        ids, options.failureMessage,
        [&engine, archives, root, password, settings, threadCount](const CancellationToken& token,
                                                                   const ProgressHandler&) {
            return engine.extract(archives, root, password, settings, threadCount, token);
        },
        {
            .succeeded =
                [this, ids, archives, options](OperationOutputs& result) {
                    extractionSucceeded(ids, archives, result, options);
                },
            .failed = [this, failureStatus] { extractionEnded(failureStatus, StatusKind::error); },
            .stopped = [this] { extractionEnded(QStringLiteral(u"任务已停止"), StatusKind::warning); },
        });
}

void MainViewModel::extractionEnded(const QString& statusText, StatusKind kind) {
    setIsWorking(false);
    m_droppedArchiveQueue.clear();
    setStatusMessage(statusText, kind);
}

void MainViewModel::extractionSucceeded(const QList<QUuid>& ids, const QStringList& archives,
                                        const OperationOutputs& result, const ExtractionOptions& options) {
    const QStringList& outputs = result.outputs;
    rememberPasswordIfNeeded(archives.first());
    extractionEnded(
        options.successMessagePrefix + QStringLiteral(u"：") +
            (outputs.size() >= 2 ? QStringLiteral(u"%1 个压缩包").arg(outputs.size()) : outputs.value(0)) +
            SourceTrash::untrashedNotice(result.untrashed),
        result.untrashed.isEmpty() ? StatusKind::success : StatusKind::warning);
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
