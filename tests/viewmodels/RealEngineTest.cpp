#include "core/engine/ArchiveService.h"
#include "core/engine/CompressionService.h"
#include "support/TempTree.h"
#include "viewmodels/ArchiveServiceWorkbenchEngine.h"
#include "viewmodels/WorkbenchFixture.h"

#include <QDir>
#include <QMap>

namespace {

// The main window's operations with the archive service and the installed tools doing the work.
class RealEngineTest : public WorkbenchFixture {
protected:
    WorkbenchEngine& modelEngine() override { return realEngine; }

    void SetUp() override {
        files.writeFile("sources/docs/readme.txt", QByteArray("hello, 世界\n").repeated(200));
        files.writeFile("sources/docs/deep/data.bin", randomBytes(300000, 1));
        files.writeFile("sources/pics/photo.jpg", randomBytes(70000, 2));
        files.writeFile("sources/pics/空 folder/note.md", "# note\n");
        sources = {files.path("sources/docs"), files.path("sources/pics")};
        original = contentsBelow(files.path("sources"));
    }

    // Compresses both folders into one archive of the format, then extracts it into out.
    QString roundTrip(CompressionFormat format) {
        storeSettings([](AppSettings& settings) { settings.compressToSeparateFolder = false; });
        compress().setSelectedCompressionFormat(format);
        compress().selectFilesForCompression(sources);
        compress().compress(false);
        EXPECT_TRUE(waitUntilIdle());
        EXPECT_EQ(workbench.tasks().first().status, ArchiveActivityStatus::completed);
        const QString archive = workbench.tasks().first().message;

        context().setDestinationURL(files.makeFolder("out"));
        extract().selectArchivesForExtraction({archive});
        extract().extract();
        EXPECT_TRUE(waitUntilIdle());
        EXPECT_EQ(workbench.tasks().first().status, ArchiveActivityStatus::completed);
        return workbench.tasks().first().message;
    }

    ArchiveService service{ArchiveService::standardExtractors(), std::make_shared<CompressionService>()};
    ArchiveServiceWorkbenchEngine realEngine{service};
    QStringList sources;
    QMap<QString, QByteArray> original;
};

TEST_F(RealEngineTest, zipRoundTripIsByteEqual) {
    const QString output = roundTrip(CompressionFormat::zip);
    EXPECT_EQ(output, files.path("out/Archive"));
    EXPECT_EQ(contentsBelow(output), original);
}

TEST_F(RealEngineTest, sevenZipRoundTripIsByteEqual) {
    const QString output = roundTrip(CompressionFormat::sevenZip);
    EXPECT_EQ(contentsBelow(output), original);
}

// The extract page into a folder that already holds one of the archive's folders: the user's folder
// is left alone, the archive's goes in beside it, and the status says so.
TEST_F(RealEngineTest, extractionBesideTheUsersFolderSaysItRenamed) {
    const QString archive = files.path("docs.7z");
    runTool("/usr/bin/7zz", {"a", "-bd", archive, files.path("sources/docs")});
    files.writeFile("out/docs/readme.txt", "mine");
    storeSettings([](AppSettings& settings) { settings.extractToSeparateFolder = false; });
    context().setDestinationURL(files.path("out"));
    extract().selectArchivesForExtraction({archive});
    extract().extract();
    ASSERT_TRUE(waitUntilIdle());
    EXPECT_EQ(status(),
              QStringLiteral(u"解压完成：") + files.path("out") + QStringLiteral(u"，1 项因重名已改名"));
    EXPECT_EQ(files.readFile("out/docs/readme.txt"), "mine");
    EXPECT_EQ(files.readFile("out/docs 1/readme.txt"), QByteArray("hello, 世界\n").repeated(200));
}

TEST_F(RealEngineTest, splitSevenZipRoundTripIsByteEqual) {
    splitCompress().addSplitCompressionItems(sources);
    settle();
    splitCompress().setSplitCompressionOutputDirectoryURL(files.makeFolder("volumes"));
    splitCompress().setSplitCompressionVolumeValue("100");
    splitCompress().setSplitCompressionVolumeUnit(SplitCompressionUnit::kb);
    splitCompress().setSplitCompressionOpenAfterCompletion(false);
    splitCompress().startSplitCompression();
    ASSERT_TRUE(waitUntilIdle());
    ASSERT_EQ(workbench.tasks().first().status, ArchiveActivityStatus::completed);
    const ArchiveTaskMetadata metadata = workbench.tasks().first().metadata.value();
    ASSERT_GE(metadata.outputFilePaths.value().size(), 3);
    EXPECT_EQ(metadata.validationStatus, QStringLiteral(u"校验通过"));

    context().setDestinationURL(files.makeFolder("out"));
    splitExtract().selectSplitArchiveForExtraction(metadata.outputFilePaths->last());
    settle();
    ASSERT_EQ(splitExtract().splitArchiveState(), SplitArchivePageState::recognized());
    splitExtract().extractSelectedSplitArchive(false, false);
    ASSERT_TRUE(waitUntilIdle());
    ASSERT_EQ(workbench.tasks().first().status, ArchiveActivityStatus::completed);
    EXPECT_EQ(contentsBelow(workbench.tasks().first().message), original);
}

}  // namespace
