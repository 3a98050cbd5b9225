#include "support/TempTree.h"
#include "views/kit/FileAndFolderDialog.h"

#include <gtest/gtest.h>
#include <QAbstractItemView>

namespace {

TEST(FileAndFolderDialogTest, AcceptsFoldersAndFilesButNotMissingNames) {
    TempTree tree;
    tree.makeFolder("Photos");
    tree.writeFile("a.txt", "a");
    struct Case {
        bool multipleSelection;
        QString selection;
        bool accepted;
    };
    for (const Case& c : {Case{true, "Photos", true}, Case{true, "a.txt", true}, Case{true, "missing", false},
                          Case{false, "Photos", true}, Case{false, "missing", false}}) {
        const std::string label = c.selection.toStdString() + (c.multipleSelection ? " (many)" : " (one)");
        FileAndFolderDialog dialog(c.multipleSelection);
        const QList<QAbstractItemView*> views = dialog.findChildren<QAbstractItemView*>();
        ASSERT_FALSE(views.isEmpty());
        const auto mode =
            c.multipleSelection ? QAbstractItemView::ExtendedSelection : QAbstractItemView::SingleSelection;
        for (QAbstractItemView* view : views) EXPECT_EQ(view->selectionMode(), mode) << label;
        dialog.setDirectory(tree.root());
        dialog.selectFile(c.selection);
        dialog.accept();
        EXPECT_EQ(dialog.result() == QDialog::Accepted, c.accepted) << label;
        if (c.accepted) {
            EXPECT_EQ(dialog.selectedFiles(), QStringList{tree.path(c.selection)}) << label;
        }
    }
}

}  // namespace
