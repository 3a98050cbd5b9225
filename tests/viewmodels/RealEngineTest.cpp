#include "core/engine/ArchiveService.h"
#include "core/engine/CompressionService.h"
#include "support/TempTree.h"
#include "support/XdgEnvironment.h"
#include "viewmodels/ArchiveServiceWorkbenchEngine.h"
#include "viewmodels/WorkbenchFixture.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
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

// A broken archive before a good one fails only its own record, also when a typed password has the
// first archive probed.
TEST_F(RealEngineTest, aBrokenArchiveFailsOnlyItsOwnRecord) {
    const QString good = files.path("示例.zip");
    runTool("/usr/bin/zip", {"-q", "-r", good, "docs"}, files.path("sources"));
    runTool("/usr/bin/7zz",
            {"a", "-bd", "-mx=0", "-v100k", files.path("缺卷.7z"), files.path("sources/docs")});
    ASSERT_TRUE(QFile::remove(files.path("缺卷.7z.002")));
    const struct {
        QString broken;
        QString password;
        QString reason;
        QString banner;
    } cases[] = {
        {files.writeFile("损坏.zip", "not a zip at all"), "",
         QStringLiteral(u"损坏.zip：压缩包可能已损坏，无法读取。"),
         QStringLiteral(u"已解压 1 个压缩包，1 个失败：损坏.zip：压缩包可能已损坏，无法读取。")},
        {files.path("缺卷.7z.001"), "typed", QStringLiteral(u"缺卷.7z.001：缺少分卷：缺卷.7z.002"),
         QStringLiteral(u"已解压 1 个压缩包，1 个失败：缺卷.7z.001：缺少分卷：缺卷.7z.002。")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.broken.toStdString());
        const QString out = files.makeFolder("out-" + QFileInfo(c.broken).baseName());
        context().setDestinationURL(out);
        extract().setExtractionPassword(c.password);
        extract().selectArchivesForExtraction({c.broken, good});
        extract().extract();
        ASSERT_TRUE(waitUntilIdle());

        EXPECT_EQ(status(), c.banner);
        EXPECT_EQ(context().statusKind(), StatusKind::warning);
        const QList<ArchiveTask> tasks = workbench.tasks();
        ASSERT_GE(tasks.size(), 2);
        EXPECT_EQ(tasks[0].status, ArchiveActivityStatus::completed);
        EXPECT_EQ(tasks[0].message, out + "/示例");
        EXPECT_EQ(tasks[1].status, ArchiveActivityStatus::failed);
        EXPECT_EQ(tasks[1].message, c.reason);
        // Its notification names the archive once.
        const QList<AppNotificationItem>& notifications = workbench.notifications();
        const auto failed = std::find_if(notifications.begin(), notifications.end(), [](const auto& item) {
            return item.title == QStringLiteral(u"解压任务失败");
        });
        ASSERT_NE(failed, notifications.end());
        EXPECT_EQ(failed->message, c.reason);
    }
}

// With "解压完成后删除源文件" the result names what went to the trash and what stayed; what went leaves the
// list.
TEST_F(RealEngineTest, trashedArchivesAreNamedAndLeaveTheList) {
    storeSettings([](AppSettings& settings) {
        settings.deleteSourceAfterExtract = true;
        settings.extractToSeparateFolder = true;
    });
    const QString in = files.makeFolder("in");
    runTool("/usr/bin/zip", {"-q", "-r", in + "/docs.zip", "docs"}, files.path("sources"));
    runTool("/usr/bin/7zz", {"a", "-v64k", "-mx0", "-bd", in + "/pics.7z", "pics"}, files.path("sources"));
    const QStringList archives = {in + "/docs.zip", in + "/pics.7z.001"};
    const QString names = u"docs.zip、pics.7z.001、pics.7z.002"_qs;
    ASSERT_EQ(QDir(in).entryList(QDir::Files).size(), 3) << "two volumes and the ZIP";
    context().setDestinationURL(files.makeFolder("out"));
    {
        XdgEnvironment xdg;
        xdg.tree().writeFile("data/Trash", "in the way");  // nothing can go to the trash
        extract().selectArchivesForExtraction(archives);
        extract().extract();
        ASSERT_TRUE(waitUntilIdle());
        EXPECT_EQ(status(), u"解压完成：2 个压缩包；3 个项目无法移到回收站，仍在原处："_qs + names);
        EXPECT_EQ(extract().selectedArchivesForExtraction(), archives);
    }
    const XdgEnvironment xdg;
    extract().extract();
    ASSERT_TRUE(waitUntilIdle());
    EXPECT_TRUE(QDir(in).isEmpty());
    EXPECT_EQ(xdg.trashedPaths().size(), 3);
    EXPECT_EQ(status(), u"解压完成：2 个压缩包；3 个项目已移到回收站："_qs + names);
    EXPECT_EQ(context().statusKind(), StatusKind::success);
    EXPECT_TRUE(extract().selectedArchivesForExtraction().isEmpty());
    EXPECT_EQ(extract().selectedArchiveURL(), std::nullopt);
    extract().extract();
    EXPECT_EQ(alert(), QStringLiteral(u"请先选择 ZIP、RAR 或 7Z 压缩包。"));
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

    // With "解压完成后删除源文件" the set goes to the trash and its scan leaves the page.
    storeSettings([](AppSettings& settings) { settings.deleteSourceAfterExtract = true; });
    const XdgEnvironment xdg;
    context().setDestinationURL(files.makeFolder("out"));
    splitExtract().selectSplitArchiveForExtraction(metadata.outputFilePaths->last());
    settle();
    ASSERT_EQ(splitExtract().splitArchiveState(), SplitArchivePageState::recognized());
    splitExtract().extractSelectedSplitArchive(false, false);
    ASSERT_TRUE(waitUntilIdle());
    ASSERT_EQ(workbench.tasks().first().status, ArchiveActivityStatus::completed);
    EXPECT_EQ(contentsBelow(workbench.tasks().first().message), original);
    EXPECT_EQ(xdg.trashedPaths().size(), metadata.outputFilePaths->size());
    EXPECT_TRUE(status().contains(QStringLiteral(u"个项目已移到回收站：")));
    EXPECT_EQ(splitExtract().splitArchiveState(), SplitArchivePageState::initial());
    EXPECT_FALSE(splitExtract().splitArchiveDescriptor().has_value());
    EXPECT_FALSE(splitExtract().splitArchiveStartButtonEnabled());
}

}  // namespace
