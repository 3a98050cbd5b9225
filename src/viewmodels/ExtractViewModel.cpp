// Extraction of one or more archives: one task record per archive, one engine call for all of them.

#include "viewmodels/ExtractViewModel.h"

#include "core/base/ArchiveFormat.h"
#include "core/base/FileNameHelper.h"
#include "core/engine/SourceTrash.h"
#include "core/state/ArchivePasswordBookStore.h"
#include "core/state/WorkbenchStore.h"
#include "viewmodels/BatchPasswords.h"
#include "viewmodels/FileSizeHelper.h"
#include "viewmodels/OperationFailure.h"
#include "viewmodels/Publish.h"
#include "viewmodels/WorkbenchEngine.h"
#include "viewmodels/WorkbenchPlatform.h"

#include <QDir>
#include <QFileInfo>
#include <QPointer>
#include <algorithm>
#include <atomic>
#include <memory>

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
    m_passwordFilledFromBook = false;
    publish(this, m_extractionPassword, value);
}

void ExtractViewModel::fillPasswordFromBook(const QString& password) {
    publish(this, m_extractionPassword, password);
    m_passwordFilledFromBook = true;
}

void ExtractViewModel::forgetFilledPassword() {
    if (m_passwordFilledFromBook) setExtractionPassword({});
}

void ExtractViewModel::handOver(const QStringList& archives) {
    forgetFilledPassword();
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
    QString root;
    BatchPasswords::Request passwords;
    AppSettings settings;
    int threadCount = 1;
};

struct ExtractViewModel::ExtractionResult {
    OperationOutputs operation;
    // Each archive's password, and which archives needed one.
    BatchPasswords::Choice passwords;
};

ExtractViewModel::ExtractionRun ExtractViewModel::makeExtractionRun(const QStringList& archives,
                                                                    const QString& root) {
    const AppSettings& settings = m_context.settings();
    ExtractionRun run{
        .root = root,
        .passwords = {.archives = archives,
                      .typed = m_extractionPassword.isEmpty() ? std::nullopt
                                                              : std::optional<QString>(m_extractionPassword),
                      .candidates = {},
                      .probeEvery = !m_extractionPassword.trimmed().isEmpty() &&
                                    settings.archivePasswordBookAutoSaveEnabled},
        .settings = settings,
        .threadCount = m_context.effectiveThreadCount(),
    };
    if (settings.archivePasswordBookEnabled) {
        for (const QString& archive : archives)
            run.passwords.candidates << m_context.passwordBookStore().candidatePasswords(archive);
    }
    return run;
}

// Runs on a worker: each archive's password is chosen, then all are extracted in one engine call.
ExtractViewModel::ExtractionResult ExtractViewModel::extractArchives(
    WorkbenchEngine& engine, const ExtractionRun& run, const CancellationToken& token,
    const std::function<void(const QString&)>& bookPasswordFound) {
    ExtractionResult result{
        .operation = {},
        .passwords = BatchPasswords::choose(engine, run.passwords, token, bookPasswordFound)};
    result.operation = engine.extract(run.passwords.archives, run.root, result.passwords.passwords,
                                      run.settings, run.threadCount, token);
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
    forgetFilledPassword();
    Q_EMIT selectionReplaced();
    setSelectedArchiveURL(urls.first());
    setSelectedArchivesForExtraction(urls);
    m_context.setStatusMessage(
        urls.size() == 1 ? QStringLiteral(u"已选择：") + FileNameHelper::lastPathComponent(urls.first())
                         : QStringLiteral(u"已选择 %1 个压缩包，点击“立即解压”开始。").arg(urls.size()));
}

void ExtractViewModel::clearExtractionSelection() {
    m_context.clearHandedOverArchives();
    forgetFilledPassword();
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
    // The first password the book gave is shown in the field.
    const auto bookPasswordFound =
        [this, &background, shown = std::make_shared<std::atomic_bool>(false)](const QString& password) {
            if (shown->exchange(true)) return;
            background.post([this, password] {
                fillPasswordFromBook(password);
                m_context.setStatusMessage(QStringLiteral(u"已从密码本自动填充密码。"));
            });
        };
    // A lone archive's failure reaches the handlers as text only; whether it wants a password is kept here.
    const auto lockedAlone = std::make_shared<std::atomic_bool>(false);
    m_context.tasks().start<ExtractionResult>(
        ids, options.kindOverride,
        [&engine, run, bookPasswordFound, lockedAlone](const CancellationToken& token,
                                                       const ProgressHandler&) {
            try {
                return extractArchives(engine, run, token, bookPasswordFound);
            } catch (...) {
                *lockedAlone = OperationFailure::isWrongPassword(std::current_exception());
                throw;
            }
        },
        {
            .succeeded =
                [this, ids, archives, options](ExtractionResult& result) {
                    extractionSucceeded(ids, archives, result, options);
                },
            .failed =
                [this, archives, options, lockedAlone](const QString& text) {
                    extractionEnded(text, StatusKind::error);
                    if (*lockedAlone)
                        askForPassword(FileNameHelper::shownName(archives.first()) +
                                           QStringLiteral(u"：") + text,
                                       options);
                },
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
    Q_EMIT archivesTrashed(trashed);
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
    const QString notices =
        SourceTrash::untrashedNotice(operation.untrashed) + rememberPasswords(archives, result);
    const QString trashed = SourceTrash::trashedNotice(operation.trashed);
    if (!operation.failures.isEmpty()) {
        keepOnlyFailed(operation.failures);
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
            options.taskNameOverride.value_or(FileNameHelper::shownName(archives.first())));
    }
    if (options.openAfterCompletion && !outputs.isEmpty()) m_context.platform().revealInFileManager(outputs);
    const auto locked = std::find_if(
        operation.failures.begin(), operation.failures.end(),
        [](const ArchiveFailure& failure) { return OperationFailure::isWrongPassword(failure.error); });
    if (locked != operation.failures.end())
        askForPassword(OperationFailure::archiveText(options.kindOverride, *locked), options);
}

// An archive none of the passwords opened: its password is asked for by name, and the archives that
// failed (the page's list now) are extracted again with it.
void ExtractViewModel::askForPassword(const QString& message, const ExtractionOptions& options) {
    const QPointer<ExtractViewModel> alive(this);
    m_context.platform().askPassword(message, [alive, options](const std::optional<QString>& password) {
        if (!alive || !password || password->trimmed().isEmpty()) return;
        alive->setExtractionPassword(password->trimmed());
        alive->extract(options);
    });
}

// Remembered only for an archive that needed the password it opened with; a save that failed is told once.
QString ExtractViewModel::rememberPasswords(const QStringList& archives, const ExtractionResult& result) {
    std::optional<QString> unsaved;
    for (qsizetype index = 0; index < archives.size(); ++index) {
        if (!result.passwords.encrypted.value(index) || result.operation.failureOf(archives[index])) continue;
        const std::optional<QString> failure =
            m_context.rememberPasswordIfNeeded(archives[index], result.passwords.passwords.value(index));
        if (!unsaved) unsaved = failure;
    }
    return OperationFailure::unsavedNotice(QStringLiteral(u"密码"), unsaved);
}

// The list keeps the archives that failed, so that starting again runs only them.
void ExtractViewModel::keepOnlyFailed(const QList<ArchiveFailure>& failures) {
    QStringList failed;
    for (const ArchiveFailure& failure : failures) failed << failure.archive;
    setSelectedArchiveURL(failed.first());
    setSelectedArchivesForExtraction(failed);
}
