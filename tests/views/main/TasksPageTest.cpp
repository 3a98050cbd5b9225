#include "core/base/JsonFields.h"
#include "support/FullDisk.h"
#include "viewmodels/TaskListModel.h"
#include "viewmodels/WorkbenchFixture.h"
#include "views/kit/ElidedLabel.h"
#include "views/main/TaskCard.h"
#include "views/main/TaskListDelegate.h"
#include "views/main/TasksPage.h"

#include <QApplication>
#include <QDateTime>
#include <QImage>
#include <QLabel>
#include <QListView>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollBar>
#include <QToolTip>
#include <cmath>
#include <optional>

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

    static QStringList shownNames(TasksPage& shown) {
        QStringList names;
        const QAbstractItemModel* rows = shown.list()->model();
        for (int row = 0; row < rows->rowCount(); ++row)
            names << rows->index(row, 0).data(TaskListModel::TaskRole).value<ArchiveTask>().name;
        return names;
    }
    QStringList shownNames() { return shownNames(page()); }

    // Where the drawn button of the task's row is in the list's viewport, scrolled into sight; nothing
    // when it is not drawn.
    std::optional<QPoint> buttonPoint(const QUuid& id, TaskAction action) {
        const QAbstractItemModel* rows = page().list()->model();
        for (int row = 0; row < rows->rowCount(); ++row) {
            const QModelIndex index = rows->index(row, 0);
            if (index.data(TaskListModel::TaskRole).value<ArchiveTask>().id != id) continue;
            page().list()->scrollTo(index);
            const QRect inCard = page().card(id)->actionRect(action);
            if (inCard.isEmpty()) return std::nullopt;
            return page().list()->visualRect(index).topLeft() + inCard.center();
        }
        return std::nullopt;
    }

    // Clicks the drawn button of the task's row, where the user would; false when it is not drawn.
    bool clickAction(const QUuid& id, TaskAction action) {
        const std::optional<QPoint> point = buttonPoint(id, action);
        if (point) QTest::mouseClick(page().list()->viewport(), Qt::LeftButton, {}, *point);
        return point.has_value();
    }

    // The row of the task as the list draws it, without the gap below it.
    QImage drawnRow(const QUuid& id) {
        const QAbstractItemModel* rows = page().list()->model();
        for (int row = 0; row < rows->rowCount(); ++row) {
            const QModelIndex index = rows->index(row, 0);
            if (index.data(TaskListModel::TaskRole).value<ArchiveTask>().id != id) continue;
            const QRect drawn =
                page().list()->visualRect(index).adjusted(0, 0, 0, -TaskListDelegate::kRowGap);
            return page().list()->viewport()->grab(drawn).toImage();
        }
        return {};
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
// returns, and the card turns to the new status.
TEST_F(TasksPageTest, PauseAndCancelOnACardStopTheRunningWork) {
    for (const TaskAction action : {TaskAction::pause, TaskAction::cancel}) {
        const QUuid id = startBlockedCompression();
        ASSERT_TRUE(clickAction(id, action));

        EXPECT_TRUE(waitFor([&] { return engine.blockedCalls() == 0; }));
        EXPECT_TRUE(waitUntilIdle());
        const Status expected = action == TaskAction::pause ? Status::paused : Status::cancelled;
        EXPECT_EQ(workbench.tasks().first().status, expected);
        const TaskCard* card = page().card(id);
        ASSERT_NE(card, nullptr);
        EXPECT_EQ(card->task().status, expected);
        EXPECT_EQ(card->actionButton(TaskAction::pause), nullptr);
        EXPECT_NE(card->actionButton(TaskAction::remove), nullptr);
    }
}

TEST_F(TasksPageTest, CardsFollowProgressAndTheirButtonsReachTheStore) {
    const QUuid id = addTask("a.zip");
    ASSERT_NE(page().card(id), nullptr);
    EXPECT_EQ(page().card(id)->percentText(), "0%");
    workbench.updateTaskProgress(id, 0.5, QStringLiteral(u"正在压缩"));
    EXPECT_EQ(page().card(id)->percentText(), "50%");
    EXPECT_EQ(page().card(id)->task().message, QStringLiteral(u"正在压缩"));

    workbench.completeTask(id, QStringLiteral(u"完成"));
    EXPECT_EQ(page().card(id)->percentText(), "100%");
    EXPECT_FALSE(clickAction(id, TaskAction::pause));
    ASSERT_TRUE(clickAction(id, TaskAction::remove));
    EXPECT_TRUE(workbench.tasks().isEmpty());
    EXPECT_TRUE(shownNames().isEmpty());
    EXPECT_TRUE(page().showsEmptyState());
}

// Each row is its card laid out at the row's width, drawn where the row is: nothing shifted, a message
// on two lines kept inside the card.
TEST_F(TasksPageTest, EachRowIsItsCardLaidOutInPlace) {
    const QUuid running = addTask("running.zip");
    const QUuid failed = addTask("failed.zip");
    workbench.failTask(failed, QString(40, QChar(u'错')) + QString(40, QChar(u'误')));
    for (const QUuid& id : {running, failed}) {
        const QImage drawn = drawnRow(id);
        const TaskCard* card = page().card(id);
        ASSERT_NE(card, nullptr);
        EXPECT_EQ(drawn.size(), card->size() * drawn.devicePixelRatio());
        for (const QWidget* part : card->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            if (part->isVisibleTo(card)) {
                EXPECT_TRUE(card->rect().contains(part->geometry())) << part->metaObject()->className();
            }
        }
        const QImage alone = const_cast<TaskCard*>(card)->grab().toImage();
        const QRect inside = QRect(QPoint(), drawn.size()).adjusted(10, 10, -10, -10);
        EXPECT_EQ(drawn.copy(inside), alone.convertToFormat(drawn.format()).copy(inside));
    }
}

// A name cut to its row's width offers itself whole as the tip where it is drawn; a name shown whole
// offers no tip.
TEST_F(TasksPageTest, ACutNameIsTheTipOverItsRow) {
    const QString longName =
        QStringLiteral(u"年度项目归档-") + QString(60, QChar(u'长')) + QStringLiteral(".zip");
    const QUuid cut = addTask(longName);
    const QUuid whole = addTask("short.zip");
    page().resize(600, 700);
    QCoreApplication::processEvents();
    QWidget* viewport = page().list()->viewport();
    // A tip goes with a delay: the whole name first.
    for (const auto& [id, tip] : {std::pair{whole, QString()}, std::pair{cut, longName}}) {
        const QModelIndex row = page().list()->model()->index(id == whole ? 0 : 1, 0);
        const TaskCard* card = page().card(id);
        ASSERT_NE(card, nullptr);
        const ElidedLabel* name = nullptr;
        for (const ElidedLabel* label : card->findChildren<ElidedLabel*>()) {
            if (label->text() == card->task().name) name = label;
        }
        ASSERT_NE(name, nullptr);
        const QPoint at = page().list()->visualRect(row).topLeft() + name->geometry().center();
        QHelpEvent help(QEvent::ToolTip, at, viewport->mapToGlobal(at));
        QApplication::sendEvent(viewport, &help);
        EXPECT_EQ(QToolTip::isVisible() ? QToolTip::text() : QString(), tip);
    }
}

// A drawn button acts as a button: held down while pressed, and only a release over the button that
// was pressed acts.
TEST_F(TasksPageTest, DrawnButtonsActOnlyWhenReleasedWhereTheyWerePressed) {
    const QUuid older = addTask("older.zip");
    const QUuid newer = addTask("newer.zip");
    QWidget* viewport = page().list()->viewport();
    const QImage plain = drawnRow(newer);
    const std::optional<QPoint> pause = buttonPoint(newer, TaskAction::pause);
    ASSERT_TRUE(pause);
    // Sent as the window system sends it: QTest moves the cursor only.
    QMouseEvent move(QEvent::MouseMove, *pause, viewport->mapToGlobal(*pause), Qt::NoButton, {}, {});
    QApplication::sendEvent(viewport, &move);
    EXPECT_NE(drawnRow(newer), plain) << "lit under the pointer";
    const struct {
        QPoint press;
        QPoint release;
        Status newer;
        Status older;
    } cases[] = {
        {*pause, *pause + QPoint(-200, 0), Status::running, Status::running},
        {*pause, *buttonPoint(older, TaskAction::pause), Status::running, Status::running},
        {*buttonPoint(older, TaskAction::cancel), *buttonPoint(older, TaskAction::cancel), Status::running,
         Status::cancelled},
        {*pause, *pause, Status::paused, Status::cancelled},
    };
    for (const auto& step : cases) {
        const QUuid pressed =
            page().list()->indexAt(step.press).data(TaskListModel::TaskRole).value<ArchiveTask>().id;
        const QImage before = drawnRow(pressed);
        QTest::mousePress(viewport, Qt::LeftButton, {}, step.press);
        EXPECT_NE(drawnRow(pressed), before) << "held down";
        QTest::mouseRelease(viewport, Qt::LeftButton, {}, step.release);
        EXPECT_EQ(workbench.tasks()[0].status, step.newer);
        EXPECT_EQ(workbench.tasks()[1].status, step.older);
    }
}

// Tab reaches the list after the filters; the arrows move between tasks and between the buttons of
// one, Space and Return press the chosen button, and Tab goes on to the bottom bar.
TEST_F(TasksPageTest, TheKeyboardReachesEveryTaskAndItsButtons) {
    const QUuid older = addTask("older.zip");
    addTask("newer.zip");
    QApplication::setActiveWindow(&page());
    ASSERT_TRUE(QTest::qWaitForWindowActive(&page()));
    QPushButton* lastFilter = page().filterButtons().last();
    lastFilter->setFocus(Qt::TabFocusReason);
    QTest::keyClick(lastFilter, Qt::Key_Tab);
    QListView* list = page().list();
    ASSERT_EQ(QApplication::focusWidget(), list);
    EXPECT_EQ(list->currentIndex().row(), 0);
    EXPECT_TRUE(page().delegate()->showsKeyboardFocus());
    EXPECT_EQ(page().delegate()->chosenAction(), TaskAction::pause);

    QTest::keyClick(list, Qt::Key_Down);
    EXPECT_EQ(list->currentIndex().row(), 1);
    QTest::keyClick(list, Qt::Key_Right);
    EXPECT_EQ(page().delegate()->chosenAction(), TaskAction::cancel);
    QTest::keyClick(list, Qt::Key_Right);
    EXPECT_EQ(page().delegate()->chosenAction(), TaskAction::cancel) << "the last button stays chosen";
    QTest::keyClick(list, Qt::Key_Space);
    EXPECT_EQ(workbench.tasks()[1].status, Status::cancelled);
    EXPECT_EQ(workbench.tasks()[0].status, Status::running);
    EXPECT_EQ(page().delegate()->chosenAction(), TaskAction::remove);
    QTest::keyClick(list, Qt::Key_Return);
    EXPECT_EQ(shownNames(), QStringList{"newer.zip"});
    EXPECT_EQ(page().card(older), nullptr);

    QTest::keyClick(list, Qt::Key_Up);
    QTest::keyClick(list, Qt::Key_Left);
    EXPECT_EQ(page().delegate()->chosenAction(), TaskAction::pause);
    QTest::keyClick(list, Qt::Key_Enter);
    EXPECT_EQ(workbench.tasks()[0].status, Status::paused);
    QTest::keyClick(list, Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), page().clearCompletedButton());
}

// The list draws its rows, it has no widget for each: a long-used store opens at once, every task
// reachable, and the filters count and show all of them.
TEST_F(TasksPageTest, TwentyThousandTasksAreListedWithoutAWidgetEach) {
    QList<ArchiveTask> stored;
    for (int i = 0; i < 20000; ++i) {
        ArchiveTask task;
        task.id = QUuid::createUuid();
        task.name = QStringLiteral("archive %1.zip").arg(i);
        task.status = i % 10 == 0 ? Status::failed : Status::completed;
        task.progress = 1;
        task.createdAt = task.updatedAt = QDateTime::fromSecsSinceEpoch(1700000000 - i, Qt::UTC);
        stored << task;
    }
    QTemporaryDir folder;
    DefaultsStore defaults(folder.path());
    ASSERT_TRUE(defaults.setData(
        "workbenchTasks",
        JsonFields::encodeArray(
            stored, [](const ArchiveTask& t) { return t.toJson(); }, QJsonDocument::Compact)));
    WorkbenchStore store(defaults);
    WorkbenchModels longUsed(engine, settingsStore, passwordBook, store, platform, &workers);
    TasksPage shown(longUsed.tasks());
    shown.resize(1000, 700);
    shown.show();

    EXPECT_LT(shown.findChildren<QWidget*>().size(), 100);
    EXPECT_EQ(shown.countLabel()->text(), QStringLiteral(u"共 20000 个任务"));
    EXPECT_EQ(shown.filterButtons()[3]->text(), QStringLiteral(u"失败(2000)"));
    shown.filterButtons()[3]->click();
    EXPECT_EQ(shown.countLabel()->text(), QStringLiteral(u"共 2000 个任务"));
    EXPECT_EQ(shownNames(shown).first(), "archive 0.zip");
    shown.filterButtons()[0]->click();
    const QStringList names = shownNames(shown);
    ASSERT_EQ(names.size(), 20000);
    EXPECT_EQ(names.last(), "archive 19999.zip");
    shown.list()->verticalScrollBar()->setValue(shown.list()->verticalScrollBar()->maximum());
    const QModelIndex last = shown.list()->model()->index(19999, 0);
    EXPECT_TRUE(shown.list()->viewport()->rect().contains(shown.list()->visualRect(last)));
}

// A stored list that does not read starts empty, and the page says so and where the old list was
// kept, before anything is written over it.
TEST_F(TasksPageTest, ATruncatedTaskListIsNamedWithItsCopy) {
    QTemporaryDir folder;
    DefaultsStore defaults(folder.path());
    ArchiveTask task;
    task.id = QUuid::createUuid();
    task.name = "kept.zip";
    const QByteArray whole = JsonFields::encodeArray(
        QList<ArchiveTask>{task}, [](const ArchiveTask& t) { return t.toJson(); }, QJsonDocument::Compact);
    ASSERT_TRUE(defaults.setData("workbenchTasks", whole.left(whole.size() / 2)));
    WorkbenchStore store(defaults);
    WorkbenchModels damaged(engine, settingsStore, passwordBook, store, platform, &workers);
    TasksPage shown(damaged.tasks());
    shown.resize(1000, 700);
    shown.show();

    EXPECT_TRUE(shown.showsEmptyState());
    ASSERT_TRUE(shown.conditionLabel()->isVisible());
    ASSERT_TRUE(store.unreadTasks() && store.unreadTasks()->keptCopy);
    const QString copy = *store.unreadTasks()->keptCopy;
    EXPECT_TRUE(shown.conditionLabel()->text().contains(copy))
        << shown.conditionLabel()->text().toStdString();
    QFile kept(copy);
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), whole.left(whole.size() / 2));
    EXPECT_FALSE(page().conditionLabel()->isVisible()) << "a list that reads names nothing";
}

TEST_F(TasksPageTest, PercentageIsTheHeldProgressCutToWholePercent) {
    TaskCard standalone;
    TaskCard* card = &standalone;
    addTask("a.zip");
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
    ASSERT_NE(page().card(failed), nullptr);
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
