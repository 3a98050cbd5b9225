#include "views/kit/BellButton.h"
#include "views/kit/ScrollPage.h"
#include "views/kit/SidebarButton.h"
#include "views/kit/WindowFit.h"
#include "views/main/CompressPage.h"
#include "views/main/ContentViewState.h"
#include "views/main/MainWindowFixture.h"
#include "views/main/NotificationCenterPanel.h"
#include "views/main/Sidebar.h"
#include "views/main/SplitCompressPage.h"
#include "views/main/SplitCompressionSettingsCard.h"
#include "views/main/TasksPage.h"
#include "views/main/TopBar.h"

#include <QtTest/qtestspontaneevent.h>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>

namespace {

using MainWindowTest = MainWindowFixture;

TEST_F(MainWindowTest, SidebarEntriesShowTheirPageAndReloadTheSettings) {
    const WorkbenchSection sections[] = {WorkbenchSection::compress, WorkbenchSection::history,
                                         WorkbenchSection::home, WorkbenchSection::about};
    for (const WorkbenchSection section : sections) {
        // Changed through another store, unheard; the click reloads it, also for the page already shown.
        SettingsStore(DefaultsStore(defaultsFolder.path()), {}).update([&](AppSettings& settings) {
            settings.compressionThreadCount = int(section) + 2;
        });
        window().sidebar()->button(section)->click();
        EXPECT_EQ(context().selectedSection(), section);
        EXPECT_EQ(window().currentPage(), window().page(section));
        EXPECT_EQ(window().topBar()->title(), WorkbenchSections::title(section));
        EXPECT_TRUE(window().sidebar()->button(section)->isSelected());
        EXPECT_EQ(context().settings().compressionThreadCount, int(section) + 2);
    }
}

// One notch of the wheel, down, over the middle of `widget`, delivered as the window system delivers it
// (a sent event would not go on to the parents).
void turnWheelDown(QWidget* widget) {
    const QPointF centre = QRectF(widget->rect()).center();
    QWheelEvent event(centre, widget->mapToGlobal(centre), QPoint(), QPoint(0, -120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QSpontaneKeyEvent::setSpontaneous(&event);
    qApp->notify(widget, &event);
}

TEST_F(MainWindowTest, TheWheelOverAPickerWithoutFocusScrollsThePage) {
    splitCompress().setSplitCompressionFormat(CompressionFormat::sevenZip);
    context().setSelectedSection(WorkbenchSection::splitCompress);
    QApplication::setActiveWindow(&window());
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window()));
    auto* scroll = qobject_cast<ScrollPage*>(window().page(WorkbenchSection::splitCompress));
    ASSERT_NE(scroll, nullptr);
    QComboBox* picker =
        page<SplitCompressPage>(WorkbenchSection::splitCompress).settingsCard()->formatPicker();
    ASSERT_GT(scroll->verticalScrollBar()->maximum(), 0);

    turnWheelDown(picker);
    EXPECT_EQ(splitCompress().splitCompressionFormat(), CompressionFormat::sevenZip);
    EXPECT_GT(scroll->verticalScrollBar()->value(), 0);

    picker->setFocus(Qt::MouseFocusReason);
    turnWheelDown(picker);
    EXPECT_NE(splitCompress().splitCompressionFormat(), CompressionFormat::sevenZip);
}

TEST_F(MainWindowTest, SplitGroupOpensWithoutChangingThePageAndLightsUpForItsPages) {
    Sidebar* sidebar = window().sidebar();
    EXPECT_TRUE(sidebar->groupChildren()->isHidden());

    sidebar->groupHeader()->click();
    EXPECT_FALSE(sidebar->groupChildren()->isHidden());
    EXPECT_TRUE(waitFor(
        [&] { return sidebar->groupChildren()->height() == sidebar->groupChildren()->sizeHint().height(); }));
    EXPECT_EQ(context().selectedSection(), WorkbenchSection::home);
    EXPECT_FALSE(sidebar->groupHeader()->isSelected());

    sidebar->button(WorkbenchSection::splitExtract)->click();
    EXPECT_EQ(context().selectedSection(), WorkbenchSection::splitExtract);
    EXPECT_TRUE(sidebar->groupHeader()->isSelected());
    EXPECT_TRUE(sidebar->button(WorkbenchSection::splitExtract)->isSelected());

    // Collapsing keeps the split page and the header's highlight.
    sidebar->groupHeader()->click();
    EXPECT_FALSE(window().viewState().isSplitArchiveGroupExpanded());
    EXPECT_TRUE(waitFor([&] { return sidebar->groupChildren()->isHidden(); }));
    EXPECT_EQ(context().selectedSection(), WorkbenchSection::splitExtract);
    EXPECT_TRUE(sidebar->groupHeader()->isSelected());

    // A child entry always opens the group; another writer of the section leaves it as it is.
    sidebar->button(WorkbenchSection::home)->click();
    context().setSelectedSection(WorkbenchSection::splitCompress);
    EXPECT_TRUE(sidebar->groupChildren()->isHidden());
    EXPECT_TRUE(sidebar->groupHeader()->isSelected());
}

TEST_F(MainWindowTest, AnyDismissalClearsTheAlertAndTheSameTextShowsItAgain) {
    window();
    for (int round = 0; round < 2; ++round) {
        context().setAlertMessage(QStringLiteral(u"请选择 ZIP、RAR 或 7Z 压缩包。"));
        ASSERT_NE(window().alert(), nullptr) << round;
        EXPECT_EQ(window().alert()->windowTitle(), QStringLiteral(u"提示"));
        EXPECT_EQ(window().alert()->text(), QStringLiteral(u"请选择 ZIP、RAR 或 7Z 压缩包。"));
        if (round == 0) {
            clickAlertButton(window().alert(), QStringLiteral(u"好的"));
        } else {
            window().alert()->reject();
        }
        EXPECT_FALSE(context().alertMessage().has_value());
        EXPECT_EQ(window().alert(), nullptr);
    }
}

TEST_F(MainWindowTest, EncryptedSevenZipQuestionCancelsOrCompressesWithTheChoices) {
    const QString source = files.writeFile("notes.txt", "hello");
    for (const bool proceed : {false, true}) {
        window();
        compress().setSelectedFilesForCompression({source});
        compress().selectCompressionFormat(CompressionFormat::sevenZip);
        compress().setCompressionPassword("secret");
        compress().compress(false);
        QMessageBox* question = window().encryptedSevenZipAlert();
        ASSERT_NE(question, nullptr);
        EXPECT_EQ(question->windowTitle(), QStringLiteral(u"兼容性提示"));

        clickAlertButton(question, proceed ? QStringLiteral(u"继续压缩") : QStringLiteral(u"取消"));
        EXPECT_FALSE(compress().encryptedSevenZipConfirmationMessage().has_value());
        if (!proceed) {
            EXPECT_EQ(status(), QStringLiteral(u"已取消加密 7Z 压缩。"));
            EXPECT_TRUE(engine.calls().isEmpty());
            EXPECT_EQ(compress().selectedFilesForCompression(), QStringList{source});
            continue;
        }
        ASSERT_TRUE(waitUntilIdle());
        ASSERT_EQ(engine.calls().size(), 1);
        EXPECT_EQ(engine.calls().first().operation, "compressSingle");
        EXPECT_EQ(engine.calls().first().password, QStringLiteral("secret"));
    }
}

TEST_F(MainWindowTest, SettingsRequestShowsTheSettingsPage) {
    window().showSettingsPage();
    EXPECT_EQ(context().selectedSection(), WorkbenchSection::settings);
    EXPECT_EQ(window().topBar()->title(), QStringLiteral(u"设置"));
    EXPECT_TRUE(window().sidebar()->button(WorkbenchSection::settings)->isSelected());
}

TEST_F(MainWindowTest, BellDotFollowsUnreadNotificationsUntilAllAreMarkedRead) {
    TopBar* topBar = window().topBar();
    EXPECT_FALSE(topBar->bell()->showsDot());
    for (int index = 0; index < 50; ++index)
        workbench.addNotification(QStringLiteral(u"通知"), QString::number(index));
    EXPECT_TRUE(topBar->bell()->showsDot());
    EXPECT_EQ(topBar->notificationPanel()->rowCount(), int(WorkbenchStore::kNotificationLimit));

    topBar->bell()->click();
    EXPECT_TRUE(window().viewState().isShowingNotifications());
    EXPECT_TRUE(topBar->notificationPopover()->isVisible());
    // Showing the panel reads nothing.
    EXPECT_GT(workbench.unreadNotificationCount(), 0);

    topBar->notificationPanel()->markAllReadButton()->click();
    EXPECT_FALSE(topBar->bell()->showsDot());

    topBar->notificationPopover()->hide();
    EXPECT_FALSE(window().viewState().isShowingNotifications());
}

TEST_F(MainWindowTest, PasswordBookEntriesAreLoadedWhenTheWindowIsMade) {
    passwordBook.addManualPassword("pw", QStringLiteral(u"工作"), ArchivePasswordBookKind::extraction);
    window();
    EXPECT_EQ(models().passwordBook().passwordBookEntries(), passwordBook.entries());
    EXPECT_EQ(models().passwordBook().passwordBookEntries().size(), 1);
}

// Fixed at 1320 x 800: a maximise button would do nothing. Without the customize hint the desktop
// draws every button.
TEST_F(MainWindowTest, FixedSizeWindowOffersMinimiseAndCloseOnly) {
    const Qt::WindowFlags flags = window().windowFlags();
    EXPECT_EQ(window().minimumSize(), window().maximumSize());
    EXPECT_TRUE(
        flags.testFlags(Qt::CustomizeWindowHint | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint));
    EXPECT_FALSE(flags & Qt::WindowMaximizeButtonHint);
}

// Where the screen's free area holds 1320 x 800 and a title bar the window keeps its fixed size; on a
// 1366 x 768 laptop with a 28 px panel it takes that area, and every page scrolled to its end shows its
// lowest control inside the window.
TEST_F(MainWindowTest, OnASmallScreenTheWindowTakesTheFreeAreaAndEveryPageReachesItsEnd) {
    window().fitTo(QRect(0, 0, 1920, 1052));
    EXPECT_EQ(window().size(), MainWindow::kSize);
    EXPECT_EQ(window().minimumSize(), window().maximumSize());

    const QRect laptop(0, 28, 1366, 740);
    window().fitTo(laptop);
    QCoreApplication::processEvents();
    EXPECT_LE(window().height() + WindowFit::kTitleBar, laptop.height());
    EXPECT_LE(window().width(), laptop.width());
    EXPECT_EQ(window().maximumSize(), MainWindow::kSize);
    for (const WorkbenchSection section : WorkbenchSections::allCases()) {
        SCOPED_TRACE(WorkbenchSections::title(section).toStdString());
        context().setSelectedSection(section);
        QCoreApplication::processEvents();
        QWidget* page = window().page(section);
        QList<ScrollPage*> scrolls = page->findChildren<ScrollPage*>();
        if (auto* own = qobject_cast<ScrollPage*>(page)) scrolls << own;
        for (ScrollPage* scroll : scrolls) {
            QScrollBar* bar = scroll->verticalScrollBar();
            bar->setValue(bar->maximum());
        }
        QCoreApplication::processEvents();
        int lowest = 0;
        for (const QAbstractButton* control : page->findChildren<QAbstractButton*>()) {
            if (!control->isVisibleTo(page) || qobject_cast<const QScrollBar*>(control)) continue;
            const QRect inWindow(control->mapTo(&window(), QPoint()), control->size());
            if (!window().rect().intersects(inWindow)) continue;  // scrolled away above
            lowest = std::max(lowest, inWindow.bottom());
        }
        EXPECT_GT(lowest, 0);
        EXPECT_LT(lowest, window().height());
    }
}

// Many tasks scroll inside the list: on a 1366 x 768 laptop the page itself needs no scrolling, its
// bottom bar stays in the window and the last task scrolls into the window.
TEST_F(MainWindowTest, ManyTasksKeepTheTaskListWithinTheWindow) {
    for (int i = 0; i < 300; ++i) {
        ArchiveTask task;
        task.id = QUuid::createUuid();
        task.name = QStringLiteral("archive %1.zip").arg(i);
        workbench.addTask(task);
    }
    window().fitTo(QRect(0, 28, 1366, 740));
    context().setSelectedSection(WorkbenchSection::tasks);
    QCoreApplication::processEvents();
    auto& tasks = page<TasksPage>(WorkbenchSection::tasks);
    const auto inWindow = [this](const QWidget* widget) {
        return window().rect().contains(QRect(widget->mapTo(&window(), QPoint()), widget->size()));
    };
    for (ScrollPage* scroll : window().findChildren<ScrollPage*>()) {
        if (scroll->isAncestorOf(&tasks)) {
            EXPECT_EQ(scroll->verticalScrollBar()->maximum(), 0);
        }
    }
    EXPECT_TRUE(inWindow(tasks.pauseAllButton()));
    EXPECT_TRUE(inWindow(tasks.clearCompletedButton()));
    QListView* list = tasks.list();
    EXPECT_TRUE(inWindow(list->viewport()));
    const QModelIndex last = list->model()->index(299, 0);
    list->scrollTo(last);
    EXPECT_TRUE(list->viewport()->rect().contains(list->visualRect(last)));
}

// Tab after the password field goes on to the start button, and back.
TEST_F(MainWindowTest, TabReachesTheStartButtonAfterTheFormBothWays) {
    context().setSelectedSection(WorkbenchSection::compress);
    QApplication::setActiveWindow(&window());
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window()));
    auto& compressPage = page<CompressPage>(WorkbenchSection::compress);
    QLineEdit* password = nullptr;
    for (QLineEdit* field : compressPage.findChildren<QLineEdit*>()) {
        if (field->placeholderText() == QStringLiteral(u"设置密码（可选）")) password = field;
    }
    ASSERT_NE(password, nullptr);
    password->setFocus(Qt::TabFocusReason);
    QTest::keyClick(password, Qt::Key_Tab);
    auto* start = qobject_cast<QPushButton*>(QApplication::focusWidget());
    ASSERT_NE(start, nullptr);
    EXPECT_EQ(start->text(), QStringLiteral(u"立即压缩"));
    QTest::keyClick(start, Qt::Key_Backtab);
    EXPECT_EQ(QApplication::focusWidget(), password);
}

// Ctrl+, shows the settings page as the tray menu says; Escape and Ctrl+W close the window; Return on
// a sidebar entry goes to its page.
TEST_F(MainWindowTest, ShortcutsAndReturnOnTheSidebar) {
    QApplication::setActiveWindow(&window());
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window()));
    QTest::keyClick(&window(), Qt::Key_Comma, Qt::ControlModifier);
    EXPECT_EQ(context().selectedSection(), WorkbenchSection::settings);

    SidebarButton* history = window().sidebar()->button(WorkbenchSection::history);
    history->setFocus(Qt::TabFocusReason);
    QTest::keyClick(history, Qt::Key_Return);
    EXPECT_EQ(context().selectedSection(), WorkbenchSection::history);

    for (const QKeySequence& key : {QKeySequence(Qt::Key_Escape), QKeySequence(Qt::CTRL | Qt::Key_W)}) {
        window().show();
        QApplication::setActiveWindow(&window());
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window()));
        QTest::keySequence(&window(), key);
        EXPECT_FALSE(window().isVisible()) << key.toString().toStdString();
    }
}

}  // namespace
