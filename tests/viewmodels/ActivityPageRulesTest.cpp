#include "viewmodels/HistoryFilterProxy.h"
#include "viewmodels/HistoryPageRules.h"
#include "viewmodels/HistoryTableModel.h"
#include "viewmodels/HistoryViewModel.h"
#include "viewmodels/NotificationsViewModel.h"
#include "viewmodels/TaskFilterProxy.h"
#include "viewmodels/TaskListModel.h"
#include "viewmodels/TaskPageRules.h"
#include "viewmodels/TasksViewModel.h"
#include "viewmodels/WorkbenchFixture.h"

#include <gtest/gtest.h>
#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <cmath>
#include <limits>

using Status = ArchiveActivityStatus;
using Kind = ArchiveActivityKind;
using TaskPageRules::TaskAction;

namespace {

ArchiveTask task(const QString& name, Status status) {
    ArchiveTask result;
    result.id = QUuid::createUuid();
    result.name = name;
    result.status = status;
    return result;
}

const QList<ArchiveTask>& tasks() {
    static const QList<ArchiveTask> list{
        task("a", Status::running),   task("b", Status::completed), task("c", Status::failed),
        task("d", Status::completed), task("e", Status::paused),
    };
    return list;
}

QStringList names(const QList<ArchiveTask>& list) {
    QStringList result;
    for (const auto& t : list) result << t.name;
    return result;
}

QStringList names(const QAbstractItemModel* rows) {
    QStringList result;
    for (int row = 0; row < rows->rowCount(); ++row)
        result << rows->index(row, 0).data(TaskListModel::TaskRole).value<ArchiveTask>().name;
    return result;
}

// The rows of a status follow the store's order, and follow a task into and out of them.
TEST(TaskPageRulesTest, FilterKeepsTheStoreOrder) {
    TaskListModel all;
    TaskFilterProxy shown;
    shown.setSourceModel(&all);
    all.setTasks(tasks());
    EXPECT_EQ(names(&shown), QStringList({"a", "b", "c", "d", "e"}));
    shown.setStatusFilter(Status::completed);
    EXPECT_EQ(names(&shown), QStringList({"b", "d"}));
    QList<ArchiveTask> later = tasks();
    later[0].status = Status::completed;
    later[1].status = Status::failed;
    all.setTasks(later);
    EXPECT_EQ(names(&shown), QStringList({"a", "d"}));
    shown.setStatusFilter(Status::cancelled);
    EXPECT_EQ(names(&shown), QStringList());
}

// The rows follow the store's list by task id, so a view keeps its place: a task added, changed or
// removed is just that row; only a list in another order resets the view.
TEST(TaskListModelTest, ChangesReachTheViewAsTheRowsTheyTouch) {
    TaskListModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
    QSignalSpy removed(&model, &QAbstractItemModel::rowsRemoved);
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    QSignalSpy reset(&model, &QAbstractItemModel::modelReset);
    QList<ArchiveTask> list = tasks();
    model.setTasks(list);
    ArchiveTask newest = task("f", Status::running);
    list.prepend(newest);
    model.setTasks(list);
    list[3].message = "changed";
    model.setTasks(list);
    list.removeAt(4);
    list.removeAt(1);
    list.removeAt(0);
    model.setTasks(list);
    EXPECT_EQ(names(model.tasks()), QStringList({"b", "c", "e"}));
    EXPECT_EQ(model.index(1, 0).data(TaskListModel::TaskRole).value<ArchiveTask>().message, "changed");
    EXPECT_EQ(reset.size(), 0);
    EXPECT_EQ(inserted.size(), 2);  // the first list, then the newest task
    EXPECT_EQ(inserted[1][1].toInt(), 0);
    ASSERT_EQ(changed.size(), 1);
    EXPECT_EQ(changed[0][0].toModelIndex().row(), 3);
    ASSERT_EQ(removed.size(), 2);  // rows 4, then 0 and 1
    EXPECT_EQ(removed[1][1].toInt(), 0);
    EXPECT_EQ(removed[1][2].toInt(), 1);

    std::reverse(list.begin(), list.end());
    model.setTasks(list);
    EXPECT_EQ(reset.size(), 1);
    EXPECT_EQ(names(model.tasks()), QStringList({"e", "c", "b"}));

    // Every other task of many removed, as clearing the finished does: one reset, not a run each.
    QList<ArchiveTask> many;
    for (int i = 0; i < 4 * TaskListModel::kMostRemovedRuns; ++i)
        many << task(QString::number(i), Status::failed);
    model.setTasks(many);
    removed.clear();
    QList<ArchiveTask> halved;
    for (qsizetype i = 1; i < many.size(); i += 2) halved << many[i];
    model.setTasks(halved);
    EXPECT_EQ(reset.size(), 3);
    EXPECT_TRUE(removed.isEmpty());
    EXPECT_EQ(model.tasks().size(), halved.size());
}

using TasksModelTest = WorkbenchFixture;

// The page's model filters the store's tasks and changes them only through the store's operations.
TEST_F(TasksModelTest, FilterShowsTheStoresTasksAndRemovalsReachTheStore) {
    TasksViewModel& page = models().tasks();
    // The store puts each added task first.
    for (const ArchiveTask& stored : tasks()) workbench.addTask(stored);
    const struct {
        std::optional<Status> filter;
        QStringList shown;
    } cases[] = {
        {std::nullopt, {"e", "d", "c", "b", "a"}},
        {Status::completed, {"d", "b"}},
        {Status::paused, {"e"}},
        {Status::cancelled, {}},
    };
    for (const auto& c : cases) {
        page.setTaskFilter(c.filter);
        EXPECT_EQ(names(page.shownTaskRows()), c.shown);
    }
    QSignalSpy changes(&page, &TasksViewModel::tasksChanged);
    page.clearCompletedTasks();
    page.setTaskFilter(std::nullopt);
    EXPECT_EQ(names(page.shownTaskRows()), QStringList({"e", "c", "a"}));
    page.removeTask(tasks()[4].id);
    EXPECT_EQ(names(page.shownTaskRows()), QStringList({"c", "a"}));
    EXPECT_EQ(changes.size(), 2);
    page.pauseAllRunningTasks();
    EXPECT_EQ(workbench.tasks().last().status, Status::paused);
}

using ActivityModelsTest = WorkbenchFixture;

// The bell and the panel read the store through their model; "全部已读" marks read on disk too.
TEST_F(ActivityModelsTest, NotificationsCountTheUnreadUntilAllAreMarkedRead) {
    NotificationsViewModel& notifications = models().notifications();
    QSignalSpy changes(&notifications, &NotificationsViewModel::notificationsChanged);
    workbench.addNotification("a", {});
    workbench.addNotification("b", {});
    notifications.markAllRead();
    EXPECT_EQ(notifications.unreadCount(), 0);
    workbench.addNotification("c", {});
    workbench.addNotification("d", {});
    EXPECT_EQ(notifications.unreadCount(), 2);
    EXPECT_EQ(changes.size(), 5);
    EXPECT_EQ(notifications.notifications().first().title, "d");
    notifications.markAllRead();
    workbench.waitForWrites();
    EXPECT_EQ(WorkbenchStore(DefaultsStore(defaultsFolder.path())).unreadNotificationCount(), 0);
}

TEST(TaskPageRulesTest, FilterButtonsCountOverAllTasks) {
    QStringList titles;
    for (const auto& button : TaskPageRules::filterButtons(tasks())) titles << button.title;
    EXPECT_EQ(titles, QStringList({QStringLiteral(u"全部(5)"), QStringLiteral(u"进行中(1)"),
                                   QStringLiteral(u"已完成(2)"), QStringLiteral(u"失败(1)"),
                                   QStringLiteral(u"已暂停(1)"), QStringLiteral(u"已取消(0)")}));
    titles.clear();
    for (const auto& button : TaskPageRules::filterButtons({})) titles << button.title;
    EXPECT_EQ(titles, QStringList({QStringLiteral(u"全部(0)"), QStringLiteral(u"进行中(0)"),
                                   QStringLiteral(u"已完成(0)"), QStringLiteral(u"失败(0)"),
                                   QStringLiteral(u"已暂停(0)"), QStringLiteral(u"已取消(0)")}));
    EXPECT_EQ(TaskPageRules::filterButtons({})[4].status, Status::paused);
    EXPECT_EQ(TaskPageRules::taskCountText(0), QStringLiteral(u"共 0 个任务"));
}

TEST(TaskPageRulesTest, ProgressIsHeldWithinTheTrack) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    const QList<std::pair<double, double>> cases{
        {0.985, 0.985}, {1.0, 1.0}, {0.0, 0.0},  {1.7, 1.0},   {-0.3, 0.0},
        {nan, 0.0},     {inf, 0.0}, {-inf, 0.0}, {1e300, 1.0},
    };
    for (const auto& [progress, clamped] : cases) {
        EXPECT_EQ(TaskPageRules::clampedProgress(progress), clamped) << progress;
    }
}

TEST(TaskPageRulesTest, ActionsPerStatus) {
    using Actions = QList<TaskAction>;
    EXPECT_EQ(TaskPageRules::actions(Status::running), Actions({TaskAction::pause, TaskAction::cancel}));
    EXPECT_EQ(TaskPageRules::actions(Status::paused), Actions({TaskAction::remove}));
    EXPECT_EQ(TaskPageRules::actions(Status::completed), Actions({TaskAction::remove}));
    EXPECT_EQ(TaskPageRules::actions(Status::cancelled), Actions({TaskAction::remove}));
    EXPECT_EQ(TaskPageRules::actions(Status::failed), Actions());
}

ArchiveHistoryRecord record(const QString& fileName, const QString& path, Kind kind) {
    ArchiveHistoryRecord result;
    result.id = QUuid::createUuid();
    result.fileName = fileName;
    result.path = path;
    result.kind = kind;
    result.createdAt = QDateTime::fromSecsSinceEpoch(1700000000);
    result.sizeDescription = "1 MB";
    return result;
}

const QList<ArchiveHistoryRecord>& history() {
    static const QList<ArchiveHistoryRecord> list{
        record("Photos.zip", "/home/u/Photos.zip", Kind::extract),
        record("report.7z", "/data/Work/report.7z", Kind::compress),
        record("movie.part1.rar", "/media/movie.part1.rar", Kind::splitExtraction),
        record("big.7z.001", "/data/big.7z.001", Kind::splitCompression),
    };
    return list;
}

struct HistoryCase {
    const char* name;
    std::optional<Kind> kind;
    QString search;
    QStringList expected;
};

class HistoryFilter : public WorkbenchFixture, public ::testing::WithParamInterface<HistoryCase> {
protected:
    // The store's history as history() lists it: the newest record first.
    void finishTasksOfTheHistory() {
        for (auto record = history().crbegin(); record != history().crend(); ++record) {
            ArchiveTask task;
            task.id = QUuid::createUuid();
            task.name = record->fileName;
            task.path = record->path;
            task.kind = record->kind;
            workbench.addTask(task);
            workbench.completeTask(task.id, {});
        }
    }
};

TEST_P(HistoryFilter, KeepsKindAndSearchMatchesInStoreOrder) {
    const HistoryCase& c = GetParam();
    QStringList shown;
    for (const auto& r : HistoryPageRules::filteredHistory(history(), c.kind, c.search)) shown << r.fileName;
    EXPECT_EQ(shown, c.expected);

    HistoryTableModel model;
    HistoryFilterProxy proxy;
    QAbstractItemModelTester modelTester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    QAbstractItemModelTester proxyTester(&proxy, QAbstractItemModelTester::FailureReportingMode::Fatal);
    proxy.setSourceModel(&model);
    model.setRecords(history());
    proxy.setKindFilter(c.kind);
    proxy.setSearch(c.search);
    QStringList proxied;
    for (int row = 0; row < proxy.rowCount(); ++row) {
        proxied << proxy.index(row, HistoryTableModel::fileNameColumn).data().toString();
    }
    EXPECT_EQ(proxied, c.expected);

    // The page's model lists the same records of the store.
    HistoryViewModel& page = models().history();
    finishTasksOfTheHistory();
    page.setHistoryFilter(c.kind);
    page.setHistorySearch(c.search);
    QStringList listed;
    for (int row = 0; row < page.shownCount(); ++row) {
        listed << page.shownRecords()->index(row, HistoryTableModel::fileNameColumn).data().toString();
    }
    EXPECT_EQ(listed, c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, HistoryFilter,
    ::testing::Values(
        HistoryCase{"All", std::nullopt, "", {"Photos.zip", "report.7z", "movie.part1.rar", "big.7z.001"}},
        HistoryCase{"ExtractHidesSplit", Kind::extract, "", {"Photos.zip"}},
        HistoryCase{"CompressHidesSplit", Kind::compress, "", {"report.7z"}},
        HistoryCase{
            "Blanks", std::nullopt, " \n ", {"Photos.zip", "report.7z", "movie.part1.rar", "big.7z.001"}},
        HistoryCase{"UpperCaseQuery", std::nullopt, "PHOTOS", {"Photos.zip"}},
        HistoryCase{"PathOnly", std::nullopt, "work", {"report.7z"}},
        HistoryCase{"Trimmed", std::nullopt, "  7z ", {"report.7z", "big.7z.001"}},
        HistoryCase{"KindAndSearch", Kind::extract, "report", {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(HistoryTableModelTest, RowTextsAndRoles) {
    HistoryTableModel model;
    model.setRecords(history());
    const QModelIndex row = model.index(2, 0);
    EXPECT_EQ(row.siblingAtColumn(HistoryTableModel::kindColumn).data(), QStringLiteral(u"分卷解压"));
    EXPECT_EQ(row.siblingAtColumn(HistoryTableModel::statusColumn).data(), QStringLiteral(u"成功"));
    EXPECT_EQ(row.siblingAtColumn(HistoryTableModel::sizeColumn).data(), "1 MB");
    EXPECT_EQ(row.data(HistoryTableModel::KindRole).toInt(), int(Kind::splitExtraction));
    EXPECT_EQ(row.data(HistoryTableModel::PathRole).toString(), "/media/movie.part1.rar");
    EXPECT_EQ(model.headerData(HistoryTableModel::actionsColumn, Qt::Horizontal), QStringLiteral(u"操作"));
    EXPECT_EQ(HistoryPageRules::recordCountText(0), QStringLiteral(u"共 0 条记录"));
}

TEST(HistoryTableModelTest, FailedRowTellsItsReasonOverNameAndStatus) {
    ArchiveHistoryRecord failed = record("broken.zip", "/tmp/broken.zip", Kind::extract);
    failed.status = ArchiveActivityStatus::failed;
    failed.message = QStringLiteral(u"密码错误或文件已损坏");
    HistoryTableModel model;
    model.setRecords({failed, history().first()});
    const QModelIndex row = model.index(0, 0);
    for (int column = 0; column < HistoryTableModel::kColumnCount; ++column) {
        const bool tells =
            column == HistoryTableModel::fileNameColumn || column == HistoryTableModel::statusColumn;
        EXPECT_EQ(row.siblingAtColumn(column).data(Qt::ToolTipRole).toString(), tells ? failed.message : "")
            << column;
    }
    EXPECT_FALSE(model.index(1, HistoryTableModel::statusColumn).data(Qt::ToolTipRole).isValid());
}

}  // namespace
