#include "core/engine/ArchiveError.h"
#include "platform/ByteCountFormatter.h"
#include "viewmodels/WorkbenchFixture.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

class SplitExtractionTest : public WorkbenchFixture {
protected:
    // A 7Z set of three volumes, made by 7-Zip in its own folder; returns the volumes in order.
    QStringList makeSevenZipSet(const QString& folder) {
        files.writeFile(folder + "/payload.bin", randomBytes(2500, 7));
        runTool("/usr/bin/7zz", {"a", "-v1k", "-mx0", "-bd", "set.7z", "payload.bin"}, files.path(folder));
        QFile::remove(files.path(folder + "/payload.bin"));
        return {files.path(folder + "/set.7z.001"), files.path(folder + "/set.7z.002"),
                files.path(folder + "/set.7z.003")};
    }

    void choose(const QString& url) {
        splitExtract().selectSplitArchiveForExtraction(url);
        settle();
    }
};

TEST_F(SplitExtractionTest, completeSetIsRecognisedFromAnyVolume) {
    const QStringList volumes = makeSevenZipSet("set");
    ASSERT_TRUE(QFile::exists(volumes.last()));
    choose(volumes[1]);
    EXPECT_EQ(splitExtract().splitArchiveState(), SplitArchivePageState::recognized());
    EXPECT_EQ(extract().selectedArchiveURL(), volumes.first());
    EXPECT_EQ(extract().selectedArchivesForExtraction(), QStringList{volumes.first()});
    EXPECT_EQ(status(), QStringLiteral(u"已识别到 3 个分卷。"));
    EXPECT_TRUE(splitExtract().splitArchiveStartButtonEnabled());
    EXPECT_EQ(splitExtract().splitArchiveDefaultDestinationDescription(), files.path("set"));
}

TEST_F(SplitExtractionTest, missingVolumeLeavesTheSetIncomplete) {
    const QStringList volumes = makeSevenZipSet("set");
    QFile::remove(volumes[1]);
    choose(volumes[0]);
    EXPECT_EQ(splitExtract().splitArchiveState(), SplitArchivePageState::incomplete());
    EXPECT_FALSE(splitExtract().splitArchiveStartButtonEnabled());
    ASSERT_TRUE(splitExtract().splitArchiveDescriptor().has_value());
    const QString message = splitExtract().splitArchiveDescriptor()->validationMessage.value_or(QString());
    EXPECT_FALSE(message.isEmpty());
    EXPECT_EQ(status(), message);

    splitExtract().extractSelectedSplitArchive(true, true);
    EXPECT_EQ(alert(), message);
    EXPECT_TRUE(workbench.tasks().isEmpty());
}

TEST_F(SplitExtractionTest, plainArchiveIsSentToTheExtractPage) {
    const QString plain = files.writeFile("plain.zip", "x");
    choose(plain);
    EXPECT_EQ(splitExtract().splitArchiveState(), SplitArchivePageState::regularArchiveDetected(plain));
    EXPECT_EQ(alert(), QStringLiteral(u"该文件不是分卷压缩包，是否前往普通解压？"));
    EXPECT_FALSE(splitExtract().splitArchiveDescriptor().has_value());

    splitExtract().goToRegularExtractFromSplitArchive();
    EXPECT_EQ(context().selectedSection(), WorkbenchSection::extract);
    EXPECT_EQ(extract().selectedArchivesForExtraction(), QStringList{plain});
    EXPECT_EQ(splitExtract().splitArchiveState(), SplitArchivePageState::initial());
}

TEST_F(SplitExtractionTest, folderIsRefusedAndSupersedesAScanUnderWay) {
    const QStringList volumes = makeSevenZipSet("set");
    splitExtract().selectSplitArchiveForExtraction(volumes.first());
    splitExtract().selectSplitArchiveForExtraction(files.path("set"));
    const SplitArchivePageState refused =
        SplitArchivePageState::failed(QStringLiteral(u"请选择一个分卷文件，而不是文件夹。"));
    EXPECT_EQ(alert(), refused.payload());
    // The banner says so too, not that the earlier choice is still being scanned.
    EXPECT_EQ(status(), refused.payload());
    // The earlier scan must not overwrite the refusal when it ends.
    settle();
    EXPECT_EQ(splitExtract().splitArchiveState(), refused);
    EXPECT_FALSE(splitExtract().splitArchiveDescriptor().has_value());
}

TEST_F(SplitExtractionTest, onlyTheNewestChoiceIsShown) {
    const QStringList volumes = makeSevenZipSet("set");
    const QString plain = files.writeFile("plain.zip", "x");
    splitExtract().selectSplitArchiveForExtraction(plain);
    splitExtract().selectSplitArchiveForExtraction(volumes.first());
    settle();
    EXPECT_EQ(splitExtract().splitArchiveState(), SplitArchivePageState::recognized());
    EXPECT_FALSE(context().alertMessage().has_value());
}

TEST_F(SplitExtractionTest, completeSetIsExtractedAsOneSplitTask) {
    const QStringList volumes = makeSevenZipSet("set");
    choose(volumes.last());
    splitExtract().extractSelectedSplitArchive(true, true);
    EXPECT_EQ(status(), QStringLiteral(u"正在处理分卷压缩包..."));
    EXPECT_FALSE(splitExtract().splitArchiveStartButtonEnabled());
    ASSERT_TRUE(waitUntilIdle());

    ASSERT_EQ(engine.calls().size(), 1);
    EXPECT_EQ(engine.calls().first().files, QStringList{volumes.first()});
    EXPECT_EQ(engine.calls().first().destination, files.path("set"));
    const ArchiveTask task = workbench.tasks().first();
    EXPECT_EQ(task.kind, ArchiveActivityKind::splitExtraction);
    EXPECT_EQ(task.name, "set.7z");
    EXPECT_EQ(task.status, ArchiveActivityStatus::completed);
    ASSERT_TRUE(task.metadata.has_value());
    EXPECT_EQ(task.metadata->foundPartCount, 3);
    // The record's size is the whole set's, not its first volume's.
    qint64 setSize = 0;
    for (const QString& volume : volumes) setSize += QFileInfo(volume).size();
    EXPECT_EQ(task.sizeDescription, ByteCountFormatter::fileStyle(setSize));
    EXPECT_TRUE(status().startsWith(QStringLiteral(u"分卷解压完成：")));
    EXPECT_EQ(workbench.notifications().first().title, QStringLiteral(u"分卷解压完成"));
}

TEST_F(SplitExtractionTest, failureAndCancellationOfASplitExtraction) {
    const QStringList volumes = makeSevenZipSet("set");
    choose(volumes.first());
    engine.setError(std::make_exception_ptr(ArchiveError::corruptedArchive()));
    splitExtract().extractSelectedSplitArchive(false, false);
    ASSERT_TRUE(waitUntilIdle());
    EXPECT_EQ(status(), QStringLiteral(u"压缩包可能已损坏，无法读取。"));
    EXPECT_EQ(workbench.tasks().first().message, QStringLiteral(u"压缩包可能已损坏，无法读取。"));

    engine.setError(nullptr);
    engine.setBlocksUntilCancelled(true);
    splitExtract().extractSelectedSplitArchive(false, false);
    ASSERT_TRUE(waitFor([&] { return engine.blockedCalls() == 1; }));
    workbench.cancelTask(workbench.tasks().first().id);
    ASSERT_TRUE(waitUntilIdle());
    EXPECT_EQ(status(), QStringLiteral(u"任务已停止"));
    EXPECT_EQ(workbench.tasks().first().status, ArchiveActivityStatus::cancelled);
}

}  // namespace
