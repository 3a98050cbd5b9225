#include "app/CoordinatorFixture.h"
#include "app/StatusMenu.h"

#include <QMenu>

namespace {

class StatusMenuTest : public CoordinatorFixture {
protected:
    QMenu* menu() { return coordinator->statusMenu()->menu(); }

    QStringList layout() {
        QStringList items;
        for (QAction* action : menu()->actions()) {
            items.append(action->isSeparator() ? QStringLiteral("---")
                                               : action->text() + (action->isEnabled() ? "" : " (off)"));
        }
        return items;
    }

    QAction* item(const QString& title) {
        for (QAction* action : menu()->actions()) {
            if (action->text() == title) return action;
        }
        return nullptr;
    }
};

TEST_F(StatusMenuTest, LayoutAndStatusLineAfterAFailure) {
    coordinator->configureTrayIcon();
    StatusMenu* first = coordinator->statusMenu();
    coordinator->configureTrayIcon();
    EXPECT_EQ(coordinator->statusMenu(), first);
    EXPECT_EQ(layout(),
              (QStringList{QStringLiteral(u"打开设置"), QStringLiteral(u"选择压缩包预览..."),
                           QStringLiteral(u"选择文件压缩为 ZIP..."), "---",
                           QStringLiteral(u"velmora 已就绪 (off)"), "---", QStringLiteral(u"退出")}));

    coordinator->compressIncoming({files.writeFile("a&b.txt", "x")});
    waitForOperations();
    Q_EMIT menu()->aboutToShow();
    EXPECT_EQ(layout().at(4), QStringLiteral(u"已压缩：a&&b.zip (off)"));

    // Four missing items named make a long outcome: one line of bounded width, the whole text its tool tip.
    coordinator->compressIncoming({files.writeFile("t.txt", "t"), files.path("missing-1.txt"),
                                   files.path("missing-2.txt"), files.path("missing-3.txt"),
                                   files.path("missing-4.txt")});
    waitForOperations();
    ASSERT_TRUE(coordinator->lastMessage());
    EXPECT_EQ(progress().title(), QStringLiteral(u"部分项目压缩失败"));
    Q_EMIT menu()->aboutToShow();
    QAction* line = menu()->actions().at(4);
    EXPECT_EQ(line->toolTip(), *coordinator->lastMessage());
    EXPECT_TRUE(line->text().endsWith(QStringLiteral(u"…")));
    EXPECT_FALSE(line->text().contains('\n'));
    EXPECT_LE(menu()->fontMetrics().horizontalAdvance(line->text()), 360);
    EXPECT_LE(menu()->sizeHint().width(), 600);
}

TEST_F(StatusMenuTest, ItemsReachTheCoordinator) {
    coordinator->configureTrayIcon();
    const QString zip = files.writeFile("a.zip", "z");
    const QString text = files.writeFile("t.txt", "t");
    platform.panelAnswers = {{zip}, {text}};

    item(QStringLiteral(u"选择压缩包预览..."))->trigger();
    ASSERT_EQ(previewCalls.size(), 1);
    EXPECT_EQ(previewCalls[0].archives, QStringList{zip});
    EXPECT_FALSE(coordinator->isPreviewOnlyExternalOpen());

    item(QStringLiteral(u"选择文件压缩为 ZIP..."))->trigger();
    waitForOperations();
    EXPECT_EQ(coordinator->lastMessage(), QStringLiteral(u"已压缩：t.zip"));

    QSignalSpy quit(coordinator.get(), &AppCoordinator::quitRequested);
    item(QStringLiteral(u"退出"))->trigger();
    EXPECT_EQ(quit.size(), 1);
}

}  // namespace
