#include "EngineFixtures.h"

#include "core/engine/ArchiveError.h"
#include "core/engine/CompressionStaging.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace {

using Contents = QMap<QString, QByteArray>;
using CompressionStaging::prepareCompressionWorkspace;

class CompressionStagingTest : public CompressionTest {
protected:
    // Staged entry names in order.
    static QStringList namesOf(const CompressionWorkspace& workspace) {
        QStringList names;
        for (const QString& file : workspace.files) names << QFileInfo(file).fileName();
        return names;
    }
};

TEST_F(CompressionStagingTest, ItemsOfOneFolderAreUsedInPlaceFoldersIncluded) {
    const QStringList inputs{tree.writeFile("in/b.txt", "b"), tree.writeFile("in/a.txt", "a"),
                             tree.writeFile("in/Docs/c.txt", "c")};
    const QStringList folderInput{inputs[0], inputs[1], tree.path("in/Docs")};
    for (bool excludeHiddenFiles : {false, true}) {
        const CompressionWorkspace inPlace = prepareCompressionWorkspace(folderInput, excludeHiddenFiles, {});
        EXPECT_FALSE(inPlace.stagingRootURL);
        EXPECT_EQ(inPlace.files, folderInput);
    }
    EXPECT_TRUE(stagingFolders().isEmpty());
}

TEST_F(CompressionStagingTest, ASecondParentOrADestinationInsideAFolderForcesStaging) {
    const QString docs = tree.makeFolder("in/Docs");
    const struct {
        QStringList inputs;
        QString destination;
    } cases[] = {
        {{tree.writeFile("x/a.txt", "a"), tree.writeFile("y/b.txt", "b")}, tree.path("out")},
        {{docs}, docs},
        {{docs}, tree.makeFolder("in/Docs/archives")},
    };
    for (const auto& c : cases) {
        const CompressionWorkspace workspace =
            prepareCompressionWorkspace(c.inputs, false, {}, c.destination);
        EXPECT_TRUE(workspace.stagingRootURL) << c.destination.toStdString();
        EXPECT_EQ(stagingFolders().size(), 1);
        workspace.removeStagingRoot();
    }
    EXPECT_FALSE(prepareCompressionWorkspace({docs}, false, {}, tree.path("in")).stagingRootURL);
    EXPECT_FALSE(prepareCompressionWorkspace({docs}, false, {}, tree.path("in/Docs 2")).stagingRootURL);
}

// 7-Zip opens a pipe inside a folder and waits on it for good, so such a folder is staged, without it.
TEST_F(CompressionStagingTest, AFolderHoldingAPipeIsStagedWithoutIt) {
    tree.writeFile("in/Docs/sub/c.txt", "c");
    ASSERT_EQ(::mkfifo(QFile::encodeName(tree.path("in/Docs/sub/live")).constData(), 0600), 0);
    const CompressionWorkspace workspace = prepareCompressionWorkspace({tree.path("in/Docs")}, false, {});
    EXPECT_EQ(QDir(workspace.files.first() + "/sub")
                  .entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot),
              QStringList{"c.txt"});
}

TEST_F(CompressionStagingTest, HiddenTopLevelInputsAreSkippedOnlyWhenExcluding) {
    const QStringList inputs{tree.writeFile("in/.env", "secret"), tree.makeFolder("in/__MACOSX"),
                             tree.writeFile("in/Docs/.hidden", "h"), tree.writeFile("in/a.txt", "a")};
    const QStringList selected{inputs[0], inputs[1], tree.path("in/Docs"), inputs[3]};

    const QString other = tree.writeFile("other/b.txt", "b");

    const CompressionWorkspace kept = prepareCompressionWorkspace(selected + QStringList{other}, false, {});
    EXPECT_EQ(namesOf(kept), (QStringList{".env", "__MACOSX", "Docs", "a.txt", "b.txt"}));
    EXPECT_TRUE(QFile::exists(*kept.stagingRootURL + "/Docs/.hidden"));
    kept.removeStagingRoot();

    const CompressionWorkspace dropped = prepareCompressionWorkspace(selected + QStringList{other}, true, {});
    EXPECT_EQ(namesOf(dropped), (QStringList{"Docs", "a.txt", "b.txt"}));
    EXPECT_FALSE(QFile::exists(*dropped.stagingRootURL + "/Docs/.hidden"));
    dropped.removeStagingRoot();

    // In place, the tools' exclusions leave out what lies inside folders.
    EXPECT_EQ(prepareCompressionWorkspace(selected, true, {}).files, (QStringList{selected[2], selected[3]}));
}

TEST_F(CompressionStagingTest, EqualNamesFromDifferentFoldersAreNumbered) {
    const QStringList inputs{tree.writeFile("a/notes.txt", "1"),
                             tree.writeFile("b/notes.txt", "2"),
                             tree.writeFile("c/notes.txt", "3"),
                             tree.writeFile("a/archive.tar.gz", "4"),
                             tree.writeFile("b/archive.tar.gz", "5"),
                             tree.writeFile("a/README", "6"),
                             tree.writeFile("b/README", "7"),
                             tree.makeFolder("a/Docs"),
                             tree.makeFolder("b/Docs")};
    const CompressionWorkspace workspace = prepareCompressionWorkspace(inputs, false, {});
    EXPECT_EQ(namesOf(workspace), (QStringList{"notes.txt", "notes 1.txt", "notes 2.txt", "archive.tar.gz",
                                               "archive.tar 1.gz", "README", "README 1", "Docs", "Docs 1"}));
    QFile second(workspace.files[1]);
    ASSERT_TRUE(second.open(QIODevice::ReadOnly));
    EXPECT_EQ(second.readAll(), "2");
    workspace.removeStagingRoot();
}

TEST_F(CompressionStagingTest, FolderCopiesKeepTheTreeModesTimesAndLinks) {
    tree.writeFile("in/Docs/sub/deep/a.txt", "deep");
    tree.makeFolder("in/Docs/empty");
    const QString script = tree.writeFile("in/Docs/run.sh", "#!/bin/sh\n");
    ::chmod(QFile::encodeName(script).constData(), 0751);
    const struct timespec times[2] = {{1000000000, 0}, {1000000000, 0}};
    ::utimensat(AT_FDCWD, QFile::encodeName(script).constData(), times, 0);
    QFile::link("sub/deep/a.txt", tree.path("in/Docs/link"));

    const CompressionWorkspace workspace =
        prepareCompressionWorkspace({tree.path("in/Docs"), tree.writeFile("other/x", "x")}, true, {});
    const QString copy = workspace.files.first();
    EXPECT_EQ(treeContents(copy), treeContents(tree.path("in/Docs")));
    EXPECT_EQ(fileMode(copy + "/run.sh"), 0751);
    EXPECT_EQ(QFileInfo(copy + "/run.sh").lastModified().toSecsSinceEpoch(), 1000000000);
    char target[64] = {};
    EXPECT_GT(::readlink(QFile::encodeName(copy + "/link").constData(), target, sizeof target - 1), 0);
    EXPECT_STREQ(target, "sub/deep/a.txt");
    workspace.removeStagingRoot();
}

TEST_F(CompressionStagingTest, ExcludedEntriesAndEverythingUnderThemStayOut) {
    tree.writeFile("in/Docs/keep.txt", "k");
    tree.writeFile("in/Docs/.git/objects/x", "x");
    tree.writeFile("in/Docs/sub/._keep.txt", "fork");
    tree.writeFile("in/Docs/sub/__MACOSX/y", "y");
    tree.writeFile("in/Docs/sub/ok", "ok");
    const CompressionWorkspace workspace =
        prepareCompressionWorkspace({tree.path("in/Docs"), tree.writeFile("other/x", "x")}, true, {});
    EXPECT_EQ(treeContents(workspace.files.first()),
              (Contents{{"keep.txt", "k"}, {"sub/", {}}, {"sub/ok", "ok"}}));
    workspace.removeStagingRoot();
}

TEST_F(CompressionStagingTest, StagedFilesAreLinksToTheOriginalsWhichKeepTheirAttributes) {
    const QString file = tree.writeFile("in/Docs/a.txt", "a");
    const bool attributes = ::setxattr(QFile::encodeName(file).constData(), "user.velmora", "1", 1, 0) == 0;
    const CompressionWorkspace workspace =
        prepareCompressionWorkspace({tree.path("in/Docs"), tree.writeFile("other/x", "x")}, false, {});
    struct stat original {
    }, staged{};
    ::stat(QFile::encodeName(file).constData(), &original);
    ::stat(QFile::encodeName(workspace.files.first() + "/a.txt").constData(), &staged);
    EXPECT_EQ(staged.st_ino, original.st_ino);
    workspace.removeStagingRoot();
    char value[8];
    if (attributes) {
        EXPECT_GT(::getxattr(QFile::encodeName(file).constData(), "user.velmora", value, sizeof value), 0);
    }
    EXPECT_EQ(tree.readFile("in/Docs/a.txt"), "a");
}

TEST_F(CompressionStagingTest, NothingLeftAfterSkippingIsNoInputAndLeavesNoStaging) {
    const QStringList cases[] = {
        {tree.makeFolder("a/__MACOSX"), tree.writeFile("b/.DS_Store", "x")},
        {},
    };
    for (const QStringList& inputs : cases) {
        EXPECT_EQ(thrownArchiveError([&] { prepareCompressionWorkspace(inputs, true, {}); }),
                  ArchiveError::noInputFiles());
        EXPECT_TRUE(stagingFolders().isEmpty());
    }
    const CompressionWorkspace empty = prepareCompressionWorkspace({}, false, {});
    EXPECT_FALSE(empty.stagingRootURL);
    EXPECT_TRUE(empty.files.isEmpty());
}

TEST_F(CompressionStagingTest, AnUnreadableFolderIsAPermissionProblemNotAnEmptyFolder) {
    if (::getuid() == 0) GTEST_SKIP() << "root reads every folder";
    tree.writeFile("in/Docs/locked/secret.txt", "s");
    tree.writeFile("in/Docs/open.txt", "o");
    const QByteArray locked = QFile::encodeName(tree.path("in/Docs/locked"));
    ::chmod(locked.constData(), 0);
    const QString other = tree.writeFile("other/x", "x");
    for (const QString& input : {tree.path("in/Docs"), tree.path("in/Docs/locked")}) {
        EXPECT_EQ(thrownArchiveError([&] {
                      prepareCompressionWorkspace({input, other}, false, {});
                  }),
                  ArchiveError::permissionDenied(tree.path("in/Docs/locked"), SystemErrorText::Access::read));
        EXPECT_TRUE(stagingFolders().isEmpty());
    }
    ::chmod(locked.constData(), 0700);
}

TEST_F(CompressionStagingTest, StagingLivesInThePrivateBase) {
    const CompressionWorkspace workspace =
        prepareCompressionWorkspace({tree.makeFolder("in/Docs"), tree.writeFile("other/x", "x")}, false, {});
    const QString root = *workspace.stagingRootURL;
    EXPECT_EQ(fileMode(QFileInfo(root).path()), 0700);
    EXPECT_EQ(fileMode(root), 0700);
    EXPECT_EQ(QFileInfo(root).fileName(), QFileInfo(root).fileName().toUpper());
    workspace.removeStagingRoot();
}

TEST(CompressionStagingRules, ParentsAndFolders) {
    TempTree tree;
    const QString folder = tree.makeFolder("d");
    const QString file = tree.writeFile("f", "");
    QFile::link(folder, tree.path("link"));
    EXPECT_TRUE(CompressionStaging::isDirectory(folder));
    EXPECT_FALSE(CompressionStaging::isDirectory(file));
    EXPECT_FALSE(CompressionStaging::isDirectory(tree.path("link")));
    EXPECT_FALSE(CompressionStaging::isDirectory(tree.path("missing")));
    EXPECT_FALSE(CompressionStaging::containsDirectory({}));
    EXPECT_TRUE(CompressionStaging::containsDirectory({file, folder}));
    EXPECT_TRUE(CompressionStaging::allFilesShareSameParent({}));
    EXPECT_TRUE(CompressionStaging::allFilesShareSameParent({"/a/b/x", "/a/b/./y", "/a/c/../b/z"}));
    EXPECT_FALSE(CompressionStaging::allFilesShareSameParent({"/a/b/x", "/a/x"}));
    EXPECT_EQ(CompressionStaging::commonParent({"/a/b/x", "/c/y"}), "/a/b");
    EXPECT_EQ(CompressionStaging::commonParent({}), QDir::homePath());
}

}  // namespace
