#include "EngineFixtures.h"

#include "core/content/EditWorkFolder.h"
#include "core/engine/CompressionService.h"
#include "core/engine/CompressionTarget.h"
#include "core/split/SplitCompressionError.h"
#include "platform/WorkJournal.h"

#include <gtest/gtest.h>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>

#include <barrier>
#include <cerrno>
#include <csignal>
#include <thread>

#include <sys/wait.h>
#include <unistd.h>

namespace {

class CompressionTargetTest : public CompressionTest {
protected:
    // Entries of a folder, hidden ones included.
    QStringList entriesOf(const QString& folder) const {
        return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                                      QDir::Name);
    }

    CompressionService service;
};

// Also where the file system lacks RENAME_NOREPLACE.
TEST_F(CompressionTargetTest, TakenNamesAreSkippedWhateverTakesThem) {
    for (const QString out : {"out", "fuse"}) {
        std::optional<WithoutRenameNoReplace> fuse;
        if (out == "fuse") fuse.emplace();
        tree.writeFile(out + "/report.zip", "older");
        tree.makeFolder(out + "/report 1.zip");
        QFile::link(tree.path("missing"), tree.path(out + "/report 2.zip"));
        const QStringList inputs{tree.writeFile("in/report.txt", "text")};
        const QString archive =
            service.compress(inputs, tree.path(out + "/report.zip"), CompressionFormat::zip,
                             CompressionLevel::fastest, std::nullopt, 1, false, {}, {});
        EXPECT_EQ(archive, tree.path(out + "/report 3.zip"));
        EXPECT_EQ(tree.readFile(out + "/report.zip"), "older");
        EXPECT_EQ(extractedContents(archive), (QMap<QString, QByteArray>{{"report.txt", "text"}}));
        EXPECT_EQ(entriesOf(tree.path(out)),
                  (QStringList{"report 1.zip", "report 2.zip", "report 3.zip", "report.zip"}));
    }
}

TEST(CompressionTargetNames, NumbersGoBeforeTheFormatsExtension) {
    const struct {
        const char* name;
        const char* extension;
        const char* numbered;
    } cases[] = {
        {"report.zip", "zip", "report 2.zip"}, {"backup.tar.gz", "tar.gz", "backup 2.tar.gz"},
        {"Data.ZIP", "zip", "Data 2.ZIP"},     {"notes.txt", "zip", "notes 2.txt"},
        {"README", "zip", "README 2"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CompressionTarget::numberedName(c.name, c.extension, 2), QString(c.numbered)) << c.name;
}

// A name taken while the tool ran: a plain archive takes the next free one, a set fails and takes
// back its other volumes; the user's (empty) files stay as they were.
TEST_F(CompressionTargetTest, ANameTakenWhileTheToolRanIsNeverReplaced) {
    using enum CompressionTarget::WhenTaken;
    for (const auto& [whenTaken, fuseLike] :
         {std::pair{nextFreeName, false}, {fail, false}, {nextFreeName, true}, {fail, true}}) {
        std::optional<WithoutRenameNoReplace> fuse;
        if (fuseLike) fuse.emplace();
        const QString folder =
            tree.makeFolder(QString(whenTaken == fail ? "set" : "plain") + (fuseLike ? " fuse" : ""));
        auto journal = WorkJournal::open();
        CompressionTarget target(folder + "/report.zip", "zip", whenTaken, journal.get());
        QStringList written{target.workURL("report.zip")};
        if (whenTaken == fail) written.prepend(target.workURL("report.z01"));
        for (const QString& path : written) tree.writeFile(path.mid(tree.root().size() + 1), "archive");
        for (const char* name : {"report.zip", "report 1.zip"})
            QFile(folder + '/' + name).open(QIODevice::WriteOnly);
        if (whenTaken == fail)
            EXPECT_THROW(target.commit(written, {}), SplitCompressionError);
        else
            EXPECT_EQ(target.commit(written, {}), QStringList{folder + "/report 2.zip"});
        EXPECT_EQ(QFileInfo(folder + "/report.zip").size(), 0);
        EXPECT_EQ(entriesOf(folder).filter(QRegularExpression("^report")).size(), whenTaken == fail ? 2 : 3);
    }
}

TEST_F(CompressionTargetTest, AFailedRunLeavesNeitherPlaceholderNorWorkFolder) {
    const QStringList inputs{tree.writeFile("in/a.txt", "a")};
    EXPECT_TRUE(thrownArchiveError([&] {
        service.compress(inputs, tree.path("out/a.rar"), CompressionFormat::rar, CompressionLevel::standard,
                         std::nullopt, 1, false, {}, {});
    }));
    EXPECT_TRUE(entriesOf(tree.path("out")).isEmpty());
}

// Where the file system lacks RENAME_NOREPLACE and the last rename fails, the name taken for it is free
// again, and the archive is called a file.
TEST_F(CompressionTargetTest, AFailedMoveOutLeavesNoPlaceholder) {
    const WithoutRenameNoReplace fuse(EIO);
    const QStringList inputs{tree.writeFile("in/data.txt", "text")};
    const QString out = tree.makeFolder("out");
    EXPECT_EQ(thrownMessage([&] {
                  service.compress(inputs, out + "/data.zip", CompressionFormat::zip,
                                   CompressionLevel::fastest, std::nullopt, 1, false, {}, {});
              }),
              QStringLiteral(u"无法保存文件：") + out + QStringLiteral(u"/data.zip（磁盘读写错误）"));
    EXPECT_TRUE(entriesOf(out).isEmpty());
}

TEST_F(CompressionTargetTest, AVolumeNameTakenAtTheEndFailsTheSetAndKeepsTheUsersFile) {
    tree.writeFile("out/Set.7z.002", "the user's");
    {
        auto journal = WorkJournal::open();
        CompressionTarget target(tree.path("out/Set.7z.001"), "7z", CompressionTarget::WhenTaken::fail,
                                 journal.get());
        QFile(target.workURL("Set.7z.001")).open(QIODevice::WriteOnly);
        QFile(target.workURL("Set.7z.002")).open(QIODevice::WriteOnly);
        try {
            target.commit({target.workURL("Set.7z.001"), target.workURL("Set.7z.002")}, {});
            ADD_FAILURE() << "committed over a taken name";
        } catch (const SplitCompressionError& error) {
            EXPECT_EQ(error, SplitCompressionError::existingOutput("Set.7z.002"));
        }
        EXPECT_THROW(CompressionTarget(tree.path("out/Set.7z.002"), "7z", CompressionTarget::WhenTaken::fail,
                                       journal.get()),
                     SplitCompressionError);
    }
    EXPECT_EQ(entriesOf(tree.path("out")), QStringList{"Set.7z.002"});
    EXPECT_EQ(tree.readFile("out/Set.7z.002"), "the user's");
}

TEST_F(CompressionTargetTest, TwoRunsStartedTogetherNeverShareAName) {
    const QStringList inputs{tree.writeFile("in/report.txt", "text"), tree.writeFile("in/report.csv", "a,b")};
    QString archives[2];
    std::barrier start(2);
    const auto run = [&](int index) {
        start.arrive_and_wait();
        archives[index] =
            service.compress({inputs[index]}, tree.path("in/report.zip"), CompressionFormat::zip,
                             CompressionLevel::standard, std::nullopt, 1, false, {}, {});
    };
    std::thread first(run, 0);
    std::thread second(run, 1);
    first.join();
    second.join();

    EXPECT_EQ(QSet<QString>({archives[0], archives[1]}),
              QSet<QString>({tree.path("in/report.zip"), tree.path("in/report 1.zip")}));
    EXPECT_EQ(extractedContents(archives[0]), (QMap<QString, QByteArray>{{"report.txt", "text"}}));
    EXPECT_EQ(extractedContents(archives[1]), (QMap<QString, QByteArray>{{"report.csv", "a,b"}}));
}

// A tool started by the run, as its children show it.
std::optional<pid_t> childOf(pid_t parent) {
    QFile children(QStringLiteral("/proc/%1/task/%1/children").arg(parent));
    if (!children.open(QIODevice::ReadOnly)) return std::nullopt;
    const QByteArray first = children.readAll().trimmed().split(' ').first();
    bool ok = false;
    const pid_t pid = first.toInt(&ok);
    return ok ? std::optional<pid_t>(pid) : std::nullopt;
}

TEST_F(CompressionTargetTest, AKilledRunLeavesNoArchiveUnderItsNameAndTheNextStartClearsUp) {
    // Two folders, so the inputs are staged too, and enough noise that the tool is caught half way.
    QByteArray noise(48 << 20, Qt::Uninitialized);
    QRandomGenerator(7).fillRange(reinterpret_cast<quint32*>(noise.data()), noise.size() / 4);
    const QStringList inputs{tree.writeFile("a/rand.bin", noise), tree.writeFile("b/small.txt", "s")};
    const QString destination = tree.path("out/rand.zip");
    QDir().mkpath(tree.path("out"));

    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        CompressionService().compress(inputs, destination, CompressionFormat::zip, CompressionLevel::maximum,
                                      std::nullopt, 1, false, {}, {});
        ::_exit(0);
    }
    // Half way: the tool has written part of the archive into the hidden work folder.
    const QDeadlineTimer deadline(60000);
    QString partial;
    while (partial.isEmpty() && !deadline.hasExpired()) {
        for (const QString& entry : entriesOf(tree.path("out"))) {
            const QString candidate = tree.path("out/" + entry + "/rand.zip");
            if (entry.startsWith(".velmora") && QFileInfo(candidate).size() > 0) partial = candidate;
        }
        std::this_thread::yield();
    }
    ASSERT_FALSE(partial.isEmpty()) << "the tool never started writing";
    const std::optional<pid_t> tool = childOf(child);
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    if (tool) ::kill(-*tool, SIGKILL);

    // Nothing under its final name, not even an empty file.
    EXPECT_FALSE(QFileInfo::exists(destination));
    EXPECT_FALSE(stagingFolders().isEmpty());
    EXPECT_GE(WorkJournal::removeLeftovers(EditWorkFolder::holdsWholeArchive), 2);
    EXPECT_TRUE(entriesOf(tree.path("out")).isEmpty());
    EXPECT_TRUE(stagingFolders().isEmpty());

    EXPECT_EQ(service.compress({inputs[1]}, destination, CompressionFormat::zip, CompressionLevel::fastest,
                               std::nullopt, 1, false, {}, {}),
              destination);
}

}  // namespace
