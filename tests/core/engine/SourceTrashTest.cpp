#include "core/engine/SourceTrash.h"
#include "support/TempTree.h"
#include "support/XdgEnvironment.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

TEST(SourceTrash, CompressedSourcesGoToTheTrashExceptOneHoldingAnArchive) {
    XdgEnvironment xdg;
    TempTree tree;
    const QString docs = tree.makeFolder("docs");
    tree.writeFile("docs/inner.txt", "inner");
    const QString notes = tree.writeFile("notes.txt", "n");
    const QString holder = tree.makeFolder("holder");
    const QString archive = tree.writeFile("holder/out/Archive.zip", "PK");
    // A sibling whose name only starts like the holder's is no parent of it.
    const QString sibling = tree.makeFolder("hold");
    const QString gone = tree.path("gone.txt");

    const SourceTrash::Outcome outcome =
        SourceTrash::trashCompressedSources({docs, notes, holder, sibling, gone}, {archive});
    EXPECT_EQ(outcome.stayed, QStringList{holder});
    EXPECT_EQ(outcome.trashed, (QStringList{docs, notes, sibling}));
    QStringList expected{docs, notes, sibling};
    expected.sort();
    EXPECT_EQ(xdg.trashedPaths(), expected);
    EXPECT_EQ(QFile(xdg.trashFolder() + "/files/docs/inner.txt").size(), 5);
    EXPECT_TRUE(QFileInfo::exists(archive));
    EXPECT_FALSE(QFileInfo::exists(docs));
}

TEST(SourceTrash, RecordsKeepEveryNameAsItWas) {
    XdgEnvironment xdg;
    TempTree tree;
    // Already sorted, as trashedPaths() lists them.
    const QStringList items{tree.writeFile("one/same name.txt", "c"),
                            tree.writeFile("two/same name.txt", "d"),
                            tree.writeFile(u"报价%20单.txt"_qs, "a"), tree.writeFile(u"版本%41.txt"_qs, "b")};
    EXPECT_EQ(SourceTrash::moveToTrash(items), QStringList());
    EXPECT_EQ(xdg.trashedPaths(), items);
    // Escaped byte for byte, as a URL path: the name's own "%" becomes "%25".
    QFile record(xdg.trashFolder() + QStringLiteral(u"/info/报价%20单.txt.trashinfo"));
    ASSERT_TRUE(record.open(QIODevice::ReadOnly));
    const QByteArray path = QFile::encodeName(tree.path(QStringLiteral(u"报价%20单.txt")));
    EXPECT_TRUE(record.readAll().contains("\nPath=" + path.toPercentEncoding("/") + "\nDeletionDate="));
}

TEST(SourceTrash, NothingIsDeletedWhenTheTrashCannotBeUsed) {
    XdgEnvironment xdg;
    xdg.tree().writeFile("data/Trash", "in the way");
    TempTree tree;
    const QStringList items{tree.writeFile("a.txt", "a"), tree.makeFolder("b")};
    EXPECT_EQ(SourceTrash::moveToTrash(items), items);
    for (const QString& item : items) EXPECT_TRUE(QFileInfo::exists(item));
}

TEST(SourceTrash, NoticesCountWhatWentAndWhatStayedAndNameTheFirstThree) {
    EXPECT_EQ(SourceTrash::untrashedNotice({}), QString());
    EXPECT_EQ(SourceTrash::trashedNotice({}), QString());
    // The items, their count and the names said of them.
    const std::tuple<QStringList, QString, QString> cases[] = {
        {{"/d/a.zip"}, "1", "a.zip"},
        {{"/d/a", "/d/b 1.txt", "/d/%1.txt"}, "3", u"a、b 1.txt、%1.txt"_qs},
        {{"/a", "/b", "/c", "/d", "/e"}, "5", u"a、b、c 等"_qs},
    };
    for (const auto& [items, count, names] : cases) {
        EXPECT_EQ(SourceTrash::untrashedNotice(items),
                  u"；"_qs + count + u" 个项目无法移到回收站，仍在原处："_qs + names);
        EXPECT_EQ(SourceTrash::trashedNotice(items), u"；"_qs + count + u" 个项目已移到回收站："_qs + names);
    }
}

}  // namespace
