#include "support/TempTree.h"
#include "viewmodels/CompressionEstimateHelper.h"
#include "viewmodels/SelectionSizes.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QSignalSpy>
#include <QTest>
#include <memory>

#include <fcntl.h>
#include <sys/stat.h>

namespace {

class SelectionSizesTest : public ::testing::Test {
protected:
    // Lets the worker finish and its delivery arrive.
    void settle() {
        workers.waitForDone();
        QCoreApplication::sendPostedEvents();
    }

    TempTree files;
    QThreadPool workers;
    SelectionSizes sizes{&workers};
};

TEST_F(SelectionSizesTest, NothingSelectedIsKnownAtOnce) {
    EXPECT_EQ(sizes.total(), 0);
    sizes.setEstimateParameters(CompressionFormat::zip, CompressionLevel::standard);
    EXPECT_EQ(sizes.estimate(), 0);
}

TEST_F(SelectionSizesTest, SizesArriveFromTheWorkerAndAreKeptForTheNextSelection) {
    const QString folder = files.makeFolder("docs");
    files.writeFile("docs/a.bin", QByteArray(1000, 'a'));
    files.writeFile("docs/.hidden", QByteArray(500, 'h'));
    const QString file = files.writeFile("b.txt", QByteArray(300, 'b'));
    sizes.setEstimateParameters(CompressionFormat::zip, CompressionLevel::standard);

    sizes.setPaths({folder, file});
    EXPECT_FALSE(sizes.size(folder).has_value());
    EXPECT_FALSE(sizes.total().has_value());
    EXPECT_FALSE(sizes.estimate().has_value());
    settle();
    EXPECT_EQ(sizes.size(folder), 1000);
    EXPECT_EQ(sizes.total(), 1300);
    EXPECT_EQ(sizes.estimate(), CompressionEstimateHelper::estimatedSize(
                                    {folder, file}, CompressionFormat::zip, CompressionLevel::standard));

    // A path of the old selection shows its last size while the new walk runs.
    const QString other = files.writeFile("c.txt", QByteArray(10, 'c'));
    sizes.setPaths({file, other});
    EXPECT_EQ(sizes.size(file), 300);
    EXPECT_FALSE(sizes.total().has_value());
    settle();
    EXPECT_EQ(sizes.total(), 310);
}

TEST_F(SelectionSizesTest, AResultForAnOlderSelectionIsDropped) {
    const QString big = files.writeFile("big.bin", QByteArray(4000, 'x'));
    const QString small = files.writeFile("small.bin", QByteArray(40, 'y'));
    QSignalSpy changed(&sizes, &SelectionSizes::changed);
    sizes.setPaths({big});
    sizes.setPaths({small});
    workers.waitForDone();
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(sizes.total(), 40);
    EXPECT_FALSE(sizes.size(big).has_value());

    // The same selection again starts no work.
    changed.clear();
    sizes.setPaths({small});
    EXPECT_TRUE(changed.isEmpty());
}

TEST_F(SelectionSizesTest, ChangingTheFormatRedoesOnlyTheEstimate) {
    const QString text = files.writeFile("notes.txt", QByteArray(100'000, 'n'));
    sizes.setPaths({text});
    sizes.setEstimateParameters(CompressionFormat::zip, CompressionLevel::fastest);
    settle();
    const auto fastest = sizes.estimate();
    sizes.setEstimateParameters(CompressionFormat::sevenZip, CompressionLevel::maximum);
    EXPECT_FALSE(sizes.estimate().has_value());
    EXPECT_EQ(sizes.total(), 100'000);
    settle();
    EXPECT_EQ(sizes.estimate(), CompressionEstimateHelper::estimatedSize({text}, CompressionFormat::sevenZip,
                                                                         CompressionLevel::maximum));
    EXPECT_NE(sizes.estimate(), fastest);
}

// A walk reads each folder; reading one moves its access time off the old one set here. Ending the
// sizes, or choosing again, cancels a walk under way, so it reads fewer folders than the tree holds.
TEST_F(SelectionSizesTest, EndingOrChoosingAgainCancelsTheWalkUnderWay) {
    constexpr int folderCount = 1000;
    for (int i = 0; i < folderCount; ++i) files.writeFile(QStringLiteral("tree/%1/f").arg(i), "x");
    const auto folder = [&](int i) {
        return QFile::encodeName(files.path(QStringLiteral("tree/%1").arg(i)));
    };
    const auto markUnread = [&] {
        const timespec times[] = {{1, 0}, {0, UTIME_OMIT}};
        for (int i = 0; i < folderCount; ++i) ::utimensat(AT_FDCWD, folder(i).constData(), times, 0);
    };
    const auto readFolders = [&] {
        int read = 0;
        for (int i = 0; i < folderCount; ++i) {
            struct stat info {};
            ::stat(folder(i).constData(), &info);
            if (info.st_atim.tv_sec != 1) ++read;
        }
        return read;
    };
    markUnread();
    QDir(files.path("tree/0")).entryList();
    if (readFolders() == 0) GTEST_SKIP() << "reading a folder keeps its access time on this file system";

    markUnread();
    const QString small = files.writeFile("small.bin", QByteArray(40, 'y'));
    sizes.setEstimateParameters(CompressionFormat::zip, CompressionLevel::standard);
    sizes.setPaths({files.path("tree")});
    sizes.setPaths({small});
    settle();
    EXPECT_LT(readFolders(), folderCount);
    EXPECT_EQ(sizes.total(), 40);

    markUnread();
    auto ending = std::make_unique<SelectionSizes>(&workers);
    ending->setEstimateParameters(CompressionFormat::zip, CompressionLevel::standard);
    ending->setPaths({files.path("tree")});
    ending.reset();
    EXPECT_LT(readFolders(), folderCount);
}

}  // namespace
