#include "views/kit/FileIcon.h"
#include "views/kit/Icons.h"
#include "views/kit/ScrollPage.h"
#include "views/kit/StatusBadge.h"
#include "views/main/CompactTaskRow.h"
#include "views/main/ContentViewState.h"
#include "views/main/MainWindowFixture.h"
#include "views/main/NotificationCenterPanel.h"

#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>

namespace {

using PanelsTest = MainWindowFixture;

TEST(IconsTest, EverySymbolThePagesNameIsBundled) {
    QStringList names;
    for (const WorkbenchSection section : WorkbenchSections::allCases()) {
        names.append(WorkbenchSections::iconName(section));
    }
    for (const ArchiveActivityKind kind : ArchiveActivityKinds::allCases())
        names.append(FileIcon::iconName(kind));
    names += {"velmoraIcon",
              "stack-plus",
              "chevron-down",
              "chevron-right",
              "bell",
              "tray-arrow-down-filled",
              "lightning-filled",
              "folder-filled",
              "folder-plus",
              "archive-box-filled",
              "radio-selected",
              "circle",
              "plus-circle",
              "trash",
              "document-plus",
              "document-zip",
              "check-circle",
              "check-circle-filled",
              "clock",
              "pause-filled",
              "cross",
              "play-filled"};
    for (const QString& name : names) {
        EXPECT_TRUE(Icons::has(name)) << name.toStdString();
        EXPECT_FALSE(Icons::pixmap(name, 16, Qt::red).toImage().isNull()) << name.toStdString();
    }
    EXPECT_FALSE(Icons::has("no.such.symbol"));
}

TEST(IconsTest, TintingColoursTheInkAndCutsOutWhite) {
    const QImage filled = Icons::pixmap("check-circle-filled", 24, QColor(0, 128, 0)).toImage();
    const QImage ratioFree = filled.scaled(24, 24).convertToFormat(QImage::Format_ARGB32);
    // The disc's rim is green; the tick inside it is a hole.
    EXPECT_EQ(QColor(ratioFree.pixel(12, 3)).green(), 128);
    EXPECT_GT(qAlpha(ratioFree.pixel(12, 3)), 200);
    EXPECT_LT(qAlpha(ratioFree.pixel(10, 15)), 60);
}

TEST(StatusBadgeTest, WordsAndColoursPerStatus) {
    const struct {
        ArchiveActivityStatus status;
        QString word;
        Theme::Colour colour;
    } cases[] = {
        {ArchiveActivityStatus::running, QStringLiteral(u"进行中"), Theme::Colour::blue},
        {ArchiveActivityStatus::paused, QStringLiteral(u"已暂停"), Theme::Colour::orange},
        {ArchiveActivityStatus::completed, QStringLiteral(u"成功"), Theme::Colour::green},
        {ArchiveActivityStatus::failed, QStringLiteral(u"失败"), Theme::Colour::red},
        {ArchiveActivityStatus::cancelled, QStringLiteral(u"已取消"), Theme::Colour::orange},
    };
    for (const auto& testCase : cases) {
        EXPECT_EQ(StatusBadge(testCase.status).text(), testCase.word);
        EXPECT_EQ(Theme::statusColour(testCase.status), testCase.colour);
    }
    EXPECT_EQ(Theme::statusBarColour(ArchiveActivityStatus::running), Theme::Colour::accent);
    EXPECT_EQ(Theme::statusBarColour(ArchiveActivityStatus::failed), Theme::Colour::red);
}

TEST(CompactTaskRowTest, PercentageAndBarForEdgeProgress) {
    const struct {
        double progress;
        QString percent;
        double bar;
    } cases[] = {{0, "0%", 0},          {1, "100%", 1},
                 {0.999, "99%", 0.999}, {0.29, "28%", 0.29},
                 {0.426, "42%", 0.426}, {std::numeric_limits<double>::quiet_NaN(), "0%", 0}};
    ArchiveTask task;
    task.name = QStringLiteral(u"一个非常非常非常非常非常非常非常非常非常非常非常长的任务名称.zip");
    CompactTaskRow row(task);
    for (const auto& testCase : cases) {
        task.progress = testCase.progress;
        row.setTask(task);
        EXPECT_EQ(row.percentText(), testCase.percent) << testCase.progress;
        EXPECT_DOUBLE_EQ(row.barProgress(), testCase.bar) << testCase.progress;
    }
}

TEST(ContentViewStateTest, StartsWithTheWindowsDefaultsAndSignalsOnlyChanges) {
    ContentViewState state;
    EXPECT_FALSE(state.isShowingNotifications());
    EXPECT_FALSE(state.isSplitArchiveGroupExpanded());

    QSignalSpy changed(&state, &ContentViewState::changed);
    QSignalSpy notifications(&state, &ContentViewState::isShowingNotificationsChanged);
    state.setIsShowingNotifications(true);
    state.setIsShowingNotifications(true);
    state.setIsSplitArchiveGroupExpanded(true);
    EXPECT_EQ(notifications.size(), 1);
    EXPECT_EQ(changed.size(), 2);
}

TEST_F(PanelsTest, NotificationPanelListsNewestFirstAndKeepsTheReadDotsSpace) {
    NotificationCenterPanel panel(models().notifications());
    EXPECT_EQ(panel.rowCount(), 0);
    EXPECT_NE(panel.findChild<QLabel*>(), nullptr);
    bool placeholderShown = false;
    for (const QLabel* label : panel.findChildren<QLabel*>())
        placeholderShown |= label->text() == u"暂无通知";
    EXPECT_TRUE(placeholderShown);
    // Marking an empty list read still works.
    panel.markAllReadButton()->click();

    workbench.addNotification(QStringLiteral(u"较早"), QStringLiteral(u"第一条"));
    workbench.markAllNotificationsRead();
    workbench.addNotification(QStringLiteral(u"最新"), QStringLiteral(u"第二条"));
    EXPECT_EQ(panel.rowCount(), 2);
}

TEST_F(PanelsTest, ScrolledPagesKeepTheirFullWidth) {
    context().setStatusMessage(QStringLiteral(u"已完成"));
    auto* scroll = qobject_cast<ScrollPage*>(window().page(WorkbenchSection::home));
    ASSERT_NE(scroll, nullptr);
    EXPECT_TRUE(waitFor([&] { return scroll->indicator()->isVisible(); }));
    EXPECT_EQ(scroll->widget()->width(), scroll->width());
    // The indicator scrolls the page.
    scroll->indicator()->setValue(scroll->indicator()->maximum());
    EXPECT_EQ(scroll->verticalScrollBar()->value(), scroll->verticalScrollBar()->maximum());
}

}  // namespace
