#include "app/AppCoordinator.h"

#include "app/ActionUrl.h"
#include "app/ExternalOperationProgressWindowController.h"
#include "app/OutsideOperationPlan.h"
#include "app/QuitController.h"
#include "app/RequestRouter.h"
#include "app/Scheduler.h"
#include "app/StatusMenu.h"
#include "core/base/ArchiveFormat.h"
#include "core/base/CancellationError.h"
#include "core/base/FileNameHelper.h"
#include "core/engine/CompressionService.h"
#include "core/engine/SourceTrash.h"
#include "viewmodels/ArchiveServiceWorkbenchEngine.h"
#include "viewmodels/OperationFailure.h"
#include "viewmodels/WorkbenchModels.h"
#include "viewmodels/WorkbenchPlatform.h"
#include "views/main/MainWindow.h"

#include <QApplication>
#include <QEvent>
#include <QPointer>
#include <QSystemTrayIcon>
#include <cmath>

namespace {

constexpr int kDragWatcherDelayMs = 1000;
constexpr int kSystemIntegrationDelayMs = 800;
constexpr int kSuppressionDelayMs = 1200;
constexpr int kSuccessCloseDelayMs = 1200;
constexpr int kCancelledCloseDelayMs = 2800;

// "a.zip, b.txt"
QString namesOf(const QStringList& paths) {
    QStringList names;
    for (const QString& path : paths) names.append(FileNameHelper::lastPathComponent(path));
    return names.join(QStringLiteral(", "));
}

// What the progress window says of a run that ended with a result: what it made with the notices of
// sources that stayed, and for an extraction of several each archive that failed, worded as the pages
// word it.
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
        return QStringLiteral(u"已压缩：") + FileNameHelper::lastPathComponent(result.outputs.first()) +
               notices;
    return OperationFailure::withNotices(QStringLiteral(u"已压缩 %1 个压缩包。").arg(result.outputs.size()),
                                         notices);
}

QString partialFailureTitle(ArchiveActivityKind kind, const OperationOutputs& result) {
    if (kind != ArchiveActivityKind::extract) return QStringLiteral(u"部分项目压缩失败");
    return result.outputs.isEmpty() ? QStringLiteral(u"解压失败") : QStringLiteral(u"部分压缩包解压失败");
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
      m_workbenchEngine(std::make_unique<ArchiveServiceWorkbenchEngine>(m_archiveService)),
      m_quitController(std::make_unique<QuitController>(QuitController::Hooks{
          .isTrayAvailable = environment.isSystemTrayAvailable,
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
    for (const CancellationToken& token : std::as_const(m_runningTokens)) token.cancel();
    // The browsers' work stops too, and cleans up while the services it uses still exist.
    m_previewWindowOpener.reset();
    m_runner.waitForDone();
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

quint64 AppCoordinator::beginRun(const CancellationToken& token) {
    const quint64 run = ++m_lastRun;
    m_runningTokens.insert(run, token);
    m_cancellableRun = run;
    m_externalOperationCancelHandler = [token] { token.cancel(); };
    return run;
}

void AppCoordinator::cancelExternalOperation() {
    if (m_externalOperationCancelHandler) m_externalOperationCancelHandler();
}

void AppCoordinator::handleIncoming(const QStringList& paths) {
    if (paths.isEmpty()) return;
    CancellationToken token;
    const quint64 run = beginRun(token);
    processIncoming(run, token, paths);
}

void AppCoordinator::compressIncoming(const QStringList& paths) {
    if (paths.isEmpty()) return;
    resetPreviewOnlyFlags();
    CancellationToken token;
    const quint64 run = beginRun(token);
    processCompression(run, token, OutsideOperationPlan::uniqueInOrder(paths), m_settingsStore.load());
}

// Outside requests run the pages' engine steps through the same engine; what is theirs alone: no task
// records, the progress window, unique inputs, the default folder read afresh, and ZIP at the standard
// level without a password.
void AppCoordinator::processIncoming(quint64 run, const CancellationToken& token, const QStringList& paths) {
    const AppSettings settings = m_settingsStore.load();
    const QStringList inputs = OutsideOperationPlan::uniqueInOrder(paths);
    if (!ExtractViewModel::allCountAsArchives(inputs)) {
        processCompression(run, token, inputs, settings);
        return;
    }
    const QStringList archives = OutsideOperationPlan::archivesForEngine(inputs);
    showProgressWindow(run, QStringLiteral(u"正在解压文件"),
                       QStringLiteral(u"正在解压 %1 个压缩包...").arg(archives.size()));
    const QString root = OutsideOperationPlan::destinationRoot(inputs, settings);
    const int threadCount = m_platform.activeProcessorCount();
    WorkbenchEngine& engine = *m_workbenchEngine;
    m_runner.run(
        [&engine, archives, root, settings, threadCount, token] {
            return engine.extract(archives, root, {}, settings, threadCount, token);
        },
        [this, run](Outcome<OperationOutputs>& outcome) {
            finishRun(run, ArchiveActivityKind::extract, outcome);
        });
}

void AppCoordinator::processCompression(quint64 run, const CancellationToken& token,
                                        const QStringList& inputs, const AppSettings& settings) {
    showProgressWindow(run, QStringLiteral(u"正在压缩文件"),
                       QStringLiteral(u"正在压缩 %1 个项目...").arg(inputs.size()));
    // Items that are gone or are no file or folder are named as failed while the rest runs; with
    // nothing left the engine refuses the first, as on the compress page.
    OutsideOperationPlan::CheckedInputs checked = OutsideOperationPlan::checkedInputs(inputs);
    if (checked.usable.isEmpty()) checked = {.usable = inputs, .refused = {}};
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
    const ProgressHandler progress = [this, &runner, run](double fraction) {
        runner.post([this, run, fraction] { reportProgress(run, fraction); });
    };
    m_runner.run([&engine, compression, token,
                  progress] { return engine.compressSources(compression, progress, token); },
                 [this, run, refused = checked.refused](Outcome<OperationOutputs>& outcome) {
                     if (outcome.succeeded()) outcome.value().failures += refused;
                     finishRun(run, ArchiveActivityKind::compress, outcome);
                 });
}

void AppCoordinator::finishRun(quint64 run, ArchiveActivityKind kind, Outcome<OperationOutputs>& outcome) {
    m_runningTokens.remove(run);
    const bool extraction = kind == ArchiveActivityKind::extract;
    try {
        const OperationOutputs& result = outcome.value();
        const QString notices = SourceTrash::untrashedNotice(result.untrashed);
        const QString text = finishedText(kind, result, notices);
        setLastMessage(text);
        if (result.failures.isEmpty()) {
            finishProgressWindow(run, extraction ? QStringLiteral(u"解压完成") : QStringLiteral(u"压缩完成"),
                                 text, notices.isEmpty() ? RunEnding::succeeded : RunEnding::noticed);
        } else {
            // Names the archives or items that failed, so it stays as a failure does.
            finishProgressWindow(run, partialFailureTitle(kind, result), text, RunEnding::failed);
        }
        if (!result.outputs.isEmpty())
            m_platform.revealInFileManager(OutsideOperationPlan::uniqueInOrder(result.outputs));
    } catch (const CancellationError&) {
        setLastMessage(QStringLiteral(u"任务已取消"));
        finishProgressWindow(run, QStringLiteral(u"已取消"), QStringLiteral(u"任务已取消。"),
                             RunEnding::cancelled);
    } catch (...) {
        // Worded as the pages word it.
        const QString reason = OperationFailure::text(kind, outcome.error());
        setLastMessage(reason);
        finishProgressWindow(run, extraction ? QStringLiteral(u"解压失败") : QStringLiteral(u"压缩失败"),
                             reason, RunEnding::failed);
    }
    Q_EMIT externalOperationFinished();
}

void AppCoordinator::reportProgress(quint64 run, double fraction) {
    if (run != m_progressWindowRun || !m_progressWindowController || !std::isfinite(fraction)) return;
    m_progressWindowController->update(fraction, QStringLiteral(u"正在压缩 ") +
                                                     ExternalOperationProgressModel::percentText(fraction) +
                                                     QStringLiteral("..."));
}

void AppCoordinator::showProgressWindow(quint64 run, const QString& title, const QString& message) {
    if (!m_progressWindowController)
        m_progressWindowController = std::make_unique<ExternalOperationProgressWindowController>();
    m_progressWindowRun = run;
    m_progressWindowController->onCancel = m_externalOperationCancelHandler;
    // A main window the user has open stays; one that is not open is not opened by the launch.
    if (!isMainWorkbenchWindowVisible()) m_shouldHideMainWorkbenchForPreviewOnlyOpen = true;
    m_progressWindowController->show(title, message);
}

void AppCoordinator::finishProgressWindow(quint64 run, const QString& title, const QString& message,
                                          RunEnding ending) {
    if (run == m_cancellableRun) m_externalOperationCancelHandler = nullptr;
    if (run != m_progressWindowRun || !m_progressWindowController) return;
    m_progressWindowController->onCancel = nullptr;
    const StatusKind outcome = ending == RunEnding::succeeded ? StatusKind::success
                               : ending == RunEnding::noticed ? StatusKind::warning
                                                              : StatusKind::error;
    m_progressWindowController->finish(title, message, outcome);
    if (ending == RunEnding::failed || ending == RunEnding::noticed) return;
    m_scheduler.schedule(ending == RunEnding::cancelled ? kCancelledCloseDelayMs : kSuccessCloseDelayMs, this,
                         [this, run] { closeProgressWindow(run); });
}

void AppCoordinator::closeProgressWindow(quint64 run) {
    if (run != m_progressWindowRun || !m_progressWindowController) return;
    m_progressWindowController->close();
    m_progressWindowController.reset();
    m_progressWindowRun = 0;
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
}

bool AppCoordinator::isWorkRunning() const {
    // A run cancelled from its window only cleans up.
    if (std::any_of(m_runningTokens.cbegin(), m_runningTokens.cend(),
                    [](const CancellationToken& token) { return !token.isCancelled(); }))
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
