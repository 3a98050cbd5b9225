#include "viewmodels/BrowserFixture.h"
#include "views/browser/ArchiveEntryTableModel.h"

#include <QAbstractItemModelTester>

namespace {

using Table = ArchiveEntryTableModel;

TEST_F(BrowserFixture, TableRowsFollowTheOutline) {
    ArchivePreviewEntry sized = row("docs/readme.txt");
    sized.sizeDescription = QStringLiteral("6 字节");
    ArchivePreviewWindowModel& browser = openListed({row("docs/"), sized, row("Makefile")});
    Table table(browser);
    QAbstractItemModelTester tester(&table, QAbstractItemModelTester::FailureReportingMode::Fatal);
    ASSERT_EQ(table.rowCount(), 2);
    EXPECT_EQ(table.index(0, Table::name).data().toString(), QStringLiteral("docs"));
    EXPECT_TRUE(table.index(0, Table::name).data(Table::ExpandableRole).toBool());
    EXPECT_FALSE(table.index(1, Table::name).data(Table::ExpandableRole).toBool());
    EXPECT_EQ(table.index(1, Table::size).data().toString(), QStringLiteral("-"));
    EXPECT_EQ(table.index(1, Table::kind).data().toString(), QStringLiteral(u"文件"));
    EXPECT_FALSE(table.index(1, Table::name).data(Qt::DecorationRole).value<QIcon>().isNull());

    browser.toggleExpanded(row("docs/"));
    table.refresh();
    ASSERT_EQ(table.rowCount(), 3);
    EXPECT_EQ(table.index(1, Table::name).data().toString(), QStringLiteral("readme.txt"));
    EXPECT_EQ(table.index(1, Table::name).data(Table::DepthRole).toInt(), 1);
    EXPECT_EQ(table.index(1, Table::size).data().toString(), QStringLiteral("6 字节"));
    EXPECT_TRUE(table.index(0, Table::name).data(Table::ExpandedRole).toBool());
    EXPECT_EQ(table.rowOf(QStringLiteral("Makefile")), 2);
}

}  // namespace
