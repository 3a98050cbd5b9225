#include "viewmodels/HistoryTableModel.h"
#include "viewmodels/WorkbenchFixture.h"
#include "views/main/HistoryPage.h"
#include "views/main/HistoryTableDelegate.h"
#include "views/main/UrlRecorder.h"

#include <gtest/gtest.h>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

namespace {

class HistoryPageTest : public WorkbenchFixture {
protected:
    HistoryPageTest() {
        finish("photos.zip", "/home/u/Photos/photos.zip", ArchiveActivityKind::extract);
        finish("report.7z", "/data/Work/report.7z", ArchiveActivityKind::compress);
        finish("movie.part1.rar", "/media/movie.part1.rar", ArchiveActivityKind::splitExtraction);
        page.resize(1100, 700);
        page.show();
    }

    void finish(const QString& name, const QString& path, ArchiveActivityKind kind) {
        ArchiveTask task;
        task.id = QUuid::createUuid();
        task.name = name;
        task.path = path;
        task.kind = kind;
        workbench.addTask(task);
        workbench.completeTask(task.id, {});
    }

    QStringList shownNames() const {
        QStringList names;
        QAbstractItemModel* shown = page.table()->model();
        for (int row = 0; row < shown->rowCount(); ++row) names << shown->index(row, 0).data().toString();
        return names;
    }

    HistoryViewModel& history() { return models().history(); }

    HistoryPage page{history()};
};

TEST_F(HistoryPageTest, FilterAndSearchNarrowTheTable) {
    EXPECT_EQ(shownNames(), QStringList({"movie.part1.rar", "report.7z", "photos.zip"}));
    EXPECT_EQ(page.countLabel()->text(), QStringLiteral(u"共 3 条记录"));

    page.filterButtons()[1]->click();
    EXPECT_EQ(history().historyFilter(), ArchiveActivityKind::extract);
    EXPECT_EQ(shownNames(), QStringList({"photos.zip"}));

    page.filterButtons()[0]->click();
    QTest::keyClicks(page.searchField(), "WORK");
    EXPECT_EQ(history().historySearch(), "WORK");
    EXPECT_EQ(shownNames(), QStringList({"report.7z"}));

    page.filterButtons()[1]->click();
    EXPECT_TRUE(shownNames().isEmpty());
    EXPECT_TRUE(page.showsEmptyState());
    EXPECT_EQ(page.countLabel()->text(), QStringLiteral(u"共 0 条记录"));
    EXPECT_FALSE(page.previousPageButton()->isEnabled());
    EXPECT_FALSE(page.nextPageButton()->isEnabled());
}

TEST_F(HistoryPageTest, ClearEmptiesTheWholeHistoryWhateverTheSearch) {
    history().setHistorySearch("photos");
    EXPECT_EQ(page.searchField()->text(), "photos");
    page.clearButton()->click();
    EXPECT_TRUE(workbench.history().isEmpty());
    EXPECT_TRUE(page.showsEmptyState());
}

TEST_F(HistoryPageTest, RecordsAddedByTheStoreAppearAtTheTop) {
    finish("new.zip", "/tmp/new.zip", ArchiveActivityKind::compress);
    EXPECT_EQ(shownNames().first(), "new.zip");
}

TEST_F(HistoryPageTest, TimeColumnShowsTheWholeDate) {
    QTableView* table = page.table();
    const QString text = table->model()->index(0, HistoryTableModel::timeColumn).data().toString();
    const QString longest = QString(text).replace(QRegularExpression("\\d+"), "28");
    EXPECT_LT(table->fontMetrics().horizontalAdvance(longest) + 8,
              table->columnWidth(HistoryTableModel::timeColumn));
}

TEST_F(HistoryPageTest, EllipsisOpensTheRecordsPath) {
    UrlRecorder desktop(QStringLiteral("file"));
    QTableView* table = page.table();
    const QRect cell = table->visualRect(table->model()->index(1, HistoryTableModel::actionsColumn));
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {},
                      HistoryTableDelegate::openButtonRect(cell).center());
    ASSERT_EQ(desktop.opened.size(), 1);
    EXPECT_EQ(desktop.opened.first(), QUrl::fromLocalFile("/data/Work/report.7z"));
}

}  // namespace
