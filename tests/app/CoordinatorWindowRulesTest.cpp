#include "app/CoordinatorFixture.h"
#include "app/LaunchRequest.h"
#include "app/RequestRouter.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QTest>

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
    EXPECT_EQ(flagsOf(*coordinator), (Flags{true, false, true, false}));
    EXPECT_FALSE(coordinator->shouldOpenUntitledWindow());
    EXPECT_EQ(coordinator->lastMessage(), QStringLiteral(u"收到文件：notes.txt"));

    coordinator->configureMainWorkbenchWindow(&mainWindow);
    EXPECT_FALSE(mainWindow.isVisible());
    scheduler.advance(1200);
    EXPECT_FALSE(coordinator->suppressUntitledMainWindowForExternalOpen());
    // Still a preview-only open that never showed the window: it stays as it is.
    EXPECT_FALSE(coordinator->shouldOpenUntitledWindow());

    // A plain launch while the progress window is up leaves things as they are; once it has
    // closed, the same launch brings the main window back.
    const LaunchRequest plainLaunch = LaunchRequest::fromCommandLine({}, files.root());
    RequestRouter::route(*coordinator, plainLaunch);
    EXPECT_FALSE(mainWindow.isVisible());
    waitForOperations();
    scheduler.advance(1200);
    ASSERT_EQ(coordinator->progressWindowController(), nullptr);
    RequestRouter::route(*coordinator, plainLaunch);
    EXPECT_TRUE(mainWindow.isVisible());
    EXPECT_EQ(flagsOf(*coordinator), (Flags{false, false, false, true}));
}

TEST_F(CoordinatorWindowRulesTest, MarkingAnOpenRemembersWhetherTheWindowWasShown) {
    struct Case {
        bool presented;
        bool visible;
        bool expectedHide;
    };
    for (const Case c : {Case{false, false, true}, Case{true, false, false}, Case{true, true, false}}) {
        makeCoordinator(false);
        if (c.presented) {
            mainWindow.show();
            coordinator->configureMainWorkbenchWindow(&mainWindow);
            if (!c.visible) mainWindow.hide();
        }
        coordinator->markExternalOpen();
        EXPECT_EQ(coordinator->shouldHideMainWorkbenchForPreviewOnlyOpen(), c.expectedHide);
        EXPECT_TRUE(coordinator->suppressUntitledMainWindowForExternalOpen());
        EXPECT_TRUE(coordinator->isPreviewOnlyExternalOpen());
        mainWindow.hide();
    }
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
    EXPECT_EQ(coordinator->progressWindowController(), nullptr);
}

TEST_F(CoordinatorWindowRulesTest, ServiceVerbsWithoutFilesReportTheirText) {
    EXPECT_EQ(RequestRouter::route(*coordinator, LaunchRequest::fromCommandLine({"--service-extract"}, "/")),
              QStringLiteral(u"没有找到可解压的文件。"));
    EXPECT_EQ(RequestRouter::route(*coordinator,
                                   LaunchRequest::fromCommandLine({"--service-compress", "http://x/y"}, "/")),
              QStringLiteral(u"没有找到可压缩的文件。"));
    EXPECT_FALSE(coordinator->isPreviewOnlyExternalOpen());
}

}  // namespace
