#include "app/ExternalOperationProgressModel.h"
#include "app/ExternalOperationProgressView.h"
#include "app/ExternalOperationProgressWindowController.h"
#include "views/kit/CapsuleProgressBar.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <cmath>

namespace {

TEST(ProgressWindowTest, UpdatesStayBetweenOneAndNinetyEightPercent) {
    struct Case {
        double reported;
        QString shown;
    };
    const QList<Case> cases = {{0.0, "1%"},    {1.0, "98%"}, {0.456, "45%"}, {-3.0, "1%"},
                               {0.999, "98%"}, {0.5, "50%"}, {NAN, "50%"},   {INFINITY, "50%"}};
    ExternalOperationProgressModel model;
    EXPECT_EQ(ExternalOperationProgressModel::percentText(model.progress()), "8%");
    for (const Case& c : cases) {
        model.update(c.reported, "m");
        EXPECT_EQ(ExternalOperationProgressModel::percentText(model.progress()), c.shown) << c.reported;
    }
}

TEST(ProgressWindowTest, FinishFillsOnSuccessKeepsOnFailureAndIgnoresLateProgress) {
    ExternalOperationProgressModel model;
    model.update(0.4, "m");
    model.finish(QStringLiteral(u"压缩失败"), QStringLiteral(u"压缩失败"), StatusKind::error);
    EXPECT_DOUBLE_EQ(model.progress(), 0.4);
    model.update(0.9, "late");
    EXPECT_DOUBLE_EQ(model.progress(), 0.4);
    EXPECT_EQ(model.message(), QStringLiteral(u"压缩失败"));

    model.start(QStringLiteral(u"正在压缩文件"), QStringLiteral(u"正在压缩 1 个项目..."));
    EXPECT_DOUBLE_EQ(model.progress(), 0.08);
    EXPECT_FALSE(model.isFinished());
    EXPECT_FALSE(model.isError());
    model.finish(QStringLiteral(u"压缩完成"), QStringLiteral(u"已压缩：a.zip"), StatusKind::success);
    EXPECT_DOUBLE_EQ(model.progress(), 1.0);
}

TEST(ProgressWindowTest, WindowShowsRunningAndFinishedStates) {
    ExternalOperationProgressWindowController controller;
    int cancels = 0;
    controller.onCancel = [&] { ++cancels; };
    controller.show(QStringLiteral(u"正在压缩文件"), QStringLiteral(u"正在压缩 3 个项目..."));
    QWidget* window = controller.window();
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->windowTitle(), "velmora");
    EXPECT_EQ(window->size(), QSize(380, 196));

    const auto labelTexts = [&] {
        QStringList texts;
        for (QLabel* label : window->findChildren<QLabel*>()) {
            if (label->isVisible()) texts.append(label->text());
        }
        return texts;
    };
    QPushButton* cancel = static_cast<ExternalOperationProgressView*>(window)->cancelButton();
    EXPECT_TRUE(labelTexts().contains("8%"));
    EXPECT_TRUE(labelTexts().contains(QStringLiteral(u"正在压缩文件")));
    EXPECT_TRUE(cancel->isVisible());

    cancel->click();
    EXPECT_EQ(cancels, 1);
    EXPECT_TRUE(labelTexts().contains(QStringLiteral(u"正在取消任务...")));

    controller.finish(QStringLiteral(u"解压完成"), QStringLiteral(u"已解压 2 个压缩包。"),
                      StatusKind::success);
    EXPECT_FALSE(cancel->isVisible());
    EXPECT_FALSE(window->findChild<CapsuleProgressBar*>()->isVisible());
    EXPECT_FALSE(labelTexts().contains("100%"));
    EXPECT_TRUE(labelTexts().contains(QStringLiteral(u"已解压 2 个压缩包。")));
}

TEST(ProgressWindowTest, FailureShowsItsWholeReasonUntilClosed) {
    ExternalOperationProgressWindowController controller;
    controller.show(QStringLiteral(u"正在解压文件"), QStringLiteral(u"正在解压 1 个压缩包..."));
    auto* view = static_cast<ExternalOperationProgressView*>(controller.window());
    EXPECT_TRUE(view->windowFlags() & Qt::CustomizeWindowHint);
    EXPECT_FALSE(view->windowFlags() & Qt::WindowMaximizeButtonHint);
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    // Within a window frame's margins of the middle.
    EXPECT_LE((view->geometry().center() - screen.center()).manhattanLength(), 10);

    const QString reason = QStringLiteral(
        u"无法开始解压：缺少分卷 “照片备份.part2.rar”，请把全部分卷放在同一个文件夹后"
        u"重试。缺少的分卷可能仍在下载或已被移动到别处。");
    controller.finish(QStringLiteral(u"解压失败"), reason, StatusKind::error);
    QLabel* shown = nullptr;
    for (QLabel* label : view->findChildren<QLabel*>()) {
        if (label->text() == reason) shown = label;
    }
    ASSERT_NE(shown, nullptr);
    EXPECT_TRUE(shown->wordWrap());
    EXPECT_GE(view->height(), shown->heightForWidth(shown->width()));
    EXPECT_FALSE(view->cancelButton()->isVisible());
    ASSERT_TRUE(view->closeButton()->isVisible());

    view->closeButton()->click();
    EXPECT_FALSE(view->isVisible());
    // The next run gets the window back at its own size.
    controller.show(QStringLiteral(u"正在压缩文件"), QStringLiteral(u"正在压缩 1 个项目..."));
    EXPECT_EQ(view->size(), QSize(380, 196));
    EXPECT_FALSE(view->closeButton()->isVisible());
}

// Escape and Ctrl+W close the window as its close button does: asking while the run goes on.
TEST(ProgressWindowTest, EscapeAndControlWAskWhileRunningAndCloseWhenDone) {
    for (const QKeySequence& key : {QKeySequence(Qt::Key_Escape), QKeySequence(Qt::CTRL | Qt::Key_W)}) {
        SCOPED_TRACE(key.toString().toStdString());
        ExternalOperationProgressWindowController controller;
        controller.show(QStringLiteral(u"正在压缩文件"), QStringLiteral(u"正在压缩 1 个项目..."));
        auto* view = static_cast<ExternalOperationProgressView*>(controller.window());
        int asked = 0;
        QObject::connect(view, &ExternalOperationProgressView::closeWhileRunningRequested, [&asked] { ++asked; });
        QApplication::setActiveWindow(view);
        ASSERT_TRUE(QTest::qWaitForWindowActive(view));
        QTest::keySequence(view, key);
        EXPECT_EQ(asked, 1);
        ASSERT_NE(controller.closeQuestion(), nullptr);
        EXPECT_TRUE(view->isVisible());
        controller.closeQuestion()->reject();
        controller.finish(QStringLiteral(u"压缩完成"), QStringLiteral(u"已压缩：a.zip"), StatusKind::success);
        QApplication::setActiveWindow(view);
        ASSERT_TRUE(QTest::qWaitForWindowActive(view));
        QTest::keySequence(view, key);
        EXPECT_EQ(asked, 1);
        EXPECT_FALSE(view->isVisible());
    }
}

// A window opens in the middle, else in the free cell nearest it of the grid that fits the most
// windows, else beside another one, always wholly within the screen.
TEST(ProgressWindowTest, EachWindowFindsAPlaceNoOtherCovers) {
    const QSize frame(380, 196);
    const QRect wide(0, 0, 1920, 1080);
    const QRect middle(QPoint(770, 442), frame);
    const QRect above(QPoint(574, 234), frame);
    const QRect small(0, 0, 800, 600);
    const std::tuple<QRect, QList<QRect>, QPoint> cases[] = {
        {wide, {}, middle.topLeft()},
        {wide, {middle}, above.topLeft()},
        {wide, {middle, above}, QPoint(966, 234)},
        // Off the grid: below, moved up into the screen.
        {small, {QRect(QPoint(210, 202), frame)}, QPoint(210, 404)},
        // No room anywhere: stepped, so the title shows, and still on the screen.
        {small, {small}, QPoint(238, 230)},
    };
    for (const auto& [screen, taken, expected] : cases)
        EXPECT_EQ(ExternalOperationProgressWindowController::freeSpot(frame, screen, taken), expected)
            << taken.size();
}

// Overlapping outside runs on a 1920 x 1080 screen: twelve windows, framed as a window manager
// frames them, each wholly on the screen and none over another; more than there is room for stay
// on the screen too.
TEST(ProgressWindowTest, TwelveRunsAtOnceLieSideBySideOnTheScreen) {
    const QRect screen(0, 0, 1920, 1080);
    for (const QSize frame : {QSize(380, 196), QSize(382, 226)}) {
        QList<QRect> taken;
        for (int run = 0; run < 20; ++run) {
            const QRect placed(ExternalOperationProgressWindowController::freeSpot(frame, screen, taken), frame);
            EXPECT_TRUE(screen.contains(placed)) << run;
            if (run < 12) {
                EXPECT_TRUE(std::none_of(taken.begin(), taken.end(),
                                         [&](const QRect& other) { return other.intersects(placed); }))
                    << run << " at " << placed.x() << "," << placed.y();
            }
            taken << placed;
        }
    }
}

}  // namespace
