#include "app/DragWatcher.h"
#include "support/TempTree.h"

#include <gtest/gtest.h>
#include <QUrl>

namespace {

TEST(DragWatcherUriList, OnlyAnExistingLocalItemMakesAFileDrag) {
    TempTree tree;
    const QByteArray file = QUrl::fromLocalFile(tree.writeFile("中 文.txt", "x")).toEncoded();
    const QByteArray folder = QUrl::fromLocalFile(tree.makeFolder("sub")).toEncoded();
    const QByteArray missing = QUrl::fromLocalFile(tree.path("gone.txt")).toEncoded();
    const struct {
        QByteArray uriList;
        bool files;
    } cases[] = {
        {file + "\r\n", true},
        {folder, true},
        {"# " + file + "\r\n" + missing + "\r\n", false},
        {missing + "\r\n" + file + "\r\n", true},
        {"https://example.com/a.zip\r\n", false},
        {"plain text that was dragged", false},
        {"", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(DragWatcher::namesExistingItem(c.uriList), c.files) << c.uriList.toStdString();
    }
}

}  // namespace
