#include "views/kit/AdaptiveGrid.h"
#include "views/kit/FeedbackBanner.h"
#include "views/main/HomePage.h"

#include <QLayout>
#include "views/main/MainWindowFixture.h"

namespace {

using FeedbackBannerTest = MainWindowFixture;

TEST(FeedbackBannerLookTest, SymbolAndTintFollowTheKind) {
    struct Case {
        bool working;
        StatusKind kind;
        QString symbol;
        Theme::Colour colour;
        Theme::Colour tint;
    };
    using Theme::Colour;
    const QList<Case> cases{
        {false, StatusKind::success, "check-circle-filled", Colour::green, Colour::accent},
        {false, StatusKind::warning, "warning-triangle-filled", Colour::orange, Colour::orange},
        {false, StatusKind::error, "cross-circle-filled", Colour::red, Colour::red},
        // Work under way wins over the kind of the message it replaced.
        {true, StatusKind::error, "archive-box-filled", Colour::blue, Colour::accent},
    };
    for (const Case& testCase : cases) {
        const FeedbackBanner::Look look = FeedbackBanner::look(testCase.working, testCase.kind);
        EXPECT_EQ(look.symbol, testCase.symbol);
        EXPECT_EQ(look.colour, testCase.colour);
        EXPECT_EQ(look.tint, testCase.tint);
    }
}

TEST_F(FeedbackBannerTest, ShowsTheKindTheModelSet) {
    FeedbackBanner* banner = page<HomePage>(WorkbenchSection::home).banner();
    context().setStatusMessage(QStringLiteral(u"解压失败"), StatusKind::error);
    EXPECT_EQ(banner->currentLook().symbol, "cross-circle-filled");
    context().setStatusMessage(QStringLiteral(u"任务已停止"), StatusKind::warning);
    EXPECT_EQ(banner->currentLook().symbol, "warning-triangle-filled");
    context().setStatusMessage(QStringLiteral(u"已清空解压列表。"));
    EXPECT_EQ(banner->currentLook().symbol, "check-circle-filled");
}

// Without a status the page keeps no room for the banner; a task's bar appearing moves nothing.
// No room before the first message; then the room stays while the page is in use, so a message that
// goes never moves what is below; leaving the page gives it back.
TEST_F(FeedbackBannerTest, KeepsItsRoomUntilThePageIsLeft) {
    auto& home = page<HomePage>(WorkbenchSection::home);
    window().show();
    QWidget* below = home.quickActions();
    const auto place = [&] { return below->mapTo(&home, QPoint()); };
    QCoreApplication::processEvents();
    const QPoint without = place();

    context().setStatusMessage(QStringLiteral(u"已完成"));
    QCoreApplication::processEvents();
    const QPoint shown = place();
    EXPECT_EQ(shown.y() - without.y(), home.banner()->height() + home.layout()->spacing());

    ArchiveTask task;
    task.id = QUuid::createUuid();
    task.name = "a.zip";
    workbench.addTask(task);
    QCoreApplication::processEvents();
    EXPECT_FALSE(home.banner()->percentText().isEmpty());
    EXPECT_EQ(place(), shown);

    context().setStatusMessage(std::nullopt);
    QCoreApplication::processEvents();
    EXPECT_TRUE(home.banner()->isHidden());
    EXPECT_EQ(place(), shown);

    context().setSelectedSection(WorkbenchSection::tasks);
    context().setSelectedSection(WorkbenchSection::home);
    QCoreApplication::processEvents();
    EXPECT_EQ(place(), without);
}

}  // namespace
