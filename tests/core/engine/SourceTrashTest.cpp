#include "core/engine/SourceTrash.h"
#include "platform/DesktopTrash.h"
#include "platform/WorkJournal.h"
#include "support/FullDisk.h"
#include "support/TempTree.h"
#include "support/XdgEnvironment.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <csignal>

#include <sys/wait.h>
#include <unistd.h>

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

// Names too long for their record's name go under a shortened one, cut where a character starts, and
// come back whole from the record.
TEST(SourceTrash, LongNamesGoUnderShortenedNamesAndComeBackWhole) {
    XdgEnvironment xdg;
    TempTree tree;
    const QString cjk = QString(82, QChar(0x62A5)) + ".txt";  // 250 bytes
    // Sorted, as trashedPaths() lists them; the second of each name is numbered.
    const QStringList items{tree.writeFile("a/" + QString(246, 'x') + ".txt", "a"),
                            tree.writeFile("a/" + QString(245, 'y'), "b"), tree.writeFile("a/" + cjk, "c"),
                            tree.writeFile("b/" + QString(245, 'y'), "d"), tree.writeFile("b/" + cjk, "e")};
    EXPECT_EQ(SourceTrash::moveToTrash(items), QStringList());
    EXPECT_EQ(xdg.trashedPaths(), items);
    for (const QString& name : QDir(xdg.trashFolder() + "/info").entryList(QDir::Files)) {
        const QByteArray bytes = QFile::encodeName(name);
        EXPECT_LE(bytes.size(), 255);
        EXPECT_EQ(QFile::encodeName(QFile::decodeName(bytes)), bytes) << "cut inside a character";
    }
}

// Killed between the record and the move: the next start removes velmora's record with no item, and
// only that; one whose item arrived stays, as does another program's.
TEST(SourceTrash, ARecordLeftByAKillBeforeTheMoveGoesAtTheNextStart) {
    XdgEnvironment xdg;
    TempTree tree;
    const QString item = tree.writeFile("killme.txt", "k");
    const QString moved = tree.writeFile("moved.txt", "m");
    const QString others = xdg.tree().writeFile("data/Trash/info/other.txt.trashinfo", "[Trash Info]\n");
    for (const QString& path : {item, moved}) {
        const pid_t child = ::fork();
        if (child == 0) {
            static bool afterTheMove;
            afterTheMove = path == moved;
            DesktopTrash::systemCalls.rename = [](const char* from, const char* to) {
                if (afterTheMove) ::rename(from, to);
                return ::kill(::getpid(), SIGKILL);
            };
            DesktopTrash::moveToTrash(path);
            ::_exit(0);
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status));
    }
    EXPECT_TRUE(QFileInfo::exists(xdg.trashFolder() + "/info/killme.txt.trashinfo"));
    WorkJournal::removeLeftovers([](const QByteArray&) { return false; });
    EXPECT_EQ(QDir(xdg.trashFolder() + "/info").entryList(QDir::Files),
              (QStringList{"moved.txt.trashinfo", "other.txt.trashinfo"}));
    EXPECT_TRUE(QFileInfo::exists(others));
    EXPECT_EQ(SourceTrash::moveToTrash({item}), QStringList());
    EXPECT_EQ(xdg.trashedPaths(), (QStringList{item, moved}));
}

// An item reached through a link to a folder on another file system goes to the trash at the top of
// the file system it is really on, its Path relative to that top.
TEST(SourceTrash, AnItemBehindALinkGoesToTheTrashOfItsOwnFileSystem) {
    XdgEnvironment xdg;
    TempTree tree;
    FullDisk disk;
    if (!disk.mounted()) GTEST_SKIP() << "needs a file system of its own (root)";
    QDir().mkpath(disk.path("data"));
    ASSERT_TRUE(QFile::link(disk.path("data"), tree.path("disk")));
    tree.writeFile("disk/report.txt", "r");
    EXPECT_EQ(SourceTrash::moveToTrash({tree.path("disk/report.txt")}), QStringList());
    const QString trash = disk.path(".Trash-" + QString::number(::getuid()));
    EXPECT_TRUE(QFileInfo::exists(trash + "/files/report.txt"));
    QFile info(trash + "/info/report.txt.trashinfo");
    ASSERT_TRUE(info.open(QIODevice::ReadOnly));
    EXPECT_TRUE(info.readAll().contains("\nPath=data/report.txt\n"));
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
