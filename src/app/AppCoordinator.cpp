#include "app/AppCoordinator.h"

#include "app/ActionUrl.h"
#include "app/OutsideOperationPlan.h"
#include "app/OutsideRun.h"
#include "app/QuitController.h"
#include "app/RequestRouter.h"
#include "app/Scheduler.h"
#include "app/StatusMenu.h"
#include "app/TrayPresence.h"
#include "core/base/ArchiveFormat.h"
#include "core/base/FileNameHelper.h"
#include "core/engine/CompressionService.h"
#include "viewmodels/ArchiveServiceWorkbenchEngine.h"
#include "viewmodels/WorkbenchModels.h"
#include "viewmodels/WorkbenchPlatform.h"
#include "views/kit/WindowKeys.h"
#include "views/main/MainWindow.h"

#include <QApplication>
#include <QEvent>
#include <QPointer>
#include <QScreen>
#include <QSystemTrayIcon>

namespace {

constexpr int kDragWatcherDelayMs = 1000;
constexpr int kSystemIntegrationDelayMs = 800;
constexpr int kSuppressionDelayMs = 1200;

// "a.zip, b.txt"
QString namesOf(const QStringList& paths) {
    QStringList names;
    for (const QString& path : paths) names.append(FileNameHelper::shownName(path));
    return names.join(QStringLiteral(", "));
}

}  // namespace

AppCoordinator::AppCoordinator(Environment environment, QObject* parent)
    : QObject(parent),
      m_scheduler(environment.scheduler),
      m_platform(environment.platform),
      m_settingsStore(environment.defaults),
      m_archiveService(ArchiveService::standardExtractors(), std::make_shared<CompressionService>()),
      m_passwordBookStore(environment.defaults),
      m_workbenchStore(environment.defaults),
      m_previewWindowOpener(environment.makePreviewWindowOpener(
          {m_archivePreviewService, m_archiveService, m_settingsStore, m_passwordBookStore, m_platform})),
      m_isBackgroundLoginLaunch(environment.isBackgroundLoginLaunch),
      m_startedAtLogin(environment.isBackgroundLoginLaunch),
      m_workbenchEngine(std::make_unique<ArchiveServiceWorkbenchEngine>(m_archiveService)),
      m_trayPresence(std::make_unique<TrayPresence>(m_scheduler, environment.isSystemTrayAvailable)),
      m_quitController(std::make_unique<QuitController>(QuitController::Hooks{
          .keepsRunningWithoutWindows = [this] { return keepsRunningWithoutWindows(); },
          .isWorkRunning = [this] { return isWorkRunning(); },
          .revealMainWindow =
              [this] {
                  revealMainWorkbenchWindow();
                  return m_mainWorkbenchWindow.data();
              },
      })),
      m_runner(this, environment.workerPool) {
    connect(m_quitController.get(), &QuitController::quitRequested, this, &AppCoordinator::quitRequested);
}

bool AppCoordinator::defaultSystemTrayAvailable() { return QSystemTrayIcon::isSystemTrayAvailable(); }

AppCoordinator::~AppCoordinator() {
    WindowKeys::setSettingsOpener({});
    for (OutsideRun* run : std::as_const(m_runs)) run->token().cancel();
    // The browsers' work stops too, and cleans up while the services it uses still exist.
    m_previewWindowOpener.reset();
    m_runner.waitForDone();
    qDeleteAll(m_runs);
}

std::optional<QString> AppCoordinator::start(const LaunchRequest& request) {
    const AppSettings settings = m_settingsStore.load();
    configureTrayIcon();
    const std::optional<QString> error = RequestRouter::routeLaunch(*this, request);
    createMainWorkbenchWindow();
    startDeferredLaunchWork(settings);
    return error;
}

void AppCoordinator::startDeferredLaunchWork(const AppSettings& settings) {
    m_scheduler.schedule(kDragWatcherDelayMs, this, [this, settings] {
        if (m_launchHooks.startDragWatcher) m_launchHooks.startDragWatcher();
        m_scheduler.schedule(kSystemIntegrationDelayMs, this, [this, settings] {
            if (!settings.setAsDefaultExtractor && !settings.contextMenuEnabled) return;
            if (m_launchHooks.refreshSystemIntegration) m_launchHooks.refreshSystemIntegration(settings);
        });
    });
}

bool AppCoordinator::shouldOpenUntitledWindow() const {
    if (m_isBackgroundLoginLaunch || m_suppressUntitledMainWindowForExternalOpen) return false;
    if (m_shouldHideMainWorkbenchForPreviewOnlyOpen) return false;
    if (m_isPreviewOnlyExternalOpen && !m_hasPresentedMainWorkbenchWindow)
        return isMainWorkbenchWindowVisible();
    return true;
}

void AppCoordinator::handleReopen() { revealMainWorkbenchWindow(); }

// ---- Main window

void AppCoordinator::createMainWorkbenchWindow() {
    if (m_workbenchModels) return;
    m_workbenchModels = std::make_unique<WorkbenchModels>(*m_workbenchEngine, m_settingsStore,
                                                          m_passwordBookStore, m_workbenchStore, m_platform);
    m_ownedMainWindow = std::make_unique<MainWindow>(*m_workbenchModels, m_workbenchStore, m_settingsStore,
                                                     m_passwordBookStore);
    if (const QScreen* screen = m_ownedMainWindow->screen())
        m_ownedMainWindow->fitTo(screen->availableGeometry());
    WindowKeys::setSettingsOpener([this] { openSettingsWindow(); });
    if (shouldOpenUntitledWindow()) m_ownedMainWindow->show();
    configureMainWorkbenchWindow(m_ownedMainWindow.get());
}

void AppCoordinator::configureMainWorkbenchWindow(QWidget* window) {
    window->setObjectName(QStringLiteral("velmoraMainWorkbenchWindow"));
    window->setWindowTitle(QStringLiteral("velmora"));
    if (m_mainWorkbenchWindow != window) window->installEventFilter(this);
    m_mainWorkbenchWindow = window;
    if (!m_shouldHideMainWorkbenchForPreviewOnlyOpen && !m_isBackgroundLoginLaunch) {
        if (window->isVisible()) m_hasPresentedMainWorkbenchWindow = true;
    } else {
        window->hide();
    }
}

bool AppCoordinator::eventFilter(QObject* watched, QEvent* event) {
    if (watched != m_mainWorkbenchWindow || event->type() != QEvent::Close) return false;
    // The window outlives its close button; without a tray, closing the last window quits.
    event->ignore();
    if (m_quitController->mainWindowMayHide(m_mainWorkbenchWindow)) m_mainWorkbenchWindow->hide();
    return true;
}

bool AppCoordinator::isMainWorkbenchWindowVisible() const {
    return m_mainWorkbenchWindow && m_mainWorkbenchWindow->isVisible() &&
           !m_mainWorkbenchWindow->isMinimized();
}

void AppCoordinator::revealMainWorkbenchWindow() {
    m_isPreviewOnlyExternalOpen = false;
    m_isBackgroundLoginLaunch = false;
    m_shouldHideMainWorkbenchForPreviewOnlyOpen = false;
    if (!m_mainWorkbenchWindow) return;
    m_hasPresentedMainWorkbenchWindow = true;
    m_mainWorkbenchWindow->showNormal();
    m_mainWorkbenchWindow->raise();
    m_mainWorkbenchWindow->activateWindow();
}

void AppCoordinator::openSettingsWindow() {
    m_isPreviewOnlyExternalOpen = false;
    m_suppressUntitledMainWindowForExternalOpen = false;
    m_shouldHideMainWorkbenchForPreviewOnlyOpen = false;
    revealMainWorkbenchWindow();
    if (m_ownedMainWindow) m_ownedMainWindow->showSettingsPage();
}

// ---- Outside requests

void AppCoordinator::setLastMessage(const QString& message) { m_lastMessage = message; }

void AppCoordinator::markExternalOpen() {
    m_suppressUntitledMainWindowForExternalOpen = true;
    const bool hide = isMainWorkbenchWindowVisible() ? false : !m_hasPresentedMainWorkbenchWindow;
    m_isPreviewOnlyExternalOpen = true;
    m_shouldHideMainWorkbenchForPreviewOnlyOpen = hide;
}

void AppCoordinator::openFiles(const QStringList& paths) {
    if (paths.isEmpty()) return;
    setLastMessage(QStringLiteral(u"收到文件：") + namesOf(paths));
    previewIncoming(paths, true);
}

void AppCoordinator::handleActionURL(const QString& url) {
    const std::optional<ActionUrl> request = ActionUrl::read(url);
    if (!request || request->paths.isEmpty()) return;
    if (request->action == QLatin1String("extract")) {
        handleIncoming(request->paths);
    } else if (request->action == QLatin1String("compress")) {
        compressIncoming(request->paths);
    } else if (request->action == QLatin1String("preview")) {
        previewIncoming(request->paths, true);
    } else {
        setLastMessage(QStringLiteral(u"未知操作：") + request->action);
    }
}

void AppCoordinator::resetPreviewOnlyFlags() {
    m_isPreviewOnlyExternalOpen = true;
    m_shouldHideMainWorkbenchForPreviewOnlyOpen = false;
}

void AppCoordinator::clearExternalOpenSuppressionSoon() {
    m_scheduler.schedule(kSuppressionDelayMs, this,
                         [this] { m_suppressUntitledMainWindowForExternalOpen = false; });
}

void AppCoordinator::previewIncoming(const QStringList& paths, bool previewOnly) {
    if (previewOnly) {
        clearExternalOpenSuppressionSoon();
        resetPreviewOnlyFlags();
    }
    QStringList archives;
    std::copy_if(paths.begin(), paths.end(), std::back_inserter(archives), ArchiveFormat::isArchive);
    if (archives.isEmpty()) {
        handleIncoming(paths);
        return;
    }
    const bool activatesApp = !m_isBackgroundLoginLaunch;
    if (!previewOnly || archives.size() != 1) {
        openPreviewWindow(archives, std::nullopt, activatesApp);
        return;
    }
    // A large ZIP's directory takes a moment to read, so it is read off the GUI thread.
    const ArchivePreviewService& service = m_archivePreviewService;
    const QString archive = archives.first();
    m_runner.run([&service, archive] { return service.fastPreviewEntriesIfAvailable(archive); },
                 [this, archive, activatesApp](Outcome<std::optional<QList<ArchivePreviewEntry>>>& listing) {
                     openPreviewWindow({archive}, listing.succeeded() ? listing.value() : std::nullopt,
                                       activatesApp);
                 });
}

bool AppCoordinator::openPreviewWindow(const QStringList& paths,
                                       const std::optional<QList<ArchivePreviewEntry>>& preloadedEntries,
                                       bool activatesApp) {
    QStringList archives;
    std::copy_if(paths.begin(), paths.end(), std::back_inserter(archives), ArchiveFormat::isArchive);
    if (archives.isEmpty()) return false;
    m_previewWindowOpener->openPreviewWindow(archives, preloadedEntries, activatesApp);
    return true;
}

OutsideRun& AppCoordinator::beginRun(ArchiveActivityKind kind) {
    auto* run = new OutsideRun(kind, m_scheduler);
    m_runs.append(run);
    connect(run, &OutsideRun::done, this, [this, run] { forgetRun(run); });
    // A main window the user has open stays; one that is not open is not opened by the launch.
    if (!isMainWorkbenchWindowVisible()) m_shouldHideMainWorkbenchForPreviewOnlyOpen = true;
    return *run;
}

void AppCoordinator::forgetRun(OutsideRun* run) {
    if (m_runs.removeOne(run)) run->deleteLater();
}

void AppCoordinator::handleIncoming(const QStringList& paths) {
    if (paths.isEmpty()) return;
    processIncoming(paths);
}

void AppCoordinator::compressIncoming(const QStringList& paths) {
    if (paths.isEmpty()) return;
    resetPreviewOnlyFlags();
    processCompression(OutsideOperationPlan::uniqueInOrder(paths), m_settingsStore.load());
}

// Outside requests run the pages' engine steps through the same engine; what is theirs alone: no task
// records, a progress window per run, unique inputs, the default folder read afresh, and ZIP at the
// standard level without a password. Items that are gone or are no file or folder are refused before
// any tool runs and named in the window from the start while the rest runs; with nothing left the
// engine refuses them itself, as on the pages.
void AppCoordinator::processIncoming(const QStringList& paths) {
    const AppSettings settings = m_settingsStore.load();
    const QStringList inputs = OutsideOperationPlan::uniqueInOrder(paths);
    if (!ExtractViewModel::allCountAsArchives(inputs)) {
        processCompression(inputs, settings);
        return;
    }
    const OutsideOperationPlan::CheckedInputs checked =
        OutsideOperationPlan::checkedInputs(OutsideOperationPlan::archivesForEngine(inputs));
    OutsideRun& run = beginRun(ArchiveActivityKind::extract);
    run.start(checked.usable, checked.refused);
    const QString root = OutsideOperationPlan::destinationRoot(inputs, settings);
    const int threadCount = m_platform.activeProcessorCount();
    WorkbenchEngine& engine = *m_workbenchEngine;
    m_runner.run(
        [&engine, archives = checked.usable, root, settings, threadCount, token = run.token()] {
            return engine.extract(archives, root, {}, settings, threadCount, token);
        },
        [this, run = &run](Outcome<OperationOutputs>& outcome) { finishRun(*run, outcome); });
}

void AppCoordinator::processCompression(const QStringList& inputs, const AppSettings& settings) {
    const OutsideOperationPlan::CheckedInputs checked = OutsideOperationPlan::checkedInputs(inputs);
    OutsideRun& run = beginRun(ArchiveActivityKind::compress);
    run.start(checked.usable, checked.refused);
    const SourceCompression compression{
        .sources = checked.usable,
        .root = OutsideOperationPlan::destinationRoot(checked.usable, settings),
        .format = CompressionFormat::zip,
        .level = CompressionLevel::standard,
        .password = std::nullopt,
        .excludeHiddenFiles = settings.ignoreHiddenFilesWhenCompressing,
        .separateArchives = settings.compressToSeparateFolder,
        .trashSources = settings.deleteSourceAfterCompress,
        .threadCount = m_platform.activeProcessorCount(),
    };
    WorkbenchEngine& engine = *m_workbenchEngine;
    BackgroundRunner& runner = m_runner;
    // A run lives until it has finished, so reports that reach it find it.
    const ProgressHandler progress = [&runner, run = &run](double fraction) {
        runner.post([run, fraction] { run->reportProgress(fraction); });
    };
    m_runner.run([&engine, compression, token = run.token(),
                  progress] { return engine.compressSources(compression, progress, token); },
                 [this, run = &run](Outcome<OperationOutputs>& outcome) { finishRun(*run, outcome); });
}

void AppCoordinator::finishRun(OutsideRun& run, Outcome<OperationOutputs>& outcome) {
    run.finish(outcome);
    setLastMessage(run.outcomeText());
    if (outcome.succeeded() && !outcome.value().outputs.isEmpty())
        m_platform.revealInFileManager(OutsideOperationPlan::uniqueInOrder(outcome.value().outputs));
    Q_EMIT externalOperationFinished();
}

// ---- Tray

void AppCoordinator::configureTrayIcon() {
    if (m_statusMenu) return;
    m_statusMenu = std::make_unique<StatusMenu>([this] { return statusText(); });
    connect(m_statusMenu.get(), &StatusMenu::openSettingsRequested, this,
            &AppCoordinator::openSettingsWindow);
    connect(m_statusMenu.get(), &StatusMenu::chooseArchivesRequested, this, &AppCoordinator::chooseArchives);
    connect(m_statusMenu.get(), &StatusMenu::chooseFilesRequested, this, &AppCoordinator::chooseFiles);
    connect(m_statusMenu.get(), &StatusMenu::quitRequested, this,
            [this] { m_quitController->requestQuit(nullptr); });
    connect(m_statusMenu.get(), &StatusMenu::showMainWindowRequested, this,
            &AppCoordinator::revealMainWorkbenchWindow);
    connect(m_trayPresence.get(), &TrayPresence::appeared, m_statusMenu.get(), &StatusMenu::showIcon);
    if (m_trayPresence->isAvailable()) m_statusMenu->showIcon();
}

// A tray that went away is a panel restarting: it comes back, and the icon with it. A login start
// is there to wait for requests, tray or not; a later launch shows its window.
bool AppCoordinator::keepsRunningWithoutWindows() const {
    return m_startedAtLogin || m_trayPresence->hasAppeared();
}

bool AppCoordinator::isWorkRunning() const {
    if (std::any_of(m_runs.cbegin(), m_runs.cend(), [](const OutsideRun* run) { return run->isWorking(); }))
        return true;
    if (m_previewWindowOpener && m_previewWindowOpener->isWorkRunning()) return true;
    const QList<ArchiveTask>& tasks = m_workbenchStore.tasks();
    return std::any_of(tasks.begin(), tasks.end(),
                       [](const ArchiveTask& task) { return task.status == ArchiveActivityStatus::running; });
}

QString AppCoordinator::statusText() const {
    return m_lastMessage.value_or(QStringLiteral(u"velmora 已就绪"));
}

void AppCoordinator::chooseArchives() {
    const QPointer<AppCoordinator> coordinator(this);
    m_platform.openFileDialog({.multipleSelection = true, .purpose = QStringLiteral("archives")},
                              [coordinator](const QStringList& paths) {
                                  if (coordinator && !paths.isEmpty())
                                      coordinator->previewIncoming(paths, false);
                              });
}

void AppCoordinator::chooseFiles() {
    const QPointer<AppCoordinator> coordinator(this);
    m_platform.openFileDialog({.choosesFiles = true,
                               .choosesFolders = true,
                               .multipleSelection = true,
                               .purpose = QStringLiteral("sources")},
                              [coordinator](const QStringList& paths) {
                                  if (coordinator && !paths.isEmpty()) coordinator->handleIncoming(paths);
                              });
}
