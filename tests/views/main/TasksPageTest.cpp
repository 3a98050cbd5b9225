#include "support/FullDisk.h"
#include "viewmodels/WorkbenchFixture.h"
#include "views/main/TaskCard.h"
#include "views/main/TasksPage.h"

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <cmath>

using Status = ArchiveActivityStatus;
using TaskPageRules::TaskAction;

namespace {

class TasksPageTest : public WorkbenchFixture {
protected:
    TasksPage& page() {
        if (!m_page) {
            m_page = std::make_unique<TasksPage>(models().tasks());
            m_page->resize(1000, 700);
            m_page->show();
        }
        return *m_page;
    }

    QUuid addTask(const QString& name) {
        ArchiveTask task;
        task.id = QUuid::createUuid();
        task.name = name;
        task.targetPath = "/tmp/out";
        task.message = QStringLiteral(u"准备中");
        workbench.addTask(task);
        return task.id;
    }

    QStringList shownNames() {
        QStringList names;
        for (TaskCard* card : page().cards()) names << card->task().name;
        return names;
    }

    QStringList filterTitles() {
        QStringList titles;
        for (QPushButton* button : page().filterButtons()) titles << button->text();
        return titles;
    }

    // Starts a compression that runs until its work is cancelled, and returns its task.
    QUuid startBlockedCompression() {
        engine.setBlocksUntilCancelled(true);
        compress().selectFilesForCompression({files.writeFile("notes.txt", "notes")});
        compress().compress(false);
        EXPECT_TRUE(waitFor([&] { return engine.blockedCalls() == 1; }));
        return workbench.tasks().first().id;
    }

    std::unique_ptr<TasksPage> m_page;
};

// The card's buttons stop the work itself, not only the record: the engine call waiting on its token
// returns, and the card, kept in place, turns to the new status.
TEST_F(TasksPageTest, PauseAndCancelOnACardStopTheRunningWork) {
    for (const TaskAction action : {TaskAction::pause, TaskAction::cancel}) {
        const QUuid id = startBlockedCompression();
        TaskCard* card = page().card(id);
        ASSERT_NE(card, nullptr);
        ASSERT_NE(card->actionButton(action), nullptr);
        card->actionButton(action)->click();

        EXPECT_TRUE(waitFor([&] { return engine.blockedCalls() == 0; }));
        EXPECT_TRUE(waitUntilIdle());
        const Status expected = action == TaskAction::pause ? Status::paused : Status::cancelled;
        EXPECT_EQ(workbench.tasks().first().status, expected);
        EXPECT_EQ(page().card(id), card);
        EXPECT_EQ(card->task().status, expected);
        EXPECT_EQ(card->actionButton(TaskAction::pause), nullptr);
        EXPECT_NE(card->actionButton(TaskAction::remove), nullptr);
    }
}

TEST_F(TasksPageTest, CardsChangeInPlaceWithProgress) {
    const QUuid id = addTask("a.zip");
    TaskCard* card = page().card(id);
    ASSERT_NE(card, nullptr);
    EXPECT_EQ(card->percentText(), "0%");
    workbench.updateTaskProgress(id, 0.5, QStringLiteral(u"正在压缩"));
    EXPECT_EQ(page().card(id), card);
    EXPECT_EQ(card->percentText(), "50%");
    EXPECT_EQ(card->task().message, QStringLiteral(u"正在压缩"));

    workbench.completeTask(id, QStringLiteral(u"完成"));
    EXPECT_EQ(card->percentText(), "100%");
    card->actionButton(TaskAction::remove)->click();
    EXPECT_TRUE(workbench.tasks().isEmpty());
    EXPECT_TRUE(page().cards().isEmpty());
    EXPECT_TRUE(page().showsEmptyState());
}

TEST_F(TasksPageTest, PercentageIsTheHeldProgressCutToWholePercent) {
    const QUuid id = addTask("a.zip");
    TaskCard* card = page().card(id);
    ArchiveTask task = workbench.tasks().first();
    const QList<std::pair<double, QString>> cases{
        {0.985, "98%"}, {1.0, "100%"}, {1.7, "100%"}, {-0.3, "0%"}, {std::nan(""), "0%"}, {INFINITY, "0%"},
    };
    for (const auto& [progress, percent] : cases) {
        task.progress = progress;
        card->setTask(task);
        EXPECT_EQ(card->percentText(), percent) << progress;
    }
}

TEST_F(TasksPageTest, FilterKeepsCountsAndShowsThePlaceholderWhenNothingMatches) {
    const QUuid done = addTask("done.zip");
    addTask("running.zip");
    const QUuid failed = addTask("failed.zip");
    workbench.completeTask(done, {});
    workbench.failTask(failed, QStringLiteral(u"失败了"));
    const QStringList counts{QStringLiteral(u"全部(3)"),   QStringLiteral(u"进行中(1)"),
                             QStringLiteral(u"已完成(1)"), QStringLiteral(u"失败(1)"),
                             QStringLiteral(u"已暂停(0)"), QStringLiteral(u"已取消(0)")};
    EXPECT_EQ(filterTitles(), counts);
    EXPECT_EQ(shownNames(), QStringList({"failed.zip", "running.zip", "done.zip"}));
    EXPECT_EQ(page().card(failed)->actionButton(TaskAction::remove), nullptr);

    page().filterButtons()[4]->click();
    EXPECT_EQ(models().tasks().taskFilter(), Status::paused);
    EXPECT_TRUE(shownNames().isEmpty());
    EXPECT_TRUE(page().showsEmptyState());
    EXPECT_EQ(page().countLabel()->text(), QStringLiteral(u"共 0 个任务"));
    EXPECT_EQ(filterTitles(), counts);
    EXPECT_TRUE(page().pauseAllButton()->isEnabled()) << "a running task the filter hides is paused too";

    page().filterButtons()[2]->click();
    EXPECT_EQ(shownNames(), QStringList({"done.zip"}));
    page().clearCompletedButton()->click();
    EXPECT_TRUE(shownNames().isEmpty());
    page().filterButtons()[0]->click();
    EXPECT_EQ(shownNames(), QStringList({"failed.zip", "running.zip"}));

    page().pauseAllButton()->click();
    EXPECT_EQ(workbench.tasks()[1].status, Status::paused);
    EXPECT_EQ(workbench.tasks()[0].status, Status::failed);
    // Nothing left to pause: the button offers nothing.
    EXPECT_FALSE(page().pauseAllButton()->isEnabled());
}

// Clearing and deleting on a full disk: the cards stay and the page says why.
TEST_F(TasksPageTest, RemovalsTheDiskRefusesLeaveTheCardsAndSayWhy) {
    FullDisk disk(defaultsFolder.path());
    const QUuid id = addTask("done.zip");
    workbench.completeTask(id, QStringLiteral(u"完成"));
    ASSERT_EQ(shownNames(), QStringList{"done.zip"});

    disk.fill();
    page().clearCompletedButton()->click();
    EXPECT_EQ(shownNames(), QStringList{"done.zip"});
    EXPECT_EQ(alert(), QStringLiteral(u"保存失败：") + disk.reason());
    disk.free();
    page().clearCompletedButton()->click();
    EXPECT_TRUE(shownNames().isEmpty());
}

}  // namespace
