#include "support/TempTree.h"
#include "views/kit/FileDialogs.h"
#include "views/kit/QtTranslations.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QPushButton>

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

}  // namespace
