#pragma once

#include "core/base/CancellationToken.h"
#include "core/content/ArchivePreviewEntry.h"
#include "core/engine/ArchivePasswordProbe.h"
#include "core/engine/ExtractionPasswords.h"
#include "viewmodels/ArchiveEntryOutline.h"
#include "viewmodels/ArchiveWorkQueue.h"
#include "viewmodels/BackgroundRunner.h"
#include "viewmodels/Publish.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QUuid>
#include <functional>
#include <memory>
#include <optional>
#include <variant>

class ArchiveBrowserPlatform;
class ArchiveBrowserServices;
class ArchivePasswordBookStore;
class SettingsStore;
struct ArchivePasswordBookEntry;
struct OperationOutputs;

// Everything one archive browser window shows and the operations its buttons start: the listing, the
// password prompt and the password book tries, the outline of folders, the preview of one entry,
// extraction and in-place editing. Lives on the GUI thread; the archive work runs on worker threads.
//
// Made only through create(): running work keeps the model alive until it ends, so work stopped when
// the window closed still ends in order, and the model is then deleted on its own thread.
// Every property has a change signal, and every change also emits changed().
class ArchivePreviewWindowModel : public QObject,
                                  public std::enable_shared_from_this<ArchivePreviewWindowModel> {
    Q_OBJECT

public:
    enum class FilterOption { all, files, folders };

    struct PasswordPrompt {
        QUuid id;
        QString message;
        bool operator==(const PasswordPrompt&) const = default;
    };

    static std::shared_ptr<ArchivePreviewWindowModel> create(
        const QStringList& archiveURLs, ArchiveBrowserServices& services, SettingsStore& settingsStore,
        ArchivePasswordBookStore& passwordBookStore, std::shared_ptr<ArchiveBrowserPlatform> platform,
        const std::optional<QList<ArchivePreviewEntry>>& preloadedEntries = std::nullopt,
        QThreadPool* workerPool = nullptr);
    ~ArchivePreviewWindowModel() override;

    static QString filterTitle(FilterOption option);

    // Published state.
    const QList<ArchivePreviewEntry>& entries() const { return m_entries; }
    const std::optional<QString>& selectedEntryID() const { return m_selectedEntryID; }
    void setSelectedEntryID(const std::optional<QString>& value);
    FilterOption filterOption() const { return m_filterOption; }
    void setFilterOption(FilterOption value);
    const QString& currentFolderPath() const { return m_currentFolderPath; }
    const QSet<QString>& expandedFolderPaths() const { return m_expandedFolderPaths; }
    const QString& password() const { return m_password; }
    void setPassword(const QString& value);
    const std::optional<PasswordPrompt>& passwordPrompt() const { return m_passwordPrompt; }
    bool isLoading() const { return m_isLoading; }
    bool isPreviewLoading() const { return m_isPreviewLoading; }
    const std::optional<QString>& previewFileURL() const { return m_previewFileURL; }
    const QString& previewMessage() const { return m_previewMessage; }
    const QString& statusMessage() const { return m_statusMessage; }

    const QStringList& archiveURLs() const { return m_archiveURLs; }
    SettingsStore& settingsStore() const { return m_settingsStore; }
    ArchivePasswordBookStore& passwordBookStore() const { return m_passwordBookStore; }
    // Closes the window; set by whoever shows it.
    std::function<void()> closeWindow;

    // Texts.
    QString title() const;
    QString archiveDisplayName() const;
    QString currentFolderDisplayPath() const;
    QString archiveSizeDescription() const;
    // The footer's "内部条目": "3 个文件，2 个文件夹", the folders (implied ones too) only when there are
    // any.
    QString fileCountDescription() const;

    // Loading and passwords.
    void startInitialLoadIfNeeded();
    void reload();
    void submitPromptPassword(const QString& text);
    void applyPasswordBookEntry(const ArchivePasswordBookEntry& entry);
    void cancelPasswordPrompt();
    void clearPreviewCacheAndReload();
    void revealArchiveInFileManager();
    // The entries of the password book menus: none while the book is switched off.
    QList<ArchivePasswordBookEntry> passwordBookMenuEntries() const;

    // Outline and preview.
    const ArchiveEntryOutline& outline() const { return m_outline; }
    QList<ArchivePreviewEntry> filteredEntries() const;
    int depth(const ArchivePreviewEntry& entry) const;
    std::optional<ArchivePreviewEntry> selectedEntry() const;
    bool canExtractSelected() const;
    bool supportsArchiveEditing() const;
    // Why the command cannot run on this archive and selection, as its operation answers; none when it can.
    std::optional<QString> extractSelectedRefusal() const;
    std::optional<QString> addRefusal() const;
    std::optional<QString> deleteRefusal() const;
    bool isExpandable(const ArchivePreviewEntry& entry) const;
    bool isExpanded(const ArchivePreviewEntry& entry) const;
    void toggleExpanded(const ArchivePreviewEntry& entry);
    void toggleExpandCollapseAll();
    void goUpFolder();
    void handleSpacePreviewShortcut();
    void updatePreviewForSelection();

    // Extraction and editing.
    void extractSelected();
    void extractAll();
    void addFiles();
    void deleteSelected();

    // Running work that changes files: an extraction or an edit that has not been told to stop.
    // Quitting asks about it, and so does closing the window.
    bool isWorkRunning() const;
    // The window's close button: true when it may close now. While work runs it asks first, and
    // closing then stops the work and closes the window; a listing or preview stops either way.
    bool mayCloseWindow();
    // Stops all work, now and later: each run ends its tool and removes what it wrote.
    void stopWork();
    // For the end of the process: stops the work and waits until it has cleaned up, while the services
    // still exist. No outcome reaches the model after it.
    void shutDown();

Q_SIGNALS:
    void changed();
    void entriesChanged();
    void selectedEntryIDChanged();
    void filterOptionChanged();
    void currentFolderPathChanged();
    void expandedFolderPathsChanged();
    void passwordPromptChanged();
    void isPreviewLoadingChanged();
    void previewFileURLChanged();
    void previewMessageChanged();

private:
    struct PreviewAction {
        QString path;
    };
    struct ExtractSelectedAction {
        QString path;
    };
    struct LoadAction {};
    struct ExtractAllAction {};
    using PendingPasswordAction =
        std::variant<LoadAction, ExtractAllAction, PreviewAction, ExtractSelectedAction>;

    ArchivePreviewWindowModel(const QStringList& archiveURLs, ArchiveBrowserServices& services,
                              SettingsStore& settingsStore, ArchivePasswordBookStore& passwordBookStore,
                              std::shared_ptr<ArchiveBrowserPlatform> platform, QThreadPool* workerPool);
    void start(const std::optional<QList<ArchivePreviewEntry>>& preloadedEntries);

    void setEntries(const QList<ArchivePreviewEntry>& value);
    void setCurrentFolderPath(const QString& value);
    void setExpandedFolderPaths(const QSet<QString>& value);
    void setPasswordPrompt(const std::optional<PasswordPrompt>& value);
    void setIsLoading(bool value);
    void setIsPreviewLoading(bool value);
    void setPreviewFileURL(const std::optional<QString>& value);
    void setPreviewMessage(const QString& value);
    void setStatusMessage(const QString& value);

    // What work does to the window's archives: it decides what the work waits for in their queue
    // (ArchiveWorkQueue), and whether it changes files (isWorkRunning).
    enum class WorkKind { listing, preview, extraction, edit };

    // Runs `work` on a worker thread once its turn in the archives' queue has come, and `deliver` with
    // its outcome back on this thread; until then the status line says it waits. While any work waits
    // or runs the model holds itself, so it outlives its window until the last outcome is in.
    template <typename Work, typename Deliver>
    void runInBackground(WorkKind kind, Work work, Deliver deliver) {
        workAsked(kind);
        queueWork(kind, [this, kind, work = std::move(work),
                         deliver = std::move(deliver)](const ArchiveWorkQueue::TurnHandle& turn) mutable {
            m_runner.run(
                [work = std::move(work), token = m_workToken]() mutable {
                    token.throwIfCancelled();
                    return work();
                },
                [this, kind, turn, deliver = std::move(deliver)](auto& outcome) mutable {
                    // Ended before the delivery, which may queue the next work on the archive.
                    if (turn) turn->end();
                    if (!m_isShutDown) deliver(outcome);
                    workDelivered(kind);
                });
        });
    }
    void workAsked(WorkKind kind);
    void queueWork(WorkKind kind, std::function<void(const ArchiveWorkQueue::TurnHandle&)> start);
    void workDelivered(WorkKind kind);
    void workEnded(WorkKind kind);
    // An edit of this window's archive in another window has ended: listed again once nothing here
    // is under way, unless a listing queued behind that edit will show its result anyway.
    void archiveEdited(const QString& identity, const QObject* editor);
    void reloadIfStale();

    // Loading and passwords.
    void load(bool force);
    void listingSucceeded(const QList<ArchivePreviewEntry>& entries,
                          ArchivePasswordProbe::EntryTest passwordTest);
    void rejectWrongPassword();
    void listingFailed(const std::exception_ptr& error);
    void showListing(const QList<ArchivePreviewEntry>& entries);
    std::optional<QString> effectivePassword() const;
    static bool isPasswordError(const std::exception_ptr& error);
    void requestPassword(const QString& message, const PendingPasswordAction& action);
    void resume(const PendingPasswordAction& action);
    void attemptPasswordBookAutofillIfNeeded(const PendingPasswordAction& action,
                                             std::function<void(bool)> done);
    void tryPasswordBookCandidates(const QStringList& candidates, const PendingPasswordAction& action,
                                   std::function<void(bool)> done);
    void passwordBookCandidateWorked(const QString& candidate, const QList<ArchivePreviewEntry>& listing,
                                     const PendingPasswordAction& action);
    bool isCandidateWorthTrying(const PendingPasswordAction& action) const;
    // Empty, or what the status line adds when the password could not be saved.
    QString rememberPasswordIfNeeded(const QString& archiveURL);
    QString rememberPasswordIfNeeded(const QString& archiveURL, const QString& password);
    void addToStatus(const QString& notice);
    const ArchivePreviewEntry* entryWithPath(const QString& path) const;

    // Preview.
    void cancelPreview();
    void showPreviewMessage(const QString& message);
    void previewFinished(quint64 generation, const ArchivePreviewEntry& entry, const QString& archiveURL,
                         Outcome<QString>& outcome);

    // Extraction and editing.
    QString singleEntryExtractionDestination(const ArchivePreviewEntry& entry,
                                             const QString& archiveURL) const;
    void extract(const QStringList& archiveURLs);
    QString rememberExtractionPasswords(const QStringList& archiveURLs, const OperationOutputs& result,
                                        const ExtractionPasswords& passwords, const QList<bool>& encrypted);
    void extractionFailed(const std::exception_ptr& error, const PendingPasswordAction& action);
    // Of several archives, some failed: they are what extracting again takes, and one that needs a
    // password the book did not have is asked for by name.
    void batchExtractionFailed(const OperationOutputs& result, const QString& notices);
    // Reveals the outputs and closes the window, unless it still has something to tell.
    void finishExtraction(const QStringList& revealed, bool keepOpen = false);
    // Asks before items that would replace entries of the same name go in.
    void addChosenFiles(const QStringList& fileURLs);
    int sameNamedCount(const QStringList& fileURLs) const;
    void runAdding(const QStringList& fileURLs);
    void deleteEntry(const ArchivePreviewEntry& entry);
    void editSucceeded(const QString& status, const QString& notice);
    void clearPreview();

    QList<ArchivePreviewEntry> m_entries;
    std::optional<QString> m_selectedEntryID;
    FilterOption m_filterOption = FilterOption::all;
    QString m_currentFolderPath;
    QSet<QString> m_expandedFolderPaths;
    QString m_password;
    std::optional<PasswordPrompt> m_passwordPrompt;
    bool m_isLoading = false;
    bool m_isPreviewLoading = false;
    std::optional<QString> m_previewFileURL;
    QString m_previewMessage;
    QString m_statusMessage;
    // Added to the status of the next listing: what a reload started after it must not overwrite.
    QString m_listingNotice;

    const QStringList m_archiveURLs;
    // The archives' places in the work queue.
    const QStringList m_archiveIdentities;
    ArchiveBrowserServices& m_services;
    SettingsStore& m_settingsStore;
    ArchivePasswordBookStore& m_passwordBookStore;
    std::shared_ptr<ArchiveBrowserPlatform> m_platform;
    bool m_didStartInitialLoad = false;
    // A listing has been asked for and not delivered yet.
    bool m_listingQueued = false;
    // Another window edited the archive while this one was busy: it is listed again when idle.
    bool m_listingStale = false;
    // One live preview: a newer request, or a reload, bumps the generation and cancels the token, so
    // the superseded run stops its tool and publishes nothing.
    quint64 m_previewGeneration = 0;
    std::optional<CancellationToken> m_previewToken;
    QHash<QString, QString> m_previewFileCache;
    // A password typed into the prompt is being tried.
    bool m_promptPasswordPending = false;
    std::optional<PendingPasswordAction> m_pendingPasswordAction;
    // The archives of several that the last extraction could not extract; empty: all of them.
    QStringList m_archivesLeft;

    ArchiveEntryOutline m_outline;
    QHash<QString, qsizetype> m_entryIndexByPath;
    int m_runningWork = 0;
    int m_changingFilesWork = 0;
    // Every run but a preview's; cancelled when the window closes or velmora ends.
    CancellationToken m_workToken;
    bool m_isShutDown = false;
    std::shared_ptr<ArchivePreviewWindowModel> m_keepAlive;
    BackgroundRunner m_runner;
};
