#pragma once

#include "app/LaunchRequest.h"
#include "app/PreviewWindowOpener.h"
#include "core/content/ArchivePreviewEntry.h"
#include "core/content/ArchivePreviewService.h"
#include "core/engine/ArchiveService.h"
#include "core/state/ArchiveActivityKind.h"
#include "core/state/ArchivePasswordBookStore.h"
#include "core/state/SettingsStore.h"
#include "core/state/WorkbenchStore.h"
#include "viewmodels/BackgroundRunner.h"

#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>

class ArchiveServiceWorkbenchEngine;
class MainWindow;
class OutsideRun;
class QuitController;
class Scheduler;
class StatusMenu;
class TrayPresence;
class WorkbenchModels;
class WorkbenchPlatform;

// Owns the services and every window of the process, and serves requests from outside the main
// window: files and URLs opened, the file-manager verbs, the tray menu. Lives on the GUI thread for
// the whole process.
class AppCoordinator : public QObject {
    Q_OBJECT

public:
    struct Environment {
        Scheduler& scheduler;
        WorkbenchPlatform& platform;
        DefaultsStore defaults = DefaultsStore();
        bool isBackgroundLoginLaunch = false;
        PreviewWindowOpenerFactory makePreviewWindowOpener = makeDesktopPreviewWindowOpener;
        // Tests hand in a pool they can wait on.
        QThreadPool* workerPool = nullptr;
        // Whether the desktop shows a tray now; asked again and again (TrayPresence). Where none was
        // seen all session, closing the last window quits, unless velmora started at login.
        std::function<bool()> isSystemTrayAvailable = defaultSystemTrayAvailable;
    };
    static bool defaultSystemTrayAvailable();

    // Launch-time work owned elsewhere, started by the launch sequence.
    struct LaunchHooks {
        // One second after launch: the drop window's drag watcher.
        std::function<void()> startDragWatcher;
        // 0.8 s after that, only when the settings read at launch want the default handler or the
        // file-manager entries; gets that copy of the settings.
        std::function<void(const AppSettings&)> refreshSystemIntegration;
    };

    explicit AppCoordinator(Environment environment, QObject* parent = nullptr);
    ~AppCoordinator() override;

    SettingsStore& settingsStore() { return m_settingsStore; }
    ArchiveService& archiveService() { return m_archiveService; }
    ArchivePreviewService& archivePreviewService() { return m_archivePreviewService; }
    ArchivePasswordBookStore& passwordBookStore() { return m_passwordBookStore; }
    WorkbenchStore& workbenchStore() { return m_workbenchStore; }
    WorkbenchPlatform& platform() { return m_platform; }
    // The clock of every fixed delay in the shell.
    Scheduler& scheduler() { return m_scheduler; }

    // Launch: the own request, the tray, the main window (shown unless the request or a login start
    // wants it hidden) and the deferred work. Returns the request's error text, if any.
    std::optional<QString> start(const LaunchRequest& request);
    void setLaunchHooks(LaunchHooks hooks) { m_launchHooks = std::move(hooks); }

    // Flags of outside requests and the main window.
    const std::optional<QString>& lastMessage() const { return m_lastMessage; }
    bool isPreviewOnlyExternalOpen() const { return m_isPreviewOnlyExternalOpen; }
    bool isBackgroundLoginLaunch() const { return m_isBackgroundLoginLaunch; }
    bool shouldHideMainWorkbenchForPreviewOnlyOpen() const {
        return m_shouldHideMainWorkbenchForPreviewOnlyOpen;
    }
    bool suppressUntitledMainWindowForExternalOpen() const {
        return m_suppressUntitledMainWindowForExternalOpen;
    }
    bool hasPresentedMainWorkbenchWindow() const { return m_hasPresentedMainWorkbenchWindow; }

    // Whether a launch shows the main window on its own.
    bool shouldOpenUntitledWindow() const;
    // A launch without arguments while running: shows the main window.
    void handleReopen();

    // Main window. Closing it hides it while the tray is there to bring it back.
    void createMainWorkbenchWindow();
    void configureMainWorkbenchWindow(QWidget* window);
    QWidget* mainWorkbenchWindow() const { return m_mainWorkbenchWindow; }
    bool isMainWorkbenchWindowVisible() const;
    void revealMainWorkbenchWindow();
    void openSettingsWindow();

    // Outside requests.
    void markExternalOpen();
    void openFiles(const QStringList& paths);
    void handleActionURL(const QString& url);
    void previewIncoming(const QStringList& paths, bool previewOnly);
    void handleIncoming(const QStringList& paths);
    void compressIncoming(const QStringList& paths);
    // False when none of the paths is an archive.
    bool openPreviewWindow(const QStringList& paths,
                           const std::optional<QList<ArchivePreviewEntry>>& preloadedEntries,
                           bool activatesApp);

    // The outside operations under way or whose window is still open, oldest first; each has its
    // own window.
    const QList<OutsideRun*>& outsideRuns() const { return m_runs; }

    // Tray.
    void configureTrayIcon();
    StatusMenu* statusMenu() const { return m_statusMenu.get(); }
    TrayPresence& trayPresence() { return *m_trayPresence; }
    // The tray menu's status line.
    QString statusText() const;
    QuitController& quitController() { return *m_quitController; }

Q_SIGNALS:
    // Velmora is to end now: nothing is asked any more and no window may keep it.
    void quitRequested();
    // An outside operation finished and its window got its final state.
    void externalOperationFinished();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void setLastMessage(const QString& message);
    void resetPreviewOnlyFlags();
    void clearExternalOpenSuppressionSoon();
    void startDeferredLaunchWork(const AppSettings& settings);
    OutsideRun& beginRun(ArchiveActivityKind kind);
    void processIncoming(const QStringList& paths);
    void processCompression(const QStringList& inputs, const AppSettings& settings);
    void finishRun(OutsideRun& run, Outcome<OperationOutputs>& outcome);
    void forgetRun(OutsideRun* run);
    void chooseArchives();
    void chooseFiles();
    bool isWorkRunning() const;
    bool keepsRunningWithoutWindows() const;

    Scheduler& m_scheduler;
    WorkbenchPlatform& m_platform;
    SettingsStore m_settingsStore;
    ArchiveService m_archiveService;
    ArchivePreviewService m_archivePreviewService;
    ArchivePasswordBookStore m_passwordBookStore;
    WorkbenchStore m_workbenchStore;
    std::unique_ptr<PreviewWindowOpener> m_previewWindowOpener;

    std::optional<QString> m_lastMessage;
    bool m_isPreviewOnlyExternalOpen = false;
    bool m_isBackgroundLoginLaunch = false;
    const bool m_startedAtLogin;
    bool m_shouldHideMainWorkbenchForPreviewOnlyOpen = false;
    bool m_suppressUntitledMainWindowForExternalOpen = false;
    bool m_hasPresentedMainWorkbenchWindow = false;
    LaunchHooks m_launchHooks;

    // The main window's engine, which outside requests use too.
    std::unique_ptr<ArchiveServiceWorkbenchEngine> m_workbenchEngine;
    std::unique_ptr<WorkbenchModels> m_workbenchModels;
    std::unique_ptr<MainWindow> m_ownedMainWindow;
    QPointer<QWidget> m_mainWorkbenchWindow;
    std::unique_ptr<TrayPresence> m_trayPresence;
    std::unique_ptr<StatusMenu> m_statusMenu;
    std::unique_ptr<QuitController> m_quitController;

    // Owned; each is deleted once it has ended and its window is closed.
    QList<OutsideRun*> m_runs;

    // Last member: its destructor waits for the workers while the services above still exist.
    BackgroundRunner m_runner;
};
