#include "viewmodels/ArchivePreviewWindowModel.h"

#include "core/base/FileNameHelper.h"
#include "core/base/SplitArchiveDetector.h"
#include "core/engine/ArchiveError.h"
#include "core/state/ArchivePasswordBookStore.h"
#include "core/state/SettingsStore.h"
#include "platform/ByteCountFormatter.h"
#include "viewmodels/ArchiveBrowserPlatform.h"
#include "viewmodels/ArchiveBrowserServices.h"
#include "viewmodels/OperationFailure.h"

#include <QFileInfo>
#include <algorithm>
#include <utility>

namespace {

// The password book candidate that opened the archive, with the listing made with it.
using OpenedListing = std::optional<std::pair<QString, QList<ArchivePreviewEntry>>>;

// A listing, and what the password it was made with did to an encrypted entry.
struct TestedListing {
    QList<ArchivePreviewEntry> entries;
    ArchivePasswordProbe::EntryTest passwordTest = ArchivePasswordProbe::EntryTest::unproven;
};

const QString kNoSelectionMessage = QStringLiteral(u"请选择一个文件进行预览");
const QString kWaitingMessage = QStringLiteral(u"正在等待此压缩包的其他操作完成...");

QStringList identities(const QStringList& archiveURLs) {
    QStringList result;
    for (const QString& archive : archiveURLs) result << ArchiveWorkQueue::identity(archive);
    return result;
}

bool isBlank(const QString& text) { return text.trimmed().isEmpty(); }

}  // namespace

std::shared_ptr<ArchivePreviewWindowModel> ArchivePreviewWindowModel::create(
    const QStringList& archiveURLs, ArchiveBrowserServices& services, SettingsStore& settingsStore,
    ArchivePasswordBookStore& passwordBookStore, std::shared_ptr<ArchiveBrowserPlatform> platform,
    const std::optional<QList<ArchivePreviewEntry>>& preloadedEntries, QThreadPool* workerPool) {
    // The last owner may let go inside one of the model's own deliveries: deleted once it returns.
    std::shared_ptr<ArchivePreviewWindowModel> model(
        new ArchivePreviewWindowModel(archiveURLs, services, settingsStore, passwordBookStore,
                                      std::move(platform), workerPool),
        [](ArchivePreviewWindowModel* doomed) { doomed->deleteLater(); });
    model->start(preloadedEntries);
    return model;
}

ArchivePreviewWindowModel::ArchivePreviewWindowModel(const QStringList& archiveURLs,
                                                     ArchiveBrowserServices& services,
                                                     SettingsStore& settingsStore,
                                                     ArchivePasswordBookStore& passwordBookStore,
                                                     std::shared_ptr<ArchiveBrowserPlatform> platform,
                                                     QThreadPool* workerPool)
    : m_previewMessage(kNoSelectionMessage),
      m_archiveURLs(archiveURLs),
      m_archiveIdentities(identities(archiveURLs)),
      m_services(services),
      m_settingsStore(settingsStore),
      m_passwordBookStore(passwordBookStore),
      m_platform(std::move(platform)),
      m_runner(this, workerPool) {
    connect(&ArchiveWorkQueue::shared(), &ArchiveWorkQueue::archiveEdited, this,
            &ArchivePreviewWindowModel::archiveEdited);
}

ArchivePreviewWindowModel::~ArchivePreviewWindowModel() { ArchiveWorkQueue::shared().forget(this); }

void ArchivePreviewWindowModel::workAsked(WorkKind kind) {
    if (m_runningWork++ == 0) m_keepAlive = shared_from_this();
    if (kind == WorkKind::extraction || kind == WorkKind::edit) ++m_changingFilesWork;
}

void ArchivePreviewWindowModel::queueWork(WorkKind kind,
                                          std::function<void(const ArchiveWorkQueue::TurnHandle&)> start) {
    // A stopped window's work ends as cancelled at once: it waits for nothing, and nothing for it.
    if (m_workToken.isCancelled()) return start(nullptr);
    const bool tells = kind != WorkKind::preview;
    const QString running = m_statusMessage;
    const bool started = ArchiveWorkQueue::shared().enqueue(
        this, m_archiveIdentities,
        kind == WorkKind::edit ? ArchiveWorkQueue::Access::edits : ArchiveWorkQueue::Access::reads,
        [this, tells, running, start = std::move(start)](const ArchiveWorkQueue::TurnHandle& turn) {
            if (tells && m_statusMessage == kWaitingMessage) setStatusMessage(running);
            start(turn);
        },
        [this, kind] { workEnded(kind); });
    if (!started && tells) setStatusMessage(kWaitingMessage);
}

void ArchivePreviewWindowModel::workDelivered(WorkKind kind) {
    // Whatever its outcome, the tool may have changed the archive.
    if (kind == WorkKind::edit && !m_isShutDown)
        ArchiveWorkQueue::shared().announceEdit(m_archiveIdentities.first(), this);
    workEnded(kind);
}

void ArchivePreviewWindowModel::workEnded(WorkKind kind) {
    if (kind == WorkKind::extraction || kind == WorkKind::edit) --m_changingFilesWork;
    if (--m_runningWork > 0) return;
    // Dropped last: the deleter only schedules the deletion.
    m_keepAlive.reset();
}

void ArchivePreviewWindowModel::archiveEdited(const QString& identity, const QObject* editor) {
    if (editor == this || m_archiveIdentities != QStringList{identity} || m_workToken.isCancelled() ||
        m_listingQueued)
        return;
    if (m_isLoading || m_passwordPrompt) {
        m_listingStale = true;
        return;
    }
    reload();
}

void ArchivePreviewWindowModel::reloadIfStale() {
    if (m_listingStale && !m_isLoading && !m_passwordPrompt && !m_workToken.isCancelled()) reload();
}

bool ArchivePreviewWindowModel::isWorkRunning() const {
    return m_changingFilesWork > 0 && !m_workToken.isCancelled();
}

bool ArchivePreviewWindowModel::mayCloseWindow() {
    if (!isWorkRunning()) {
        // Nobody would see what a listing or a preview finds.
        stopWork();
        return true;
    }
    std::weak_ptr<ArchivePreviewWindowModel> weak = weak_from_this();
    m_platform->confirmClosing(QStringLiteral(u"还有任务正在进行，关闭窗口会停止它。确定关闭吗？"),
                               [weak](bool close) {
                                   const auto self = weak.lock();
                                   if (!self || !close) return;
                                   self->stopWork();
                                   if (self->closeWindow) self->closeWindow();
                               });
    // An answer given at once has stopped the work already.
    return !isWorkRunning();
}

void ArchivePreviewWindowModel::stopWork() {
    m_workToken.cancel();
    cancelPreview();
    // What has not started never will: its window is gone, or velmora ends.
    ArchiveWorkQueue::shared().withdraw(this);
}

void ArchivePreviewWindowModel::shutDown() {
    m_isShutDown = true;
    stopWork();
    m_runner.waitForDone();
}

void ArchivePreviewWindowModel::start(const std::optional<QList<ArchivePreviewEntry>>& preloadedEntries) {
    if (preloadedEntries && !preloadedEntries->isEmpty()) {
        setEntries(*preloadedEntries);
        setStatusMessage(QStringLiteral(u"已读取 %1 个项目。").arg(m_entries.size()));
        m_didStartInitialLoad = true;
        return;
    }
    startInitialLoadIfNeeded();
}

QString ArchivePreviewWindowModel::filterTitle(FilterOption option) {
    switch (option) {
        case FilterOption::all:
            return QStringLiteral(u"全部");
        case FilterOption::files:
            return QStringLiteral(u"文件");
        case FilterOption::folders:
            return QStringLiteral(u"文件夹");
    }
    return {};
}

void ArchivePreviewWindowModel::setEntries(const QList<ArchivePreviewEntry>& value) {
    m_outline = ArchiveEntryOutline(value);
    m_entryIndexByPath.clear();
    m_entryIndexByPath.reserve(value.size());
    // The first entry of a path is the one a selection names.
    for (qsizetype index = value.size() - 1; index >= 0; --index)
        m_entryIndexByPath.insert(value[index].path, index);
    m_entries = value;
    Q_EMIT entriesChanged();
    Q_EMIT changed();
}
void ArchivePreviewWindowModel::setSelectedEntryID(const std::optional<QString>& value) {
    publish(this, m_selectedEntryID, value, &ArchivePreviewWindowModel::selectedEntryIDChanged);
}
void ArchivePreviewWindowModel::setFilterOption(FilterOption value) {
    publish(this, m_filterOption, value, &ArchivePreviewWindowModel::filterOptionChanged);
}
void ArchivePreviewWindowModel::setCurrentFolderPath(const QString& value) {
    publish(this, m_currentFolderPath, value, &ArchivePreviewWindowModel::currentFolderPathChanged);
}
void ArchivePreviewWindowModel::setExpandedFolderPaths(const QSet<QString>& value) {
    publish(this, m_expandedFolderPaths, value, &ArchivePreviewWindowModel::expandedFolderPathsChanged);
}
void ArchivePreviewWindowModel::setPassword(const QString& value) { publish(this, m_password, value); }
void ArchivePreviewWindowModel::setPasswordPrompt(const std::optional<PasswordPrompt>& value) {
    publish(this, m_passwordPrompt, value, &ArchivePreviewWindowModel::passwordPromptChanged);
}
void ArchivePreviewWindowModel::setIsLoading(bool value) {
    // The work a typed password was given to has ended without asking again.
    if (!value) m_promptPasswordPending = false;
    publish(this, m_isLoading, value);
    // After the delivery that ended the work has finished its changes.
    if (!value && m_listingStale)
        QMetaObject::invokeMethod(this, &ArchivePreviewWindowModel::reloadIfStale, Qt::QueuedConnection);
}
void ArchivePreviewWindowModel::setIsPreviewLoading(bool value) {
    publish(this, m_isPreviewLoading, value, &ArchivePreviewWindowModel::isPreviewLoadingChanged);
}
void ArchivePreviewWindowModel::setPreviewFileURL(const std::optional<QString>& value) {
    publish(this, m_previewFileURL, value, &ArchivePreviewWindowModel::previewFileURLChanged);
}
void ArchivePreviewWindowModel::setPreviewMessage(const QString& value) {
    publish(this, m_previewMessage, value, &ArchivePreviewWindowModel::previewMessageChanged);
}
void ArchivePreviewWindowModel::setStatusMessage(const QString& value) {
    publish(this, m_statusMessage, value);
}

QString ArchivePreviewWindowModel::title() const {
    if (m_archiveURLs.size() == 1) return m_archiveURLs.first();
    return QStringLiteral(u"%1 个压缩包").arg(m_archiveURLs.size());
}

QString ArchivePreviewWindowModel::archiveDisplayName() const {
    if (m_archiveURLs.size() == 1) return FileNameHelper::lastPathComponent(m_archiveURLs.first());
    return title();
}

QString ArchivePreviewWindowModel::currentFolderDisplayPath() const {
    return m_currentFolderPath.isEmpty() ? archiveDisplayName() : m_currentFolderPath;
}

QString ArchivePreviewWindowModel::archiveSizeDescription() const {
    qint64 total = 0;
    for (const ArchivePreviewEntry& entry : m_entries) total += entry.byteSize;
    return ByteCountFormatter::fileStyle(total);
}

QString ArchivePreviewWindowModel::fileCountDescription() const {
    const QString files = QStringLiteral(u"%1 个文件").arg(m_outline.fileCount());
    if (m_outline.folderCount() == 0) return files;
    return files + QStringLiteral(u"，%1 个文件夹").arg(m_outline.folderCount());
}

void ArchivePreviewWindowModel::startInitialLoadIfNeeded() {
    if (m_didStartInitialLoad) return;
    m_didStartInitialLoad = true;
    load(false);
}

void ArchivePreviewWindowModel::load(bool force) {
    if (m_isLoading) return;
    if (!force && !m_entries.isEmpty()) return;
    setIsLoading(true);
    setStatusMessage(QStringLiteral(u"正在读取压缩包内容..."));
    if (m_archiveURLs.size() != 1) {
        QList<ArchivePreviewEntry> rows;
        for (const QString& url : m_archiveURLs) {
            ArchivePreviewEntry row;
            row.path = FileNameHelper::lastPathComponent(url);
            row.kindDescription = QStringLiteral(u"压缩包");
            rows << row;
        }
        showListing(rows);
        setIsLoading(false);
        return;
    }
    const QString archive = m_archiveURLs.first();
    const std::optional<QString> password = effectivePassword();
    ArchiveBrowserServices& services = m_services;
    m_listingQueued = true;
    m_listingStale = false;
    // A listing proves no password: a ZIP's names are not encrypted, so it lists with any.
    runInBackground(
        WorkKind::listing,
        [&services, archive, password, token = m_workToken] {
            TestedListing listed{services.previewEntries(archive, password, token)};
            if (password) listed.passwordTest = services.testFirstEncryptedEntry(archive, *password, token);
            return listed;
        },
        [this](Outcome<TestedListing>& outcome) {
            m_listingQueued = false;
            if (outcome.succeeded()) {
                listingSucceeded(outcome.value().entries, outcome.value().passwordTest);
            } else {
                listingFailed(outcome.error());
            }
        });
}

void ArchivePreviewWindowModel::showListing(const QList<ArchivePreviewEntry>& entries) {
    setEntries(entries);
    setSelectedEntryID(std::nullopt);
    setCurrentFolderPath({});
    setExpandedFolderPaths({});
    setStatusMessage(OperationFailure::withNotices(
        QStringLiteral(u"已读取 %1 个项目。").arg(m_entries.size()), std::exchange(m_listingNotice, {})));
}

void ArchivePreviewWindowModel::listingSucceeded(const QList<ArchivePreviewEntry>& entries,
                                                 ArchivePasswordProbe::EntryTest passwordTest) {
    showListing(entries);
    if (passwordTest == ArchivePasswordProbe::EntryTest::decrypts)
        addToStatus(rememberPasswordIfNeeded(m_archiveURLs.first()));
    if (passwordTest == ArchivePasswordProbe::EntryTest::wrong) rejectWrongPassword();
    setIsLoading(false);
}

// Forgotten, so that nothing done without it later stores it, and asked for again.
void ArchivePreviewWindowModel::rejectWrongPassword() {
    setPassword({});
    setStatusMessage(ArchiveError::wrongPassword().message());
    requestPassword(m_statusMessage, LoadAction{});
}

void ArchivePreviewWindowModel::listingFailed(const std::exception_ptr& error) {
    setEntries({});
    setSelectedEntryID(std::nullopt);
    setCurrentFolderPath({});
    setExpandedFolderPaths({});
    setPreviewFileURL(std::nullopt);
    setPreviewMessage(kNoSelectionMessage);
    const QString text = OperationFailure::text(QStringLiteral(u"未知错误。"), error);
    if (!isPasswordError(error)) {
        setStatusMessage(QStringLiteral(u"无法读取压缩包：") + text);
        setIsLoading(false);
        return;
    }
    setStatusMessage(text);
    attemptPasswordBookAutofillIfNeeded(LoadAction{}, [this](bool worked) {
        if (!worked) requestPassword(m_statusMessage, LoadAction{});
        setIsLoading(false);
    });
}

std::optional<QString> ArchivePreviewWindowModel::effectivePassword() const {
    if (isBlank(m_password)) return std::nullopt;
    return m_password;
}

bool ArchivePreviewWindowModel::isPasswordError(const std::exception_ptr& error) {
    return OperationFailure::isWrongPassword(error);
}

void ArchivePreviewWindowModel::requestPassword(const QString& message, const PendingPasswordAction& action) {
    m_pendingPasswordAction = action;
    // Asked again for the work a typed password was given to: that password was wrong.
    const bool retry = std::exchange(m_promptPasswordPending, false);
    setPasswordPrompt(PasswordPrompt{QUuid::createUuid(),
                                     retry ? QStringLiteral(u"密码错误，请重新输入。") : message});
}

void ArchivePreviewWindowModel::submitPromptPassword(const QString& text) {
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty()) return;
    setPassword(trimmed);
    setPasswordPrompt(std::nullopt);
    m_promptPasswordPending = true;
    const std::optional<PendingPasswordAction> action = std::exchange(m_pendingPasswordAction, std::nullopt);
    m_previewFileCache.clear();
    resume(action.value_or(PendingPasswordAction{LoadAction{}}));
}

void ArchivePreviewWindowModel::resume(const PendingPasswordAction& action) {
    if (std::holds_alternative<LoadAction>(action)) {
        reload();
    } else if (std::holds_alternative<ExtractAllAction>(action)) {
        extractAll();
    } else if (const auto* preview = std::get_if<PreviewAction>(&action)) {
        setSelectedEntryID(preview->path);
        updatePreviewForSelection();
    } else if (const auto* extraction = std::get_if<ExtractSelectedAction>(&action)) {
        setSelectedEntryID(extraction->path);
        extractSelected();
    }
}

void ArchivePreviewWindowModel::cancelPasswordPrompt() {
    setPasswordPrompt(std::nullopt);
    m_pendingPasswordAction.reset();
    reloadIfStale();
}

void ArchivePreviewWindowModel::reload() {
    clearPreview();
    m_previewFileCache.clear();
    setCurrentFolderPath({});
    setExpandedFolderPaths({});
    load(true);
}

void ArchivePreviewWindowModel::clearPreviewCacheAndReload() {
    m_previewFileCache.clear();
    reload();
    setStatusMessage(QStringLiteral(u"已清理预览缓存并重新读取压缩包。"));
}

void ArchivePreviewWindowModel::revealArchiveInFileManager() {
    m_platform->revealInFileManager(m_archiveURLs);
}

void ArchivePreviewWindowModel::applyPasswordBookEntry(const ArchivePasswordBookEntry& entry) {
    setPassword(entry.password);
    if (!m_archiveURLs.isEmpty()) {
        m_listingNotice = OperationFailure::unsavedNotice(
            QStringLiteral(u"密码"),
            m_passwordBookStore.remember(entry.password, m_archiveURLs.first(), entry.label).failure);
    }
    reload();
}

QList<ArchivePasswordBookEntry> ArchivePreviewWindowModel::passwordBookMenuEntries() const {
    if (!m_settingsStore.load().archivePasswordBookEnabled) return {};
    return m_passwordBookStore.entries();
}

void ArchivePreviewWindowModel::attemptPasswordBookAutofillIfNeeded(const PendingPasswordAction& action,
                                                                    std::function<void(bool)> done) {
    if (!m_settingsStore.load().archivePasswordBookEnabled || !isBlank(m_password) ||
        m_archiveURLs.isEmpty()) {
        done(false);
        return;
    }
    tryPasswordBookCandidates(m_passwordBookStore.candidatePasswords(m_archiveURLs.first()), action,
                              std::move(done));
}

bool ArchivePreviewWindowModel::isCandidateWorthTrying(const PendingPasswordAction& action) const {
    if (const auto* preview = std::get_if<PreviewAction>(&action)) {
        const ArchivePreviewEntry* entry = entryWithPath(preview->path);
        return entry && !ArchiveEntryOutline::isFolder(*entry);
    }
    if (const auto* extraction = std::get_if<ExtractSelectedAction>(&action)) {
        return entryWithPath(extraction->path) != nullptr;
    }
    return true;
}

// The candidates are tried by test runs of the archive in book order, as for the main window; the one
// that opens it is then used for the listing.
void ArchivePreviewWindowModel::tryPasswordBookCandidates(const QStringList& candidates,
                                                          const PendingPasswordAction& action,
                                                          std::function<void(bool)> done) {
    if (!isCandidateWorthTrying(action) ||
        std::all_of(candidates.begin(), candidates.end(),
                    [](const QString& candidate) { return candidate.isEmpty(); })) {
        done(false);
        return;
    }
    const QString archive = m_archiveURLs.first();
    ArchiveBrowserServices& services = m_services;
    runInBackground(
        WorkKind::listing,
        [&services, archive, candidates, token = m_workToken]() -> OpenedListing {
            const std::optional<QString> found = services.firstOpeningPassword(archive, candidates, token);
            if (!found) return std::nullopt;
            return std::pair(*found, services.previewEntries(archive, *found, token));
        },
        [this, action, done](Outcome<OpenedListing>& outcome) {
            if (!outcome.succeeded() || !outcome.value()) {
                done(false);
                return;
            }
            passwordBookCandidateWorked(outcome.value()->first, outcome.value()->second, action);
            done(true);
        });
}

void ArchivePreviewWindowModel::passwordBookCandidateWorked(const QString& candidate,
                                                            const QList<ArchivePreviewEntry>& listing,
                                                            const PendingPasswordAction& action) {
    setPassword(candidate);
    if (std::holds_alternative<LoadAction>(action)) {
        setEntries(listing);
        setSelectedEntryID(std::nullopt);
        setCurrentFolderPath({});
        setExpandedFolderPaths({});
    } else if (const auto* preview = std::get_if<PreviewAction>(&action)) {
        setSelectedEntryID(preview->path);
    } else if (const auto* extraction = std::get_if<ExtractSelectedAction>(&action)) {
        setSelectedEntryID(extraction->path);
    }
    setStatusMessage(QStringLiteral(u"已从密码本自动填充密码。"));
    addToStatus(rememberPasswordIfNeeded(m_archiveURLs.first()));
    if (!std::holds_alternative<LoadAction>(action)) resume(action);
}

QString ArchivePreviewWindowModel::rememberPasswordIfNeeded(const QString& archiveURL) {
    return rememberPasswordIfNeeded(archiveURL, m_password);
}

QString ArchivePreviewWindowModel::rememberPasswordIfNeeded(const QString& archiveURL,
                                                            const QString& password) {
    if (!m_settingsStore.load().archivePasswordBookAutoSaveEnabled) return {};
    const QString trimmed = password.trimmed();
    if (trimmed.isEmpty()) return {};
    const QString fileName = FileNameHelper::lastPathComponent(archiveURL);
    const std::optional<SplitArchiveDetector::Match> match = SplitArchiveDetector::detect(fileName);
    return OperationFailure::unsavedNotice(
        QStringLiteral(u"密码"),
        m_passwordBookStore.remember(trimmed, archiveURL, match ? match->displayName : fileName).failure);
}

// Said once, however many saves of the same password failed (the menu's and the listing's).
void ArchivePreviewWindowModel::addToStatus(const QString& notice) {
    if (!notice.isEmpty() && !m_statusMessage.endsWith(notice))
        setStatusMessage(OperationFailure::withNotices(m_statusMessage, notice));
}

const ArchivePreviewEntry* ArchivePreviewWindowModel::entryWithPath(const QString& path) const {
    const auto found = m_entryIndexByPath.constFind(path);
    return found == m_entryIndexByPath.constEnd() ? nullptr : &m_entries[*found];
}
