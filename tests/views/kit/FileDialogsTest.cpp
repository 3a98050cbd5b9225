#include "support/TempTree.h"
#include "viewmodels/DateFormattingHelper.h"
#include "views/kit/FileDialogListing.h"
#include "views/kit/FileDialogs.h"
#include "views/kit/QtTranslations.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeView>

namespace {

TEST(FileDialogsTest, StartsAtTheItemElseTheLastFolderOfItsPurposeElseHome) {
    TempTree tree;
    const QString folder = tree.makeFolder("photos");
    const QString file = tree.writeFile("photos/a.jpg", "x");
    const QString other = tree.makeFolder("other");
    const QString gone = tree.path("gone/b.zip");

    EXPECT_EQ(FileDialogs::startFolder("startTest", {}), QDir::homePath());
    EXPECT_EQ(FileDialogs::startFolder("startTest", gone), QDir::homePath());
    EXPECT_EQ(FileDialogs::startFolder("startTest", file), folder);
    EXPECT_EQ(FileDialogs::startFolder("startTest", folder), folder);

    FileDialogs::remember("startTest", {other + "/c.zip"});
    EXPECT_EQ(FileDialogs::startFolder("startTest", {}), other);
    EXPECT_EQ(FileDialogs::startFolder("startTest", gone), other);
    EXPECT_EQ(FileDialogs::startFolder("startTest", file), folder);
    // Another purpose keeps its own memory.
    EXPECT_EQ(FileDialogs::startFolder("otherTest", {}), QDir::homePath());
}

// The panel is opened, not run: the call returns at once and the answer comes through the callback.
TEST(FileDialogsTest, OpensInChineseAndAnswersThroughTheCallback) {
    ASSERT_TRUE(QtTranslations::install(*qApp)) << "Qt's Chinese translations are not installed";
    TempTree tree;
    const QString archive = tree.writeFile("in/a.zip", "x");
    QStringList answer{"not called"};
    QFileDialog* dialog = FileDialogs::openFileDialog(
        {.multipleSelection = true, .purpose = "callbackTest", .currentItem = archive}, nullptr,
        [&](const QStringList& chosen) { answer = chosen; });
    ASSERT_TRUE(dialog->isVisible());
    EXPECT_EQ(QDir(dialog->directory()).absolutePath(), tree.path("in"));
    auto* buttons = dialog->findChild<QDialogButtonBox*>();
    ASSERT_NE(buttons, nullptr);
    EXPECT_EQ(buttons->button(QDialogButtonBox::Cancel)->text(), QStringLiteral(u"取消"));
    EXPECT_EQ(answer, QStringList{"not called"});

    dialog->selectFile(archive);
    QMetaObject::invokeMethod(dialog, &QDialog::accept);
    EXPECT_EQ(answer, QStringList{archive});
    EXPECT_EQ(FileDialogs::startFolder("callbackTest", {}), tree.path("in"));

    dialog = FileDialogs::openFileDialog({.purpose = "callbackTest"}, nullptr,
                                         [&](const QStringList& chosen) { answer = chosen; });
    dialog->reject();
    EXPECT_TRUE(answer.isEmpty());
}

// A folder path typed with a trailing "/" and taken with Return names that folder, as a click would.
TEST(FileDialogsTest, TypedFolderPathEndingInSlashNamesTheFolder) {
    TempTree tree;
    const QString folder = tree.makeFolder("repro/src");
    tree.writeFile("repro/src/a.txt", "a");
    QStringList answer;
    QFileDialog* dialog = FileDialogs::openFileDialog(
        {.choosesFiles = true, .choosesFolders = true, .multipleSelection = true, .purpose = "typedTest"},
        nullptr, [&](const QStringList& chosen) { answer = chosen; });
    auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    ASSERT_NE(name, nullptr);
    dialog->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(dialog));
    name->setFocus();
    QTest::keyClicks(name, folder + "/");
    QTest::keyClick(name, Qt::Key_Return);
    EXPECT_EQ(answer, QStringList{folder});
}

// Names typed in quotes are each taken, as a plain QFileDialog takes them (添加压缩包, 选择压缩包预览...).
TEST(FileDialogsTest, EveryNameTypedInQuotesIsTaken) {
    TempTree tree;
    const QString first = tree.writeFile("in/z1.zip", "1");
    const QString second = tree.writeFile("in/z2.zip", "2");
    tree.writeFile("in/z3.zip", "3");
    QStringList answer;
    QFileDialog* dialog = FileDialogs::openFileDialog(
        {.multipleSelection = true, .purpose = "typedNamesTest", .currentItem = first}, nullptr,
        [&](const QStringList& chosen) { answer = chosen; });
    auto* files = dialog->findChild<QFileSystemModel*>();
    ASSERT_NE(files, nullptr);
    ASSERT_TRUE(QTest::qWaitFor([&] { return files->rowCount(files->index(tree.path("in"))) == 3; }));
    auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    ASSERT_NE(name, nullptr);
    dialog->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(dialog));
    name->setFocus();
    name->clear();
    QTest::keyClicks(name, "\"z1.zip\" \"z2.zip\"");
    QTest::keyClick(name, Qt::Key_Return);
    EXPECT_EQ(answer, (QStringList{first, second}));
}

// Under any system locale (CI: C.UTF-8) sizes and dates read as elsewhere in the app, kinds in Chinese.
TEST(FileDialogsTest, ListsSizesKindsAndDatesInChinese) {
    ASSERT_TRUE(QtTranslations::install(*qApp));
    TempTree tree;
    tree.makeFolder("in/sub");
    tree.writeFile("in/notes.txt", QByteArray(28, 'a'));
    tree.writeFile("in/big.txt", QByteArray(3000, 'a'));
    const QString archive = tree.writeFile("in/a.zip", QByteArray("PK\x05\x06") + QByteArray(18, 0));
    QFileDialog* dialog =
        FileDialogs::openFileDialog({.currentItem = archive}, nullptr, [](const QStringList&) {});
    auto* details = dialog->findChild<QTreeView*>(QStringLiteral("treeView"));
    ASSERT_NE(details, nullptr);
    auto* files = qobject_cast<QFileSystemModel*>(details->model());
    ASSERT_NE(files, nullptr);
    ASSERT_TRUE(QTest::qWaitFor([&] { return files->rowCount(files->index(tree.path("in"))) == 4; }));
    const auto row = [&](const QString& name) {
        const QModelIndex index = files->index(tree.path("in/" + name));
        QStringList columns;
        for (int column = 1; column <= 3; ++column) {
            EXPECT_NE(qobject_cast<FileDialogListing*>(details->itemDelegateForColumn(column)), nullptr);
            columns << FileDialogListing::text(*files, index.siblingAtColumn(column));
        }
        return columns.join('|');
    };
    const QString date = DateFormattingHelper::dateTime(QFileInfo(archive).lastModified());
    EXPECT_EQ(row("sub"), QStringLiteral(u"|文件夹|") + date);
    EXPECT_EQ(row("notes.txt"), QStringLiteral(u"28 字节|纯文本文档|") + date);
    EXPECT_TRUE(row("big.txt").startsWith("3.0 KB|"));
    EXPECT_EQ(row("a.zip").section('|', 1, 1), QStringLiteral(u"Zip 归档文件"));
    dialog->reject();
}

}  // namespace
