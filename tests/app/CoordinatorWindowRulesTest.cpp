#include "app/CoordinatorFixture.h"
#include "app/LaunchRequest.h"
#include "app/RequestRouter.h"

#include "app/QuitController.h"
#include "app/StatusMenu.h"
#include "app/TrayPresence.h"
#include "views/browser/ArchiveBrowserCommands.h"
#include "views/browser/ArchiveEntryTableModel.h"
#include "views/browser/ArchivePreviewWindow.h"

#include <QAbstractButton>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QMenu>
#include <QMessageBox>
#include <QSystemTrayIcon>
#include <QTest>
#include <QTreeView>

namespace {

class CoordinatorWindowRulesTest : public CoordinatorFixture {};

struct Flags {
    bool isPreviewOnlyExternalOpen;
    bool shouldHide;
    bool suppressUntitled;
    bool hasPresented;

    bool operator==(const Flags&) const = default;
};

Flags flagsOf(const AppCoordinator& c) {
    return {c.isPreviewOnlyExternalOpen(), c.shouldHideMainWorkbenchForPreviewOnlyOpen(),
            c.suppressUntitledMainWindowForExternalOpen(), c.hasPresentedMainWorkbenchWindow()};
}

void PrintTo(const Flags& f, std::ostream* out) {
    *out << "{previewOnly " << f.isPreviewOnlyExternalOpen << ", hide " << f.shouldHide << ", suppress "
         << f.suppressUntitled << ", presented " << f.hasPresented << "}";
}

TEST_F(CoordinatorWindowRulesTest, PlainLaunchShowsTheWindowAndCloseOnlyHidesIt) {
    EXPECT_TRUE(coordinator->shouldOpenUntitledWindow());
    mainWindow.show();
    coordinator->configureMainWorkbenchWindow(&mainWindow);
    EXPECT_EQ(flagsOf(*coordinator), (Flags{false, false, false, true}));

    EXPECT_FALSE(mainWindow.close());
    EXPECT_FALSE(mainWindow.isVisible());
    EXPECT_FALSE(coordinator->isMainWorkbenchWindowVisible());
    coordinator->handleReopen();
    EXPECT_TRUE(coordinator->isMainWorkbenchWindowVisible());
}

TEST_F(CoordinatorWindowRulesTest, ColdStartWithAFileKeepsTheWindowHiddenUntilReopened) {
    const QString text = files.writeFile("notes.txt", "x");
    RequestRouter::routeLaunch(*coordinator, LaunchRequest::fromCommandLine({text}, files.root()));
    EXPECT_EQ(flagsOf(*coordinator), (Flags{true, true, true, false}));
    EXPECT_FALSE(coordinator->shouldOpenUntitledWindow());
    EXPECT_EQ(coordinator->lastMessage(), QStringLiteral(u"收到文件：notes.txt"));

    coordinator->configureMainWorkbenchWindow(&mainWindow);
    EXPECT_FALSE(mainWindow.isVisible());
    scheduler.advance(1200);
    EXPECT_FALSE(coordinator->suppressUntitledMainWindowForExternalOpen());
    // Still a preview-only open that never showed the window: it stays as it is.
    EXPECT_FALSE(coordinator->shouldOpenUntitledWindow());

    // Launching again always brings the main window back, the progress window up or not; the next
    // outside request leaves it open.
    const LaunchRequest plainLaunch = LaunchRequest::fromCommandLine({}, files.root());
    RequestRouter::route(*coordinator, plainLaunch);
    EXPECT_TRUE(mainWindow.isVisible());
    EXPECT_EQ(flagsOf(*coordinator), (Flags{false, false, false, true}));
    waitForOperations();
    coordinator->compressIncoming({text});
    EXPECT_TRUE(mainWindow.isVisible());
    waitForOperations();
    EXPECT_TRUE(mainWindow.isVisible());
}

TEST_F(CoordinatorWindowRulesTest, BackgroundLoginHidesTheWindowUntilSettingsAreOpened) {
    makeCoordinator(true);
    EXPECT_FALSE(coordinator->shouldOpenUntitledWindow());
    coordinator->start(LaunchRequest::fromCommandLine({"--background-login"}, files.root()));
    QWidget* window = coordinator->mainWorkbenchWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_FALSE(window->isVisible());

    coordinator->openSettingsWindow();
    EXPECT_TRUE(window->isVisible());
    EXPECT_FALSE(coordinator->isBackgroundLoginLaunch());
    EXPECT_TRUE(coordinator->hasPresentedMainWorkbenchWindow());
}

TEST_F(CoordinatorWindowRulesTest, LaunchRunsDeferredHooksOnSchedule) {
    struct Case {
        bool defaultHandler;
        bool contextMenu;
        bool refreshExpected;
    };
    for (const Case c : {Case{false, false, false}, Case{true, false, true}, Case{false, true, true}}) {
        makeCoordinator(false);
        changeSettings([&](AppSettings& s) {
            s.setAsDefaultExtractor = c.defaultHandler;
            s.contextMenuEnabled = c.contextMenu;
        });
        int watcherStarts = 0;
        std::optional<AppSettings> refreshedWith;
        coordinator->setLaunchHooks(
            {.startDragWatcher = [&] { ++watcherStarts; },
             .refreshSystemIntegration = [&](const AppSettings& s) { refreshedWith = s; }});
        coordinator->start(LaunchRequest::fromCommandLine({}, files.root()));
        EXPECT_TRUE(coordinator->mainWorkbenchWindow()->isVisible());
        // Settings changed after launch are not what the refresh gets.
        changeSettings([](AppSettings& s) { s.setAsDefaultExtractor = !s.setAsDefaultExtractor; });

        scheduler.advance(999);
        EXPECT_EQ(watcherStarts, 0);
        scheduler.advance(1);
        EXPECT_EQ(watcherStarts, 1);
        scheduler.advance(799);
        EXPECT_FALSE(refreshedWith);
        scheduler.advance(1);
        EXPECT_EQ(refreshedWith.has_value(), c.refreshExpected);
        if (refreshedWith) {
            EXPECT_EQ(refreshedWith->setAsDefaultExtractor, c.defaultHandler);
        }
        scheduler.pending.clear();
    }
}

TEST_F(CoordinatorWindowRulesTest, OpenedFilesGoToTheBrowserOrToTheOperation) {
    const QString zip = files.writeFile("a.zip", "not really");
    const QString volume = files.writeFile("b.7z.002", "x");
    const QString text = files.writeFile("t.txt", "x");

    const auto waitForWindows = [&](qsizetype count) {
        return QTest::qWaitFor([&] { return previewCalls.size() == count; }, 10000);
    };
    coordinator->openFiles({zip, text});
    ASSERT_TRUE(waitForWindows(1));
    EXPECT_EQ(previewCalls[0].archives, QStringList{zip});
    EXPECT_FALSE(previewCalls[0].preloaded);
    EXPECT_TRUE(previewCalls[0].activatesApp);

    coordinator->openFiles({volume, zip});
    ASSERT_EQ(previewCalls.size(), 2);
    EXPECT_EQ(previewCalls[1].archives, (QStringList{volume, zip}));
    EXPECT_FALSE(previewCalls[1].preloaded);

    const QString real = files.path("real.zip");
    runTool("/usr/bin/zip", {"-q", "-j", real, text});
    coordinator->openFiles({real});
    ASSERT_TRUE(waitForWindows(3));
    ASSERT_TRUE(previewCalls[2].preloaded);
    EXPECT_EQ(previewCalls[2].preloaded->size(), 1);

    coordinator->handleActionURL("velmora://preview?path=" + QUrl::toPercentEncoding(text));
    EXPECT_EQ(previewCalls.size(), 3);
    waitForOperations();
    EXPECT_EQ(coordinator->lastMessage(), QStringLiteral(u"已压缩：t.zip"));
}

TEST_F(CoordinatorWindowRulesTest, ActionUrlsOutrankFilesAndUnknownActionsReport) {
    const QString text = files.writeFile("t.txt", "x");
    RequestRouter::route(*coordinator,
                         LaunchRequest::fromCommandLine({"velmora://shred", text}, files.root()));
    EXPECT_FALSE(coordinator->lastMessage());
    EXPECT_TRUE(previewCalls.isEmpty());
    RequestRouter::route(*coordinator,
                         LaunchRequest::fromCommandLine({"velmora://shred?path=%2Fx", text}, files.root()));
    EXPECT_EQ(coordinator->lastMessage(), QStringLiteral(u"未知操作：shred"));
    EXPECT_TRUE(coordinator->outsideRuns().isEmpty());
}

TEST_F(CoordinatorWindowRulesTest, ServiceVerbsWithoutFilesReportTheirText) {
    EXPECT_EQ(RequestRouter::route(*coordinator, LaunchRequest::fromCommandLine({"--service-extract"}, "/")),
              QStringLiteral(u"没有找到可解压的文件。"));
    EXPECT_EQ(RequestRouter::route(*coordinator,
                                   LaunchRequest::fromCommandLine({"--service-compress", "http://x/y"}, "/")),
              QStringLiteral(u"没有找到可压缩的文件。"));
    EXPECT_FALSE(coordinator->isPreviewOnlyExternalOpen());
}

// Without a tray all session, nothing is left to reach velmora by once its windows are gone; a tray
// that went away is a panel restarting, and a login start waits for requests whatever the desktop has.
TEST_F(CoordinatorWindowRulesTest, ClosingTheLastWindowQuitsOnlyWithoutATray) {
    struct Case {
        bool tray;
        bool taskRunning;
        bool otherWindowOpen;
        bool quitsAtOnce;
        bool asks;
        bool trayGoesAway = false;
        bool loginStart = false;
    };
    const Case cases[] = {
        {true, false, false, false, false},  // the tray brings it back
        {false, false, false, true, false},
        {false, true, false, false, true},
        {false, false, true, false, false},  // the other window is the last one now
        {true, false, false, false, false, true},
        {true, true, false, false, false, true},
        {false, false, false, false, false, false, true},
        {false, true, false, false, false, false, true},
    };
    for (const Case& c : cases) {
        trayAvailable = c.tray;
        makeCoordinator(c.loginStart);
        if (c.trayGoesAway) {
            trayAvailable = false;
            scheduler.advance(TrayPresence::kPollIntervalMs);
        }
        QSignalSpy quit(coordinator.get(), &AppCoordinator::quitRequested);
        mainWindow.show();
        coordinator->configureMainWorkbenchWindow(&mainWindow);
        // A login start keeps its window closed until asked for it.
        if (c.loginStart) coordinator->revealMainWorkbenchWindow();
        ASSERT_TRUE(mainWindow.isVisible());
        QWidget other;
        if (c.otherWindowOpen) other.show();
        const QUuid task = QUuid::createUuid();
        ArchiveTask running;
        running.id = task;
        if (c.taskRunning) coordinator->workbenchStore().addTask(running);

        EXPECT_FALSE(mainWindow.close());
        QCoreApplication::processEvents();
        EXPECT_EQ(quit.size(), c.quitsAtOnce ? 1 : 0)
            << c.tray << c.taskRunning << c.otherWindowOpen << c.trayGoesAway << c.loginStart;
        EXPECT_EQ(mainWindow.isVisible(), c.quitsAtOnce || c.asks);
        QMessageBox* question = coordinator->quitController().confirmation();
        ASSERT_EQ(question != nullptr, c.asks);
        if (question) {
            question->reject();
            QCoreApplication::processEvents();
            EXPECT_EQ(quit.size(), 0);
            EXPECT_TRUE(mainWindow.isVisible());
            EXPECT_FALSE(mainWindow.close());
            question = coordinator->quitController().confirmation();
            ASSERT_NE(question, nullptr);
            for (QAbstractButton* button : question->buttons()) {
                if (button->text() == QStringLiteral(u"退出")) button->click();
            }
            EXPECT_EQ(quit.size(), 1);
            coordinator->workbenchStore().cancelTask(task);
        }
        if (c.otherWindowOpen) {
            other.close();
            QCoreApplication::processEvents();
            EXPECT_EQ(quit.size(), 1);
        }
        if (c.taskRunning && !c.asks) coordinator->workbenchStore().cancelTask(task);
        mainWindow.hide();
    }
    trayAvailable = true;
}

// A tray that starts after velmora, and each one after a restart, gets the icon; one going away,
// while a task runs and a window closes, neither quits nor asks.
TEST_F(CoordinatorWindowRulesTest, TheIconFollowsTheTrayAsItComesAndGoes) {
    trayAvailable = false;
    makeCoordinator(false);
    coordinator->start(LaunchRequest::fromCommandLine({}, files.root()));
    ASSERT_NE(coordinator->statusMenu(), nullptr);
    QSystemTrayIcon* icon = coordinator->statusMenu()->trayIcon();
    QSignalSpy quit(coordinator.get(), &AppCoordinator::quitRequested);
    QSignalSpy appeared(&coordinator->trayPresence(), &TrayPresence::appeared);
    scheduler.advance(3 * TrayPresence::kPollIntervalMs);
    EXPECT_FALSE(icon->isVisible());

    trayAvailable = true;
    scheduler.advance(TrayPresence::kPollIntervalMs);
    EXPECT_EQ(appeared.size(), 1);
    EXPECT_TRUE(icon->isVisible());

    ArchiveTask running;
    running.id = QUuid::createUuid();
    coordinator->workbenchStore().addTask(running);
    coordinator->mainWorkbenchWindow()->close();
    trayAvailable = false;
    scheduler.advance(TrayPresence::kPollIntervalMs);
    QWidget window;
    window.show();
    window.close();
    QCoreApplication::processEvents();
    EXPECT_EQ(quit.size(), 0);
    EXPECT_EQ(coordinator->quitController().confirmation(), nullptr);
    EXPECT_FALSE(coordinator->mainWorkbenchWindow()->isVisible());

    trayAvailable = true;
    scheduler.advance(TrayPresence::kPollIntervalMs);
    EXPECT_EQ(appeared.size(), 2);
    EXPECT_TRUE(icon->isVisible());
    coordinator->workbenchStore().cancelTask(running.id);
}

// Ctrl+Q in any window and the tray's "退出" quit, also once the main window was hidden and shown
// again; while a task or a browser window's work runs they ask first, over a window the user sees and
// above the progress window, which stays on top. A left click on the tray icon shows the main window.
TEST_F(CoordinatorWindowRulesTest, EveryWayOutQuitsAndAsksFirstWhileATaskRuns) {
    coordinator->start(LaunchRequest::fromCommandLine({}, files.root()));
    QWidget* window = coordinator->mainWorkbenchWindow();
    ASSERT_NE(window, nullptr);
    QWidget browser;
    browser.show();
    const QList<QAction*> items = coordinator->statusMenu()->menu()->actions();
    QAction* trayQuit = *std::find_if(items.begin(), items.end(),
                                      [](QAction* item) { return item->text() == QStringLiteral(u"退出"); });
    const struct {
        const char* way;
        std::function<void()> quit;
        QWidget* asksOver;
    } cases[] = {
        {"Ctrl+Q, main window", [&] { QTest::keyClick(window, Qt::Key_Q, Qt::ControlModifier); }, window},
        {"Ctrl+Q, browser", [&] { QTest::keyClick(&browser, Qt::Key_Q, Qt::ControlModifier); }, &browser},
        {"tray, main window hidden",
         [&] {
             window->close();
             trayQuit->trigger();
         },
         window},
    };
    enum class Running { nothing, task, browserWork };
    for (const Running running : {Running::nothing, Running::task, Running::browserWork}) {
        for (const auto& c : cases) {
            SCOPED_TRACE(testing::Message() << c.way << ", running " << int(running));
            EXPECT_FALSE(window->close());
            coordinator->handleReopen();
            QSignalSpy quit(coordinator.get(), &AppCoordinator::quitRequested);
            ArchiveTask task;
            task.id = QUuid::createUuid();
            if (running == Running::task) coordinator->workbenchStore().addTask(task);
            browserWorkRunning = running == Running::browserWork;
            c.quit();
            QMessageBox* question = coordinator->quitController().confirmation();
            ASSERT_EQ(question != nullptr, running != Running::nothing);
            if (!question) {
                EXPECT_EQ(quit.size(), 1);
                continue;
            }
            EXPECT_EQ(quit.size(), 0);
            EXPECT_EQ(question->parentWidget(), c.asksOver);
            EXPECT_TRUE(c.asksOver->isVisible());
            EXPECT_TRUE(question->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
            for (QAbstractButton* button : question->buttons()) {
                if (button->text() == QStringLiteral(u"退出")) button->click();
            }
            EXPECT_EQ(quit.size(), 1);
            coordinator->workbenchStore().cancelTask(task.id);
            browserWorkRunning = false;
            QCoreApplication::processEvents();
        }
    }

    EXPECT_FALSE(window->close());
    Q_EMIT coordinator->statusMenu()->trayIcon()->activated(QSystemTrayIcon::Context);
    EXPECT_FALSE(window->isVisible());
    Q_EMIT coordinator->statusMenu()->trayIcon()->activated(QSystemTrayIcon::Trigger);
    EXPECT_TRUE(window->isVisible());
}

// The visible question's button with this text over the window, or nothing.
QAbstractButton* questionButton(const QWidget& window, const QString& text) {
    for (const QMessageBox* question : window.findChildren<QMessageBox*>()) {
        for (QAbstractButton* button : question->buttons()) {
            if (question->isVisible() && button->text() == text) return button;
        }
    }
    return nullptr;
}

// Quitting during a browser window's extraction or edit asks, stops the tool and waits for it to take
// away what it wrote, the rewritten copy of a solid 7Z included.
TEST_F(CoordinatorWindowRulesTest, BrowserWorkIsAskedAboutAndLeavesNothingWhenStopped) {
    files.writeFile("source/small.txt", "s");
    runTool("/bin/sh", {"-c", "head -c 8000000 /dev/urandom > p.bin"}, files.path("source"));
    const QString folder = files.makeFolder("p");
    const QString archive = folder + "/p.7z";
    runTool("/usr/bin/7zz", {"a", "-bd", "-m0=PPMd:mem=16m:o=2", archive, "p.bin", "small.txt"},
            files.path("source"));
    const QMap<QString, QByteArray> original = contentsBelow(folder);
    realBrowserWindows = true;
    using Command = ArchiveBrowserCommands::Command;
    for (const Command command : {Command::extractAll, Command::deleteSelected}) {
        SCOPED_TRACE(int(command));
        makeCoordinator(false);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);  // the windows before
        QSignalSpy quit(coordinator.get(), &AppCoordinator::quitRequested);
        coordinator->openPreviewWindow({archive}, std::nullopt, false);
        ArchivePreviewWindow* browser = nullptr;
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (window->isVisible() && qobject_cast<ArchivePreviewWindow*>(window))
                browser = qobject_cast<ArchivePreviewWindow*>(window);
        }
        ASSERT_NE(browser, nullptr);
        ASSERT_TRUE(QTest::qWaitFor([&] { return browser->tableModel()->rowCount() == 2; }, 60000));
        const QModelIndexList small =
            browser->tableModel()->match(browser->tableModel()->index(0, 0), Qt::DisplayRole, "small.txt");
        browser->table()->setCurrentIndex(small.value(0));
        browser->commands().action(command)->trigger();
        if (command == Command::deleteSelected) questionButton(*browser, QStringLiteral(u"删除"))->click();
        ASSERT_TRUE(holdRunningTool("7zz", command == Command::extractAll ? "x" : "d"));

        QTest::keyClick(browser, Qt::Key_Q, Qt::ControlModifier);
        ASSERT_NE(coordinator->quitController().confirmation(), nullptr);
        questionButton(*browser, QStringLiteral(u"退出"))->click();
        EXPECT_EQ(quit.size(), 1);
        coordinator.reset();
        EXPECT_EQ(QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                  QStringList{"p.7z"});
        EXPECT_EQ(contentsBelow(folder), original);
    }
}

}  // namespace
