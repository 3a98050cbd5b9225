#include "platform/WorkJournal.h"

#include "platform/PrivateTempDirectory.h"
#include "support/FullDisk.h"
#include "support/XdgEnvironment.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>

#include <optional>

#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

const QString kUuid = QStringLiteral("3f2c1a9e-5b7d-4e8f-9a0b-1c2d3e4f5a6b");
// Edits' archives are judged by the content layer; here every file passes.
const WorkJournal::ArchiveCheck kEveryFileWhole = [](const QByteArray&) { return true; };

// Runs work in a child process that dies without cleaning up, as a killed velmora does; its exit status.
int inDyingChild(const std::function<void()>& work) {
    const pid_t child = ::fork();
    if (child == 0) {
        work();
        ::_exit(0);
    }
    int status = 0;
    EXPECT_EQ(::waitpid(child, &status, 0), child);
    return WEXITSTATUS(status);
}

class WorkJournalTest : public testing::Test {
protected:
    void SetUp() override {
        PrivateTempDirectory::setSystemTempPathForTesting(m_xdg.tree().makeFolder("tmp"));
    }
    void TearDown() override { PrivateTempDirectory::setSystemTempPathForTesting({}); }

    XdgEnvironment m_xdg;
};

TEST_F(WorkJournalTest, LeftoversOfADeadProcessGoAndWhatTheUserOwnsStays) {
    TempTree& tree = m_xdg.tree();
    const QString hidden = tree.writeFile("docs/.velmoraExtraction-" + kUuid + "/big.bin", "partial");
    const QString staging =
        tree.writeFile("tmp/velmora-" + QString::number(::getuid()) + "/velmoraCompression/x/f", "x");
    const QString emptyReserved = tree.writeFile("docs/report.zip", "");
    const QString finishedReserved = tree.writeFile("docs/done.zip", "archive bytes");
    const QString userFolder = tree.writeFile("docs/notes/keep.txt", "mine");
    const QString reservedFolder = tree.makeFolder("docs/big");
    const QString nestedHidden = tree.writeFile("docs/big/.velmoraExtraction-" + kUuid + "/part", "partial");
    const QString base = *PrivateTempDirectory::base();
    tree.writeFile("tmp/other program.txt", "not velmora's");
    inDyingChild([&] {
        auto record = WorkJournal::open();
        if (!record) ::_exit(1);
        record->add(QFileInfo(hidden).path(), WorkJournal::Kind::Tree);
        record->add(QFileInfo(staging).path(), WorkJournal::Kind::Tree);
        record->add(emptyReserved, WorkJournal::Kind::Placeholder);
        record->add(finishedReserved, WorkJournal::Kind::Placeholder);
        // A damaged record must not reach a folder of the user's.
        record->add(QFileInfo(userFolder).path(), WorkJournal::Kind::Tree);
        // Nor may one that climbs out of a work folder.
        for (const QString& climbing : {base + "/..", base + "/velmoraPreviews/A/../..",
                                        tree.path("docs/.velmoraExtraction-" + kUuid + "/..")})
            record->add(climbing, WorkJournal::Kind::Tree);
        // A folder reserved for an extraction.
        record->add(reservedFolder, WorkJournal::Kind::Placeholder);
        record.release();
    });
    // The private folder made inside it, recorded by another part of the run.
    inDyingChild([&] {
        auto record = WorkJournal::open();
        if (!record) ::_exit(1);
        record->add(QFileInfo(nestedHidden).path(), WorkJournal::Kind::Tree);
        record.release();
    });

    EXPECT_EQ(WorkJournal::removeLeftovers(kEveryFileWhole), 5);
    EXPECT_FALSE(QFileInfo::exists(reservedFolder));
    EXPECT_FALSE(QFileInfo::exists(QFileInfo(hidden).path()));
    EXPECT_FALSE(QFileInfo::exists(QFileInfo(staging).path()));
    EXPECT_FALSE(QFileInfo::exists(emptyReserved));
    EXPECT_EQ(tree.readFile("docs/done.zip"), "archive bytes");
    EXPECT_EQ(tree.readFile("docs/notes/keep.txt"), "mine");
    EXPECT_EQ(tree.readFile("tmp/other program.txt"), "not velmora's");
    EXPECT_TRUE(
        QDir(WorkJournal::directory()).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));
}

// A damaged record, or a placeholder's line without the identity of what velmora made, never reaches the
// user's own: an empty folder or file, one with another identity, or a non-edit folder beside no archive.
TEST_F(WorkJournalTest, ADamagedRecordRemovesAndMovesNothingOfTheUsers) {
    TempTree& tree = m_xdg.tree();
    const QString work = "home/.velmoraExtraction-" + kUuid;
    tree.writeFile(work + "/only.txt", "mine");
    tree.writeFile("home/empty.txt", "");
    tree.makeFolder("home/Pictures");
    struct stat other {};
    ASSERT_EQ(::lstat(QFile::encodeName(tree.makeFolder("home/Other")).constData(), &other), 0);
    const auto at = [&](const QString& path) {
        return QFile::encodeName(tree.path(path)).toPercentEncoding("/");
    };
    QDir().mkpath(WorkJournal::directory());
    tree.writeFile(QDir(tree.root()).relativeFilePath(WorkJournal::directory()) + '/' + kUuid + ".record",
                   "P " + at("home/Pictures") + "\nP " + at("home/empty.txt") + "\nP " +
                       QByteArray::number(quint64(other.st_dev)) + ' ' +
                       QByteArray::number(quint64(other.st_ino) + 1) + ' ' + at("home/Other") + "\nP 0 0 " +
                       at("home/empty.txt") + "\nE " + at(work) + ' ' + at("home/gone.zip") + "\nE " +
                       at("home") + ' ' + at("gone.zip") + '\n');

    EXPECT_EQ(WorkJournal::removeLeftovers(kEveryFileWhole), 0);
    for (const char* path : {"home/Pictures", "home/empty.txt", "home/Other"})
        EXPECT_TRUE(QFileInfo::exists(tree.path(path))) << path;
    EXPECT_EQ(tree.readFile(work + "/only.txt"), "mine");
    EXPECT_FALSE(QFileInfo::exists(tree.path("home/gone.zip")));
}

TEST_F(WorkJournalTest, WorkStillRunningKeepsItsPathsAndAFinishedRecordLeavesNothing) {
    const QString hidden = m_xdg.tree().makeFolder("docs/.velmoraExtraction-" + kUuid);
    {
        const mode_t umask = ::umask(0);
        auto record = WorkJournal::open();
        ::umask(umask);
        ASSERT_TRUE(record);
        // The journal's folders are the owner's alone, whatever the umask.
        EXPECT_EQ(fileMode(m_xdg.stateHome() + "/velmora"), 0700);
        EXPECT_EQ(fileMode(WorkJournal::directory()), 0700);
        record->add(hidden, WorkJournal::Kind::Tree);
        EXPECT_EQ(WorkJournal::removeLeftovers(kEveryFileWhole), 0);
        EXPECT_TRUE(QFileInfo::exists(hidden));
    }
    EXPECT_TRUE(
        QDir(WorkJournal::directory()).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));
    EXPECT_EQ(WorkJournal::removeLeftovers(kEveryFileWhole), 0);
    EXPECT_TRUE(QFileInfo::exists(hidden));
}

// Previews must stay while their velmora runs, and nothing of a run that ended may stay after the next
// start, whether it was killed or quit.
TEST_F(WorkJournalTest, TemporaryFoldersStayWithTheirProcessAndGoAtTheNextStart) {
    EXPECT_EQ(inDyingChild([] {
                  PrivateTempDirectory::recordFoldersInJournal();
                  const std::optional<QString> folder = PrivateTempDirectory::makeFolder("velmoraPreviews/A");
                  if (!folder || !QFile(*folder + "/a.txt").open(QIODevice::WriteOnly)) ::_exit(1);
                  WorkJournal::removeLeftovers(kEveryFileWhole);
                  ::_exit(QFileInfo::exists(*folder + "/a.txt") ? 0 : 2);
              }),
              0);
    const QString folder = *PrivateTempDirectory::base() + "/velmoraPreviews/A";
    EXPECT_TRUE(QFileInfo::exists(folder));
    EXPECT_EQ(WorkJournal::removeLeftovers(kEveryFileWhole), 1);
    EXPECT_FALSE(QFileInfo::exists(folder));

    // A clean exit takes its folders and its record with it.
    EXPECT_EQ(inDyingChild([] {
                  PrivateTempDirectory::recordFoldersInJournal();
                  const std::optional<QString> made = PrivateTempDirectory::makeFolder("velmoraPreviews/B");
                  PrivateTempDirectory::removeRecordedFolders();
                  ::_exit(made && !QFileInfo::exists(*made) ? 0 : 1);
              }),
              0);
    EXPECT_TRUE(
        QDir(WorkJournal::directory()).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));
}

// Items moved out of their tree, then killed: the moves were ended on a disk the extraction had filled,
// so the record must not grow there, or the next start would take the finished items back.
TEST_F(WorkJournalTest, MovesEndedOnAFullDiskStayOutAfterAKill) {
    QDir().mkpath(WorkJournal::directory());
    FullDisk journal(WorkJournal::directory());
    if (!journal.mounted()) GTEST_SKIP() << "needs a file system of its own (root)";
    // Long enough that the tree's line, the move's and the end's do not fit in one page together.
    const QString relative = QStringList(7, QString(200, 'd')).join('/');
    const QString name = QString(100, 'i');
    const QString item =
        m_xdg.tree().writeFile(relative + "/.velmoraExtraction-" + kUuid + '/' + name, "finished");
    const QString tree = QFileInfo(item).path();
    journal.fill(4096);
    inDyingChild([&] {
        auto record = WorkJournal::open();
        if (!record || record->add(tree, WorkJournal::Kind::Tree) != 0 ||
            record->addMovesOut({QFile::encodeName(item)}) != 0 ||
            !QFile::rename(item, m_xdg.tree().path(relative + '/' + name)))
            ::_exit(1);
        record->endMovesOut(QFile::encodeName(tree));
        record.release();
    });
    journal.free();
    WorkJournal::removeLeftovers(kEveryFileWhole);
    EXPECT_FALSE(QFileInfo::exists(tree));
    EXPECT_EQ(m_xdg.tree().readFile(relative + '/' + name), "finished");
}

// Read-only leftovers go; a tree that cannot (a mount inside) keeps its record, so a later start removes it.
TEST_F(WorkJournalTest, ReadOnlyLeftoversGoAndATreeThatStaysKeepsItsRecord) {
    const QString tree = m_xdg.tree().makeFolder(".velmoraExtraction-" + kUuid);
    const auto leaveTree = [&] {
        auto record = WorkJournal::open();
        if (!record || record->add(tree, WorkJournal::Kind::Tree) != 0) ::_exit(1);
        record.release();
    };
    const auto records = [] { return QDir(WorkJournal::directory()).entryList({"*.record"}, QDir::Files); };
    m_xdg.tree().writeFile(".velmoraExtraction-" + kUuid + "/lib/sub/a.txt", "module");
    ::chmod(QFile::encodeName(tree + "/lib/sub").constData(), 0555);
    ::chmod(QFile::encodeName(tree + "/lib").constData(), 0);
    inDyingChild(leaveTree);
    EXPECT_EQ(WorkJournal::removeLeftovers(kEveryFileWhole), 1);
    EXPECT_FALSE(QFileInfo::exists(tree));
    EXPECT_TRUE(records().isEmpty());

    // A file system of its own, and a bind mount of a read-only folder of the user's on the same one,
    // whose contents and mode the removal must not touch.
    const QByteArray users = QFile::encodeName(m_xdg.tree().makeFolder("mine"));
    m_xdg.tree().writeFile("mine/keep.txt", "mine");
    for (const bool bind : {false, true}) {
        SCOPED_TRACE(bind ? "bind mount" : "tmpfs");
        const QByteArray point =
            QFile::encodeName(m_xdg.tree().makeFolder(".velmoraExtraction-" + kUuid + "/m/n"));
        std::optional<FullDisk> tmpfs;
        if (bind && ::mount(users.constData(), point.constData(), nullptr, MS_BIND, nullptr) != 0)
            GTEST_SKIP() << "needs mounts (root)";
        if (!bind && !tmpfs.emplace(QFile::decodeName(point)).mounted())
            GTEST_SKIP() << "needs mounts (root)";
        ::chmod(users.constData(), 0555);
        ::chmod(QFile::encodeName(tree + "/m").constData(), 0);
        inDyingChild(leaveTree);
        WorkJournal::removeLeftovers(kEveryFileWhole);
        EXPECT_TRUE(QFileInfo::exists(tree));
        EXPECT_EQ(records().size(), 1);
        if (bind) ::umount2(point.constData(), MNT_DETACH);
        tmpfs.reset();
        EXPECT_EQ(WorkJournal::removeLeftovers(kEveryFileWhole), 1);
        EXPECT_FALSE(QFileInfo::exists(tree));
        EXPECT_TRUE(records().isEmpty());
    }
    EXPECT_EQ(m_xdg.tree().readFile("mine/keep.txt"), "mine");
    EXPECT_EQ(fileMode(QFile::decodeName(users)), 0555);
}

}  // namespace
