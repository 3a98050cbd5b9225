#include "app/AppCoordinator.h"
#include "app/DesktopWorkbenchPlatform.h"
#include "app/DragWatcher.h"
#include "app/LaunchRequest.h"
#include "app/RequestRouter.h"
#include "app/Scheduler.h"
#include "app/SingleInstance.h"
#include "app/TerminationSignals.h"
#include "app/TrayDropMonitor.h"
#include "platform/ToolText.h"
#include "core/content/EditWorkFolder.h"
#include "platform/DefaultsStore.h"
#include "platform/PrivateTempDirectory.h"
#include "platform/SystemIntegrationService.h"
#include "platform/WorkJournal.h"
#include "views/kit/Icons.h"
#include "views/kit/Theme.h"

#include <QApplication>
#include <QDir>
#include <QScopeGuard>
#include <QThreadPool>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

namespace {

// A file name need not be UTF-8: its bytes are kept (ToolText::escapedName) for the tools and the file
// system to get back.
QStringList commandLineArguments(int argc, char* argv[]) {
    QStringList arguments;
    for (int i = 1; i < argc; ++i) arguments.append(ToolText::escapedName(argv[i]));
    return arguments;
}

// Leaving main waits for running work to stop and clean up. A tool that will not stop must not keep
// velmora alive after a logout; what is left then is removed at the next start.
constexpr auto kTeardownLimit = std::chrono::seconds(10);

void printError(const QString& text) { std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData()); }

void limitTeardown() {
    std::thread([] {
        std::this_thread::sleep_for(kTeardownLimit);
        std::_Exit(EXIT_FAILURE);
    }).detach();
}

}  // namespace

int main(int argc, char* argv[]) {
    const LaunchRequest request =
        LaunchRequest::fromCommandLine(commandLineArguments(argc, argv), QDir::currentPath());
    if (request.helpRequested) {
        std::fputs(LaunchRequest::usage().toLocal8Bit().constData(), stdout);
        return 0;
    }
    if (const std::optional<QString> problem = request.problem()) {
        printError(*problem);
        return 1;
    }

    if (const std::optional<PrivateTempDirectory::Problem> problem = PrivateTempDirectory::problem()) {
        printError(QStringLiteral(u"无法使用临时文件夹 ") + problem->folder + QStringLiteral(u"（") +
                   problem->reason + QStringLiteral(u"），velmora 无法启动。"));
        return 1;
    }
    // Settle who is primary before any GUI starts, so a forwarding launch ends quickly.
    const std::optional<QString> runtimeDirectory = SingleInstance::standardRuntimeDirectory();
    if (!runtimeDirectory) {
        printError(QStringLiteral(
            u"找不到只属于当前用户的运行目录（XDG_RUNTIME_DIR 或临时文件夹），velmora 无法启动。"));
        return 1;
    }
    SingleInstance instance(*runtimeDirectory);
    if (request.backgroundLogin && !instance.tryClaim()) return 0;
    const SingleInstance::Outcome outcome = instance.claimOrForward(request);
    if (!outcome.isPrimary) {
        if (outcome.error) printError(*outcome.error);
        return outcome.error ? 1 : 0;
    }
    // No other velmora of this user runs: what earlier runs left behind is nobody's work now.
    WorkJournal::removeLeftovers(EditWorkFolder::holdsWholeArchive);
    DefaultsStore().removeStaleTemporaries();
    PrivateTempDirectory::recordFoldersInJournal();
    // Destroyed after the coordinator and the windows, whose work has ended by then.
    const auto removeRecordedFolders = qScopeGuard([] { PrivateTempDirectory::removeRecordedFolders(); });

    QApplication application(argc, argv);
    TerminationSignals terminationSignals;
    QApplication::setApplicationName(QStringLiteral("velmora"));
    QApplication::setOrganizationDomain(QStringLiteral("velmora.com"));
    QApplication::setDesktopFileName(QStringLiteral("com.velmora.pro"));
    QApplication::setWindowIcon(Icons::applicationIcon());
    Theme::apply(application);
    // Closing windows never ends velmora; only the tray's quit does.
    QApplication::setQuitOnLastWindowClosed(false);

    // Listen before the windows are built, so a launch forwarded meanwhile connects at once; its
    // request waits in the socket until the event loop runs, when the coordinator exists. A signal
    // not yet handled means velmora ends: what comes then is left to the next primary.
    AppCoordinator* coordinatorReady = nullptr;
    if (!instance.listen({
            .refusal = &RequestRouter::refusal,
            .carryOut = [&coordinatorReady](const LaunchRequest& forwarded) {
                RequestRouter::route(*coordinatorReady, forwarded);
            },
            .declines = [&] { return !coordinatorReady || terminationSignals.isPending(); },
        })) {
        printError(QStringLiteral(u"无法打开 velmora 的本地通信端口：") + instance.serverName());
    }

    TimerScheduler scheduler;
    DesktopWorkbenchPlatform platform;
    AppCoordinator coordinator(
        {.scheduler = scheduler, .platform = platform, .isBackgroundLoginLaunch = request.backgroundLogin});
    // The loop ends at once: QApplication::quit() would first send every window a close event, and
    // the main window, which only hides, would cancel it. Nothing is taken from then on: a launch
    // that comes while velmora ends is served by the next one.
    QObject::connect(&coordinator, &AppCoordinator::quitRequested, &application, [&instance] {
        instance.stopListening();
        QCoreApplication::exit(EXIT_SUCCESS);
    });
    // A signal asks nothing: the session is going.
    QObject::connect(&terminationSignals, &TerminationSignals::received, &coordinator,
                     &AppCoordinator::quitRequested);
    const auto dropMonitor =
        TrayDropMonitor::forCoordinator(coordinator, DefaultsStore(), DragWatcher::forCurrentSession());
    AppCoordinator::LaunchHooks launchHooks;
    launchHooks.startDragWatcher = [&dropMonitor] { dropMonitor->startTrayDropMonitor(); };
    // The default handler and the file-manager entries are applied again off the GUI thread; the
    // service serialises its mimeapps.list edits with the settings page's.
    launchHooks.refreshSystemIntegration = [](const AppSettings& settings) {
        QThreadPool::globalInstance()->start([settings] {
            SystemIntegrationService().refreshIntegration(settings.setAsDefaultExtractor,
                                                          settings.contextMenuEnabled);
        });
    };
    coordinator.setLaunchHooks(std::move(launchHooks));
    coordinatorReady = &coordinator;
    if (const std::optional<QString> error = coordinator.start(request)) printError(*error);
    const int status = QApplication::exec();
    instance.stopListening();
    // The coordinator and the main window's model cancel their work and wait for it as they go.
    limitTeardown();
    return status;
}
