// Extraction into a folder that already holds items of the archive's names: nothing of the user's is
// replaced or merged into, the incoming items take free numbered names, and the result counts them.
// Real archives made with the real tools.

#include "EngineFixtures.h"
#include "core/base/FileNameHelper.h"
#include "core/content/ArchivePreviewService.h"
#include "core/content/EditWorkFolder.h"
#include "core/engine/ArchiveService.h"
#include "core/engine/ExtractionStaging.h"
#include "core/engine/ExtractionSteps.h"
#include "support/FakePrograms.h"
#include "support/FullDisk.h"
#include "support/XdgEnvironment.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

#include <cerrno>
#include <csignal>
#include <functional>
#include <iostream>
#include <optional>
#include <thread>

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

const QByteArray kUsers = "the user's own";

// 7-Zip on a FAT file system mounted with fusefat: the real 7zz's extraction, then its report (as
// measured) of every item whose Unix mode the file system would not take.
const QString kSevenZipOnFat = QStringLiteral(
    "/usr/bin/7zz \"$@\" || exit; for a; do case \"$a\" in -o*) find \"${a#-o}\" -mindepth 1 -exec printf "
    "'ERROR: Cannot set file attribute : errno=38 : Function not implemented : %s\\n' {} + >&2; exit 2;; "
    "esac; done");

ExtractionOptions separateFolders(bool separate) {
    ExtractionOptions settings;
    settings.extractToSeparateFolder = separate;
    settings.deleteSourceAfterExtract = false;
    return settings;
}

class ExtractionBesideUserFilesTest : public testing::Test {
protected:
    void SetUp() override {
        m_tree.writeFile(QStringLiteral("src/doc/note.txt"), "incoming nested");
        m_tree.writeFile(QStringLiteral("src/note.txt"), "incoming top");
        // Stored, and big enough for several volumes of 64 KiB.
        m_tree.writeFile(QStringLiteral("src/pics/big.bin"), QByteArray(150 * 1024, 'p'));
        m_tree.makeFolder(QStringLiteral("in"));
    }

    QString make(const QString& program, const QStringList& arguments, const QString& name) {
        runTool(program, arguments, m_tree.path(QStringLiteral("src")));
        return m_tree.path(QStringLiteral("in/") + name);
    }
    QString in(const QString& name) const { return m_tree.path(QStringLiteral("in/") + name); }

    // A folder with a nested clash (doc/note.txt), a file clash whose first numbered name is taken
    // too, and a file where a folder comes in.
    QString userFolder(const QString& name) {
        for (const char* path : {"/doc/note.txt", "/note.txt", "/note 1.txt", "/pics"})
            m_tree.writeFile(name + QString::fromUtf8(path), kUsers);
        return m_tree.path(name);
    }

    static QMap<QString, QByteArray> expectedBeside() {
        return {{"doc/", {}},
                {"doc/note.txt", kUsers},
                {"note.txt", kUsers},
                {"note 1.txt", kUsers},
                {"pics", kUsers},
                {"doc 1/", {}},
                {"doc 1/note.txt", "incoming nested"},
                {"note 2.txt", "incoming top"},
                {"pics 1/", {}},
                {"pics 1/big.bin", QByteArray(150 * 1024, 'p')}};
    }

    TempTree m_tree;
    const ArchiveService m_service{ArchiveService::standardExtractors(), nullptr};
};

TEST_F(ExtractionBesideUserFilesTest, EveryKindGoesBesideTheUsersItems) {
    const QStringList items = {"doc", "note.txt", "pics"};
    FakePrograms fat;
    fat.addTool(QStringLiteral("7zz"), kSevenZipOnFat);
    const ArchiveService onFat{ArchiveService::standardExtractors(fat.programs()), nullptr};
    const struct {
        QString archive;
        bool withoutRenameNoReplace = false;
        bool fat = false;  // 7-Zip and renames as on fusefat
    } cases[] = {
        {make(kZip, QStringList{"-q", "-r", in("plain.zip")} + items, "plain.zip")},
        {make(kZip, QStringList{"-q", "-r", "-0", "-s", "64k", in("split.zip")} + items, "split.zip")},
        {make(kSevenZip, QStringList{"a", in("seven.7z")} + items, "seven.7z")},
        {make(kSevenZip, QStringList{"a", "-mx=0", "-v64k", in("movie.7z")} + items, "movie.7z.001")},
        {make(kRar, QStringList{"a", "-idq", "-r", in("plain.rar")} + items, "plain.rar")},
        {make(kTar, QStringList{"-czf", in("plain.tar.gz")} + items, "plain.tar.gz")},
        {make(kSevenZip, QStringList{"a", in("fuse.7z")} + items, "fuse.7z"), true},
        {make(kSevenZip, QStringList{"a", in("fat.7z")} + items, "fat.7z"), true, true},
        {make(kZip, QStringList{"-q", "-r", in("fat.zip")} + items, "fat.zip"), true, true},
        {make(kTar, QStringList{"-czf", in("fat.tar.gz")} + items, "fat.tar.gz"), true, true},
    };
    ASSERT_TRUE(QFile::exists(in(QStringLiteral("split.z02"))));
    ASSERT_TRUE(QFile::exists(in(QStringLiteral("movie.7z.003"))));
    int index = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.archive.toStdString());
        std::optional<WithoutRenameNoReplace> fuse;
        if (c.withoutRenameNoReplace) fuse.emplace(0, c.fat);
        const QString destination = userFolder(QStringLiteral("dest%1").arg(index++));
        const OperationOutputs result =
            (c.fat ? onFat : m_service)
                .extract({c.archive}, destination, std::nullopt, separateFolders(false), 1, {});
        EXPECT_EQ(result.outputs, QStringList{destination});
        EXPECT_EQ(result.renamedCount, 3);
        EXPECT_EQ(treeContents(destination), expectedBeside());
    }
}

// The archive browser's extraction of a selection follows the same rule and hands back the items
// where they went, on a FAT file system too.
TEST_F(ExtractionBesideUserFilesTest, SelectionGoesBesideTheUsersItems) {
    const QString archive = make(kSevenZip, {"a", "-tzip", in("s.zip"), "doc", "note.txt", "pics"}, "s.zip");
    QList<ArchivePreviewEntry> entries;
    for (const char* path : {"doc/note.txt", "note.txt"}) {
        ArchivePreviewEntry entry;
        entry.path = QString::fromUtf8(path);
        entries << entry;
    }
    FakePrograms fat;
    fat.addTool(QStringLiteral("7zz"), kSevenZipOnFat);
    for (const bool onFat : {false, true}) {
        SCOPED_TRACE(onFat);
        const QString name = onFat ? QStringLiteral("fat") : QStringLiteral("dest");
        const QString destination = userFolder(name);
        std::optional<WithoutRenameNoReplace> fuse;
        if (onFat) fuse.emplace(0, true);
        const OperationOutputs result =
            ArchivePreviewService(onFat ? fat.programs() : ArchivePrograms::installed())
                .extractEntries(entries, archive, destination, std::nullopt, {});
        EXPECT_EQ(result.outputs,
                  QStringList({destination + "/doc 1/note.txt", destination + "/note 2.txt"}));
        EXPECT_EQ(result.renamedCount, 2);
        EXPECT_EQ(m_tree.readFile(name + "/doc/note.txt"), kUsers);
        EXPECT_EQ(m_tree.readFile(name + "/note.txt"), kUsers);
        EXPECT_EQ(m_tree.readFile(name + "/doc 1/note.txt"), "incoming nested");
    }
}

// A link from one top-level item into another that had to be renamed follows it, instead of
// pointing at the user's item of the old name.
TEST_F(ExtractionBesideUserFilesTest, LinksFollowARenamedItem) {
    QFile::link(QStringLiteral("doc/note.txt"), m_tree.path(QStringLiteral("src/top")));
    QFile::link(QStringLiteral("../doc/note.txt"), m_tree.path(QStringLiteral("src/pics/up")));
    const QString archive = make(kTar, {"-czf", in("l.tar.gz"), "doc", "top", "pics"}, "l.tar.gz");
    const QString destination = userFolder(QStringLiteral("dest"));
    EXPECT_EQ(
        m_service.extract({archive}, destination, std::nullopt, separateFolders(false), 1, {}).renamedCount,
        2);
    EXPECT_EQ(QFile::symLinkTarget(destination + "/top"), destination + "/doc 1/note.txt");
    EXPECT_EQ(QFile::symLinkTarget(destination + "/pics 1/up"), destination + "/doc 1/note.txt");
    EXPECT_EQ(m_tree.readFile(QStringLiteral("dest/top")), "incoming nested");
}

// Where the file system lacks RENAME_NOREPLACE and the last rename fails, the name taken for the item
// is free again, and the message says whether a file or a folder could not be put there.
TEST_F(ExtractionBesideUserFilesTest, AFailedMoveInLeavesNoPlaceholder) {
    const WithoutRenameNoReplace fuse(EIO);
    const struct {
        QString item;
        QString failure;
    } cases[] = {{"note.txt", QStringLiteral(u"无法保存文件：")},
                 {"doc", QStringLiteral(u"无法创建文件夹：")}};
    for (const auto& c : cases) {
        const QString archive = make(kSevenZip, {"a", in(c.item + ".7z"), c.item}, c.item + ".7z");
        const QString destination = m_tree.makeFolder("dest " + c.item);
        EXPECT_EQ(thrownMessage([&] {
                      m_service.extract({archive}, destination, std::nullopt, separateFolders(false), 1, {});
                  }),
                  c.failure + destination + '/' + c.item + QStringLiteral(u"（磁盘读写错误）"));
        EXPECT_TRUE(QDir(destination).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));
    }
}

// The user's file, put in place by a rename, so that it never reuses the inode of what it replaces.
void putUsersFile(const QString& path, const QByteArray& bytes = kUsers) {
    QSaveFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(bytes) >= 0 && file.commit());
}

// Without RENAME_NOREPLACE, the search for a free name ends where every name is taken and on a
// cancellation; only velmora's own placeholder, and what velmora moved into it, is replaced or taken
// out again: a file put under the name meanwhile, or one that arrived in the folder, stays.
TEST_F(ExtractionBesideUserFilesTest, FreeNamesEndAndLeaveWhatOthersPutThere) {
    m_tree.writeFile(QStringLiteral("staging/doc/a.txt"), "a");
    m_tree.writeFile(QStringLiteral("staging/doc/b.txt"), "b");
    m_tree.writeFile(QStringLiteral("staging/note.txt"), "incoming");
    const CancellationToken token;
    const struct {
        const char* item;
        std::function<int(int, const QString&)> step;
        int calls;
        QMap<QString, QByteArray> left = {};
    } cases[] = {
        {"note.txt", [](int call, const QString&) { return call > 5000 ? EIO : EEXIST; },
         ExclusiveRename::kMaxNames},
        {"note.txt", [](int, const QString& to) { return putUsersFile(to), EIO; }, 1, {{"note.txt", kUsers}}},
        // fusefat: no folder over a folder, so the contents go file by file; the second one fails.
        {"doc",
         [](int call, const QString& to) {
             if (call == 2) putUsersFile(QFileInfo(to).path() + "/theirs.txt");
             return call == 1 ? EPERM : call == 3 ? EIO : 0;
         },
         3,
         {{"doc/", {}}, {"doc/theirs.txt", kUsers}}},
        {"note.txt",
         [&](int call, const QString&) {
             if (call == 3) token.cancel();
             return EEXIST;
         },
         3},
    };
    int run = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(run);
        const QString destination = m_tree.makeFolder(QStringLiteral("dest%1").arg(run++));
        const WithoutRenameNoReplace renames(c.step);
        EXPECT_TRUE(thrownMessage([&] {
            ExclusiveRename::toFreeName(
                m_tree.path(QStringLiteral("staging/") + c.item), destination,
                [&](qint64 n) { return c.item + (n == 0 ? QString() : QString::number(n)); }, nullptr, token);
        }));
        EXPECT_EQ(WithoutRenameNoReplace::calls(), c.calls);
        EXPECT_EQ(treeContents(destination), c.left);
    }
    EXPECT_EQ(m_tree.readFile(QStringLiteral("staging/note.txt")), "incoming");
}

// A kill between taking the name and the rename: the next start removes the empty placeholder, but
// not an empty file of the user's that took the name since.
TEST_F(ExtractionBesideUserFilesTest, APlaceholderLeftByAKillGoesAtTheNextStart) {
    const XdgEnvironment xdg;
    const QString placeholder = m_tree.makeFolder(QStringLiteral("dest")) + "/note.txt";
    const QString item = m_tree.writeFile(QStringLiteral("staging/note.txt"), "incoming");
    for (const bool replacedByTheUser : {false, true}) {
        ASSERT_TRUE(killedAfterMoves(0, [&] {
            const WithoutRenameNoReplace renames(
                [](int, const QString&) { return ::kill(::getpid(), SIGKILL); });
            ExclusiveRename::rename(item, placeholder, WorkJournal::open().get());
        }));
        ASSERT_EQ(QFileInfo(placeholder).size(), 0);
        if (replacedByTheUser) putUsersFile(placeholder, {});
        WorkJournal::removeLeftovers(EditWorkFolder::holdsWholeArchive);
        EXPECT_EQ(QFileInfo::exists(placeholder), replacedByTheUser);
    }
}

TEST(FileNameHelperNumberedName, NumberGoesBeforeTheLastExtension) {
    const struct {
        const char* name;
        bool folder;
        const char* numbered;
    } cases[] = {
        {"note.txt", false, "note 2.txt"}, {"doc", true, "doc 2"},          {"v1.0", true, "v1.0 2"},
        {"a.tar.gz", false, "a.tar 2.gz"}, {".bashrc", false, ".bashrc 2"}, {"README", false, "README 2"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FileNameHelper::numberedName(QString::fromUtf8(c.name), 2, c.folder),
                  QString::fromUtf8(c.numbered));
}

// Two runs that start together never share an extraction folder: each reserves its own with mkdir
// before its tool starts, and a failed run removes the one it made.
TEST_F(ExtractionBesideUserFilesTest, TwoRunsReserveTheirOwnFolders) {
    const QString archive = make(kSevenZip, {"a", in("report.7z"), "doc", "note.txt", "pics"}, "report.7z");
    const QString destination = m_tree.makeFolder(QStringLiteral("out"));
    OperationOutputs first;
    OperationOutputs second;
    std::thread other([&] {
        first = m_service.extract({archive}, destination, std::nullopt, separateFolders(true), 1, {});
    });
    second = m_service.extract({archive}, destination, std::nullopt, separateFolders(true), 1, {});
    other.join();
    QStringList folders = first.outputs + second.outputs;
    folders.sort();
    EXPECT_EQ(folders, QStringList({destination + "/report", destination + "/report 1"}));
    for (const QString& folder : folders) {
        EXPECT_EQ(QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
                  QStringList({"doc", "note.txt", "pics"}));
    }
    EXPECT_EQ(first.renamedCount + second.renamedCount, 0);

    m_tree.writeFile(QStringLiteral("in/broken.7z"), "not an archive");
    EXPECT_TRUE(thrownArchiveError([&] {
        m_service.extract({in("broken.7z")}, destination, std::nullopt, separateFolders(true), 1, {});
    }));
    EXPECT_FALSE(QFileInfo::exists(destination + "/broken"));
}

// While an extraction runs, its private folder and the folders it made are in the work journal; a
// start after a killed run removes them.
TEST_F(ExtractionBesideUserFilesTest, JournalRecordsTheFoldersOfARun) {
    XdgEnvironment environment;
    const QString destination = m_tree.path(QStringLiteral("new/dest"));
    QString privateFolder;
    {
        const ExtractionStaging staging(destination);
        privateFolder = staging.path();
        const std::unique_ptr<WorkJournal::Record> record = WorkJournal::open();
        const QString reserved =
            ExtractionSteps::reserveFolder(QStringLiteral("x"), destination, record.get());
        const QStringList records = QDir(WorkJournal::directory()).entryList({"*.record"}, QDir::Files);
        QByteArray lines;
        for (const QString& name : records) {
            QFile file(WorkJournal::directory() + '/' + name);
            ASSERT_TRUE(file.open(QIODevice::ReadOnly));
            lines += file.readAll();
        }
        EXPECT_TRUE(lines.contains("T " + QFile::encodeName(privateFolder).toPercentEncoding("/")));
        // A folder made for the run's output, with the device and inode that make it velmora's.
        for (const QString& made : {destination, reserved}) {
            struct stat info {};
            ASSERT_EQ(::lstat(QFile::encodeName(made).constData(), &info), 0);
            EXPECT_TRUE(lines.contains("P " + QByteArray::number(quint64(info.st_dev)) + ' ' +
                                       QByteArray::number(quint64(info.st_ino)) + ' ' +
                                       QFile::encodeName(made).toPercentEncoding("/")));
        }
        EXPECT_EQ(WorkJournal::removeLeftovers(EditWorkFolder::holdsWholeArchive), 0)
            << "records of running work are held";
    }
    EXPECT_FALSE(QFileInfo::exists(privateFolder));
    EXPECT_EQ(QDir(WorkJournal::directory()).entryList({"*.record"}, QDir::Files), QStringList());
}

// A run killed between the moves of its items into place: the next start takes back what had moved and
// the folder reserved for it, whether the items went into a reserved folder or beside the user's own.
TEST_F(ExtractionBesideUserFilesTest, AKillBetweenTheMovesLeavesNothingAfterTheNextStart) {
    const XdgEnvironment environment;
    m_tree.writeFile(QStringLiteral("src/readme.txt"), "fourth");
    const QStringList items = {"doc", "note.txt", "pics", "readme.txt"};
    const struct {
        QString archive;
        int moves;
        bool reservedFolder;
    } cases[] = {
        {make(kZip, QStringList{"-q", "-r", in("arc.zip")} + items, "arc.zip"), 1, true},
        {make(kSevenZip, QStringList{"a", "-v64k", in("arc.7z")} + items, "arc.7z.001"), 2, true},
        {make(kRar, QStringList{"a", "-idq", "-r", in("arc.rar")} + items, "arc.rar"), 3, true},
        {make(kTar, QStringList{"-czf", in("arc.tar.gz")} + items, "arc.tar.gz"), 2, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.archive.toStdString());
        const QString destination = userFolder(QFileInfo(c.archive).fileName() + " out");
        // The user's own folder of the archive's name, so that the run reserves "arc 1".
        QDir(destination).mkdir(FileNameHelper::archiveBaseName(c.archive));
        const QMap<QString, QByteArray> before = treeContents(destination);
        ASSERT_TRUE(killedAfterMoves(c.moves, [&] {
            m_service.extract({c.archive}, destination, std::nullopt, separateFolders(c.reservedFolder), 1,
                              {});
        }));
        EXPECT_NE(treeContents(destination), before) << "killed between two moves";
        WorkJournal::removeLeftovers(EditWorkFolder::holdsWholeArchive);
        EXPECT_EQ(treeContents(destination), before);
    }
}

// A journal with room for the run's folder but not for the moves out of it stops the run before the
// first move: unrecorded, a kill between two moves would leave part of the items under their names.
TEST_F(ExtractionBesideUserFilesTest, AJournalWithoutRoomForTheMovesStopsTheRunBeforeThem) {
    const XdgEnvironment environment;
    QDir().mkpath(WorkJournal::directory());
    FullDisk journal(WorkJournal::directory());
    if (!journal.mounted()) GTEST_SKIP() << "needs a file system of its own (root)";
    const QString archive = make(kZip, {"-q", "-r", in("arc.zip"), "doc", "note.txt", "pics"}, "arc.zip");
    // Long enough that the first move's line does not fit in the page the run's folder took.
    const QString destination = m_tree.makeFolder(QStringList(8, QString(200, 'd')).join('/'));
    journal.fill(4096);
    EXPECT_EQ(thrownArchiveError([&] {
                  m_service.extract({archive}, destination, std::nullopt, separateFolders(false), 1, {});
              }),
              ArchiveError::diskFull());
    journal.free();
    EXPECT_TRUE(QDir(destination).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));
}

}  // namespace
