#include "app/FileAndFolderDialog.h"
#include "support/TempTree.h"

#include <gtest/gtest.h>
#include <QAbstractItemView>

namespace {

TEST(FileAndFolderDialogTest, AcceptsFoldersAndFilesButNotMissingNames) {
    TempTree tree;
    const QString folder = tree.makeFolder("Photos");
    tree.writeFile("a.txt", "a");
    struct Case {
        QString selection;
        bool accepted;
    };
    for (const Case& c : {Case{"Photos", true}, Case{"a.txt", true}, Case{"missing", false}}) {
        FileAndFolderDialog dialog(true);
        const QList<QAbstractItemView*> views = dialog.findChildren<QAbstractItemView*>();
        ASSERT_FALSE(views.isEmpty());
        for (QAbstractItemView* view : views)
            EXPECT_EQ(view->selectionMode(), QAbstractItemView::ExtendedSelection);
        dialog.setDirectory(tree.root());
        dialog.selectFile(c.selection);
        dialog.accept();
        EXPECT_EQ(dialog.result() == QDialog::Accepted, c.accepted) << c.selection.toStdString();
        if (c.accepted) {
            EXPECT_EQ(dialog.selectedFiles(), QStringList{tree.path(c.selection)});
        }
    }
}

}  // namespace
