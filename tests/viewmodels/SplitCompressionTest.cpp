#include "core/engine/ArchiveError.h"
#include "platform/ByteCountFormatter.h"
#include "viewmodels/WorkbenchFixture.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

constexpr qint64 kMB = 1000000;
constexpr qint64 kGB = 1000000000;

class SplitCompressionTest : public WorkbenchFixture {
protected:
    // Adds the items and waits until they are sized and listed.
    void add(const QStringList& urls) {
        splitCompress().addSplitCompressionItems(urls);
        settle();
    }

    QStringList listedUrls() {
        QStringList urls;
        for (const auto& item : splitCompress().splitCompressionItems()) urls << item.url;
        return urls;
    }

    void run() {
        splitCompress().startSplitCompression();
        ASSERT_TRUE(waitUntilIdle());
    }
};

TEST_F(SplitCompressionTest, firstBatchNamesTheRunAndPicksTheFolder) {
    const QString photos = files.makeFolder("Photos");
    files.writeFile("Photos/a.jpg", QByteArray(1000, 'a'));
    add({photos});
    EXPECT_EQ(splitCompress().splitCompressionBaseName(), "Photos");
    EXPECT_EQ(splitCompress().splitCompressionOutputDirectoryURL(), files.root());
    EXPECT_EQ(splitCompress().splitCompressionOriginalSizeBytes(), 1000);
    EXPECT_EQ(status(), QStringLiteral(u"已添加 1 个项目。"));

    // Later items keep the name; the same folder again only raises the alert.
    add({files.writeFile("report.pdf", "x")});
    EXPECT_EQ(splitCompress().splitCompressionBaseName(), "Photos");
    splitCompress().addSplitCompressionItems({photos + "/"});
    EXPECT_EQ(alert(), QStringLiteral(u"已跳过重复添加的文件或文件夹。"));
    EXPECT_EQ(splitCompress().splitCompressionItems().size(), 2);

    splitCompress().removeSplitCompressionItem(splitCompress().splitCompressionItems().first());
    EXPECT_EQ(splitCompress().splitCompressionBaseName(), "report");
    splitCompress().removeSplitCompressionItem(splitCompress().splitCompressionItems().first());
    EXPECT_EQ(splitCompress().splitCompressionBaseName(), QStringLiteral(u"压缩文件"));
    EXPECT_EQ(splitCompress().splitCompressionOutputDirectoryURL(), files.root());
}

TEST_F(SplitCompressionTest, missingSourcesAreSkippedOrRefused) {
    const QString gone = files.path("gone.txt");
    add({gone, files.writeFile("here.txt", "x")});
    EXPECT_EQ(listedUrls(), QStringList{files.path("here.txt")});

    splitCompress().clearSplitCompressionItems();
    add({gone});
    EXPECT_EQ(alert(), QStringLiteral(u"压缩源文件已不存在或无法读取，请重新添加。"));
    EXPECT_EQ(status(), QStringLiteral(u"添加失败。"));
    EXPECT_TRUE(splitCompress().splitCompressionItems().isEmpty());
}

TEST_F(SplitCompressionTest, batchesAddedWhileSizingAreAllListedInOrder) {
    const QString first = files.writeFile("first.txt", "1");
    const QString second = files.writeFile("second.txt", "2");
    const QString third = files.writeFile("third.txt", "3");
    splitCompress().addSplitCompressionItems({first});
    splitCompress().addSplitCompressionItems({second, third});
    splitCompress().addSplitCompressionItems({second});
    EXPECT_TRUE(splitCompress().isCalculatingSplitCompressionItems());
    settle();
    EXPECT_FALSE(splitCompress().isCalculatingSplitCompressionItems());
    EXPECT_EQ(listedUrls(), QStringList({first, second, third}));
    EXPECT_EQ(splitCompress().splitCompressionBaseName(), "first");
}

TEST_F(SplitCompressionTest, clearingDiscardsSizingUnderWay) {
    // The folder's walk is cancelled; its outcome arrives as a failure and is dropped.
    for (int i = 0; i < 100; ++i) files.writeFile(QStringLiteral("folder/%1.txt").arg(i), "x");
    splitCompress().addSplitCompressionItems({files.path("folder")});
    splitCompress().clearSplitCompressionItems();
    EXPECT_FALSE(splitCompress().isCalculatingSplitCompressionItems());
    EXPECT_EQ(status(), QStringLiteral(u"已清空分卷压缩列表。"));
    settle();
    EXPECT_TRUE(splitCompress().splitCompressionItems().isEmpty());
    add({files.writeFile("b.txt", "x")});
    EXPECT_EQ(listedUrls(), QStringList{files.path("b.txt")});
}

TEST_F(SplitCompressionTest, suggestionFollowsTheSizeTable) {
    struct Case {
        qint64 total;
        qint64 suggested;
        qint64 parts;
    };
    const QList<Case> cases{
        {1, 500 * kMB, 1},
        {2 * kGB, 500 * kMB, 4},
        {2 * kGB + 1, kGB, 3},
        {10 * kGB, kGB, 10},
        {30 * kGB, 2 * kGB, 15},
        {80 * kGB, 4 * kGB, 20},
        {80 * kGB + 1, 5 * kGB, 17},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.total);
        splitCompress().setSplitCompressionItems({{.id = "x", .url = "/x", .sizeBytes = test.total}});
        EXPECT_EQ(
            splitCompress().splitCompressionSuggestionMessage(),
            QStringLiteral(u"根据当前文件总大小（%1），建议使用 %2 分卷，预计生成约 %3 "
                           u"个文件。按原始大小估算，实际数量以压缩完成为准。")
                .arg(ByteCountFormatter::fileStyle(test.total), ByteCountFormatter::fileStyle(test.suggested))
                .arg(test.parts));
    }
    // In the units of every page: the 500 MB preset is 500,000,000 bytes.
    splitCompress().setSplitCompressionItems({{.id = "x", .url = "/x", .sizeBytes = 2 * kGB}});
    EXPECT_TRUE(splitCompress().splitCompressionSuggestionMessage()->contains(
        QStringLiteral(u"（2.0 GB），建议使用 500.0 MB 分卷")));
    splitCompress().setSplitCompressionItems({{.id = "x", .url = "/x", .sizeBytes = 0}});
    EXPECT_FALSE(splitCompress().splitCompressionSuggestionMessage().has_value());
}

// Each row breaks its own check and every later one; the first check that fails must be reported.
TEST_F(SplitCompressionTest, preflightReportsTheFirstFailingCheck) {
    struct Case {
        const char* name;
        std::function<void(SplitCompressViewModel&)> breakIt;
        QString message;
    };
    const QString source = files.writeFile("a.txt", "x");
    const QList<Case> cases{
        {"noInput", [&](SplitCompressViewModel& m) { m.clearSplitCompressionItems(); },
         QStringLiteral(u"请先添加需要压缩的文件或文件夹。")},
        {"format", [](SplitCompressViewModel& m) { m.setSplitCompressionFormat(CompressionFormat::tarGzip); },
         QStringLiteral(u"当前压缩格式或压缩引擎不支持创建分卷压缩包，请更换格式。")},
        {"volumeSize", [](SplitCompressViewModel& m) { m.setSplitCompressionVolumeValue("abc"); },
         QStringLiteral(u"每卷大小必须大于 0。")},
        {"passwordMismatch",
         [](SplitCompressViewModel& m) {
             m.setSplitCompressionPasswordEnabled(true);
             m.setSplitCompressionPassword("a");
             m.setSplitCompressionPasswordConfirmation("b");
         },
         QStringLiteral(u"两次输入的密码不一致，请重新确认。")},
        {"zipPassword",
         [](SplitCompressViewModel& m) {
             m.setSplitCompressionFormat(CompressionFormat::zip);
             m.setSplitCompressionPasswordEnabled(true);
             m.setSplitCompressionPassword("a");
             m.setSplitCompressionPasswordConfirmation("a");
         },
         ArchiveError::compressFailed(
             QStringLiteral(u"当前 ZIP 分卷压缩暂不支持加密，请关闭密码或改用 7Z 分卷。"))
             .message()},
        {"outputFolder",
         [&](SplitCompressViewModel& m) { m.setSplitCompressionOutputDirectoryURL(files.path("none")); },
         QStringLiteral(u"没有权限写入该文件夹，请更换保存位置。")},
        {"sourceGone", [&](SplitCompressViewModel&) { QFile::remove(source); },
         QStringLiteral(u"压缩源文件已不存在或无法读取，请重新添加。")},
        {"existingOutput",
         [&](SplitCompressViewModel& m) {
             files.writeFile(QStringLiteral(u"a.7z.001"), "old");
             m.setSplitCompressionConflictStrategy(SplitCompressionConflictStrategy::cancel);
         },
         QStringLiteral(u"目标位置已存在同名分卷文件，请选择覆盖、自动重命名或取消。")},
        {"diskSpace", [&](SplitCompressViewModel&) { platform.freeBytes = 1; },
         QStringLiteral(u"目标磁盘可用空间不足，无法安全开始压缩。")},
    };
    for (qsizetype failing = cases.size() - 1; failing >= 0; --failing) {
        SCOPED_TRACE(cases[failing].name);
        WorkbenchContext shared(engine, settingsStore, passwordBook, workbench, platform, &workers);
        SplitCompressViewModel fresh(shared);
        files.writeFile("a.txt", "x");
        fresh.addSplitCompressionItems({source});
        settle();
        for (qsizetype index = cases.size() - 1; index >= failing; --index) cases[index].breakIt(fresh);
        fresh.startSplitCompression();
        EXPECT_EQ(shared.alertMessage(), cases[failing].message);
        EXPECT_EQ(shared.statusMessage(), QStringLiteral(u"分卷压缩无法开始。"));
        EXPECT_FALSE(shared.isWorking());
        platform.freeBytes.reset();
        QFile::remove(files.path("a.7z.001"));
    }
    EXPECT_TRUE(workbench.tasks().isEmpty());
    EXPECT_TRUE(engine.calls().isEmpty());
}

// Runs in order against one output folder: each renamed run leaves its set behind for the next.
TEST_F(SplitCompressionTest, conflictingNameIsRenamedPastTakenNamesOrOverwritten) {
    struct Case {
        SplitCompressionConflictStrategy strategy;
        QString baseName;
        bool overwriteExisting;
    };
    const Case cases[] = {
        {SplitCompressionConflictStrategy::autoRename, "Backup 1", false},
        {SplitCompressionConflictStrategy::autoRename, "Backup 2", false},
        {SplitCompressionConflictStrategy::overwrite, "Backup", true},
    };
    add({files.writeFile("in/Backup.txt", "x")});
    splitCompress().setSplitCompressionOutputDirectoryURL(files.makeFolder("out"));
    files.writeFile("out/Backup.7z.001", "older");
    for (const Case& test : cases) {
        SCOPED_TRACE(test.baseName.toStdString());
        splitCompress().setSplitCompressionBaseName("Backup");
        splitCompress().setSplitCompressionConflictStrategy(test.strategy);
        run();
        EXPECT_FALSE(context().alertMessage().has_value());
        EXPECT_EQ(engine.calls().last().baseName, test.baseName);
        EXPECT_EQ(splitCompress().splitCompressionBaseName(), test.baseName);
        EXPECT_EQ(engine.calls().last().overwriteExisting, test.overwriteExisting);
    }
}

TEST_F(SplitCompressionTest, passwordSwitchAndSplitSwitchShapeTheEngineCall) {
    add({files.writeFile("a.txt", "x")});
    splitCompress().setSplitCompressionPasswordEnabled(true);
    run();
    EXPECT_EQ(engine.calls().last().password, std::nullopt);
    EXPECT_EQ(engine.calls().last().splitSizeBytes, 2 * kGB);

    splitCompress().setSplitCompressionPassword("p");
    splitCompress().setSplitCompressionPasswordConfirmation("p");
    splitCompress().setSplitCompressionEnabled(false);
    splitCompress().setSplitCompressionVolumeValue("abc");
    run();
    EXPECT_EQ(engine.calls().last().password, QString("p"));
    EXPECT_EQ(engine.calls().last().splitSizeBytes, std::nullopt);
}

TEST_F(SplitCompressionTest, successRecordsTheVolumes) {
    add({files.writeFile("in/Backup.txt", "x")});
    engine.setSplitOutputNames([](const QString& base) {
        return QStringList{base + ".7z.001", base + ".7z.002", base + ".7z.003"};
    });
    run();
    EXPECT_EQ(status(), QStringLiteral(u"分卷压缩完成：3 个文件"));
    const ArchiveTask task = workbench.tasks().first();
    EXPECT_EQ(task.kind, ArchiveActivityKind::splitCompression);
    EXPECT_EQ(task.status, ArchiveActivityStatus::completed);
    EXPECT_EQ(task.message, files.path("in/Backup.7z.001"));
    ASSERT_TRUE(task.metadata.has_value());
    EXPECT_EQ(task.metadata->actualPartCount, 3);
    EXPECT_EQ(task.metadata->validationStatus, QStringLiteral(u"校验通过"));
    EXPECT_EQ(task.metadata->archiveFormat, "7Z");
    EXPECT_EQ(task.metadata->compressionLevel, QStringLiteral(u"标准"));
    const auto notified =
        std::find_if(workbench.notifications().begin(), workbench.notifications().end(),
                     [](const auto& item) { return item.title == QStringLiteral(u"分卷压缩完成"); });
    ASSERT_NE(notified, workbench.notifications().end());
    EXPECT_EQ(notified->message, QStringLiteral(u"Backup：3 个文件"));
    EXPECT_EQ(platform.revealed.size(), 1);
}

// The banner, the record and its history entry name the engine's reason.
TEST_F(SplitCompressionTest, engineFailureFailsTheRecordWithItsReason) {
    const std::pair<std::exception_ptr, QString> cases[] = {
        {std::make_exception_ptr(ArchiveError::diskFull()), QStringLiteral(u"磁盘空间不足。")},
        {std::make_exception_ptr(ArchiveError::compressFailed("broken")),
         ArchiveError::compressFailed("broken").message()},
        {std::make_exception_ptr(std::runtime_error("boom")), QStringLiteral(u"分卷压缩失败")},
    };
    add({files.writeFile("a.txt", "x")});
    for (const auto& [error, expected] : cases) {
        SCOPED_TRACE(expected.toStdString());
        engine.setError(error);
        run();
        EXPECT_EQ(status(), expected);
        EXPECT_EQ(context().statusKind(), StatusKind::error);
        EXPECT_EQ(workbench.tasks().first().status, ArchiveActivityStatus::failed);
        EXPECT_EQ(workbench.tasks().first().message, expected);
        EXPECT_EQ(workbench.history().first().message, expected);
        EXPECT_FALSE(context().alertMessage().has_value());
    }
}

TEST_F(SplitCompressionTest, cancellationRemovesOnlyWhatTheRunWrote) {
    add({files.writeFile("in/Backup.txt", "x")});
    const QString out = files.makeFolder("out");
    splitCompress().setSplitCompressionOutputDirectoryURL(out);
    const QString olderVolume = files.writeFile("out/Backup.7z.001", "older");
    const QString olderOther = files.writeFile("out/Backup.7z.bak", "keep me");
    splitCompress().setSplitCompressionConflictStrategy(SplitCompressionConflictStrategy::overwrite);
    engine.setProgress({0.5});
    engine.setBlocksUntilCancelled(true);
    engine.setSplitOutputNames([](const QString& base) {
        return QStringList{base + ".7z.001", base + ".7z.002"};
    });

    splitCompress().startSplitCompression();
    ASSERT_TRUE(waitFor([&] { return status() == QStringLiteral(u"正在创建分卷压缩包 50%..."); }));
    // What the page shows meanwhile does not change what the clean-up removes.
    splitCompress().setSplitCompressionFormat(CompressionFormat::zip);
    splitCompress().setSplitCompressionBaseName("Other");
    workbench.cancelTask(workbench.tasks().first().id);
    ASSERT_TRUE(waitUntilIdle());

    EXPECT_EQ(status(), QStringLiteral(u"任务已停止"));
    EXPECT_EQ(workbench.tasks().first().status, ArchiveActivityStatus::cancelled);
    EXPECT_FALSE(QFileInfo::exists(olderVolume));  // rewritten by the run
    EXPECT_FALSE(QFileInfo::exists(files.path("out/Backup.7z.002")));
    EXPECT_EQ(files.readFile("out/Backup.7z.bak"), "keep me");
    EXPECT_TRUE(QFileInfo::exists(olderOther));
}

}  // namespace
