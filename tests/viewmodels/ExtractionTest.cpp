#include "core/engine/ArchiveError.h"
#include "support/FullDisk.h"
#include "viewmodels/WorkbenchFixture.h"

#include <QDir>
#include <QFileInfo>
#include <stdexcept>

namespace {

class ExtractionTest : public WorkbenchFixture {};

TEST_F(ExtractionTest, batchMakesOneRecordPerArchiveAndOneEngineCall) {
    const QString a = files.writeFile("a.zip", "a");
    const QString b = files.writeFile("b.7z", "b");
    extract().selectArchivesForExtraction({a, b});
    EXPECT_EQ(status(), QStringLiteral(u"已选择 2 个压缩包，点击“立即解压”开始。"));
    extract().extract();
    EXPECT_EQ(status(), QStringLiteral(u"正在解压 2 个压缩包..."));
    ASSERT_TRUE(waitUntilIdle());

    ASSERT_EQ(engine.calls().size(), 1);
    EXPECT_EQ(engine.calls().first().files, QStringList({a, b}));
    EXPECT_EQ(engine.calls().first().destination, files.root());
    EXPECT_EQ(engine.calls().first().password, std::nullopt);
    EXPECT_EQ(status(), QStringLiteral(u"解压完成：2 个压缩包"));
    const QList<ArchiveTask> tasks = workbench.tasks();
    ASSERT_EQ(tasks.size(), 2);
    EXPECT_EQ(tasks[0].name, "b.7z");
    EXPECT_EQ(tasks[1].name, "a.zip");
    EXPECT_EQ(tasks[0].message, QDir(files.root()).filePath("b"));
    EXPECT_EQ(tasks[1].message, QDir(files.root()).filePath("a"));
    for (const ArchiveTask& task : tasks) {
        EXPECT_EQ(task.status, ArchiveActivityStatus::completed);
        EXPECT_EQ(task.kind, ArchiveActivityKind::extract);
    }
}

TEST_F(ExtractionTest, archivesLeftOutOfTheTrashAreNamedInTheStatus) {
    const QStringList archives = {files.writeFile("a.zip", "a"), files.writeFile("b.7z", "b"),
                                  files.writeFile("c.rar", "c"), files.writeFile("d.zip", "d")};
    const struct {
        QStringList untrashed;
        QString notice;
    } cases[] = {
        {{}, {}},
        {{archives[1]}, QStringLiteral(u"；1 个项目无法移到回收站，仍在原处：b.7z")},
        {archives, QStringLiteral(u"；4 个项目无法移到回收站，仍在原处：a.zip、b.7z、c.rar 等")},
    };
    for (const auto& c : cases) {
        engine.setUntrashed(c.untrashed);
        extract().selectArchivesForExtraction(archives);
        extract().extract();
        ASSERT_TRUE(waitUntilIdle());
        EXPECT_EQ(status(), QStringLiteral(u"解压完成：4 个压缩包") + c.notice);
    }
}

TEST_F(ExtractionTest, singleSelectedArchiveIsTheLastFallback) {
    const QString archive = files.writeFile("only.zip", "x");
    extract().setSelectedArchiveURL(archive);
    extract().extract();
    ASSERT_TRUE(waitUntilIdle());
    ASSERT_EQ(engine.calls().size(), 1);
    EXPECT_EQ(engine.calls().first().files, QStringList{archive});
    EXPECT_EQ(status(), QStringLiteral(u"解压完成：") + QDir(files.root()).filePath("only"));
}

TEST_F(ExtractionTest, nothingSelectedRaisesTheAlertOnly) {
    extract().extract();
    EXPECT_EQ(alert(), QStringLiteral(u"请先选择 ZIP、RAR 或 7Z 压缩包。"));
    EXPECT_FALSE(context().isWorking());
    EXPECT_TRUE(workbench.tasks().isEmpty());
}

TEST_F(ExtractionTest, passwordBookFillsAnEmptyPasswordAndTheEngineGetsIt) {
    const QString archive = files.writeFile("secret.zip", "x");
    passwordBook.remember("stored", archive, QString("secret.zip"));
    engine.setOpeningPassword("stored");
    engine.setBlocksUntilCancelled(true);
    extract().setExtractionPassword(" ");
    extract().selectArchivesForExtraction({archive});
    extract().extract();
    ASSERT_TRUE(
        waitFor([&] { return engine.blockedCalls() == 1 && extract().extractionPassword() == "stored"; }));
    EXPECT_EQ(status(), QStringLiteral(u"已从密码本自动填充密码。"));
    EXPECT_EQ(engine.calls().first().password, QString("stored"));
    EXPECT_EQ(compress().compressionPassword(), "");
    workbench.cancelTask(workbench.tasks().first().id);
    ASSERT_TRUE(waitUntilIdle());
    EXPECT_EQ(extract().extractionPassword(), "stored");
}

// The engine gets the password as typed; a success remembers it trimmed, and only for an archive that
// needed it.
TEST_F(ExtractionTest, typedPasswordReachesTheEngineAndIsRememberedTrimmed) {
    struct Case {
        QString typed;
        bool encrypted;
        QString remembered;  // empty: nothing is remembered
    };
    const Case cases[] = {{" ", true, ""}, {"  typed\n", true, "typed"}, {"typed", false, ""}};
    for (const Case& test : cases) {
        SCOPED_TRACE(test.typed.toStdString());
        const QString archive = files.writeFile(test.encrypted ? "locked.zip" : "plain.zip", "x");
        engine.setOpeningPassword(test.encrypted ? std::optional<QString>("typed") : std::nullopt);
        extract().setExtractionPassword(test.typed);
        extract().selectArchivesForExtraction({archive});
        extract().extract();
        ASSERT_TRUE(waitUntilIdle());
        EXPECT_EQ(engine.calls().last().password, test.typed);
        QString remembered;
        for (const ArchivePasswordBookEntry& entry : passwordBook.entries()) {
            if (entry.label == QFileInfo(archive).fileName()) remembered = entry.password;
        }
        EXPECT_EQ(remembered, test.remembered);
    }
}

TEST_F(ExtractionTest, dropQueueWinsOnceThenThePageListAgain) {
    const QString listed = files.writeFile("listed.zip", "x");
    const QString dropped = files.writeFile("dropped.zip", "x");
    extract().selectArchivesForExtraction({listed});
    home().handleDropped({dropped});
    ASSERT_TRUE(waitUntilIdle());
    extract().selectArchivesForExtraction({listed});
    extract().extract();
    ASSERT_TRUE(waitUntilIdle());
    ASSERT_EQ(engine.calls().size(), 2);
    EXPECT_EQ(engine.calls()[0].files, QStringList{dropped});
    EXPECT_EQ(engine.calls()[1].files, QStringList{listed});
}

// The status line and every record name the engine's reason; an error without one gets the fixed text.
TEST_F(ExtractionTest, failureFailsEveryRecordWithItsReason) {
    const std::pair<std::exception_ptr, QString> cases[] = {
        {std::make_exception_ptr(ArchiveError::diskFull()), QStringLiteral(u"磁盘空间不足。")},
        {std::make_exception_ptr(std::runtime_error("boom")), QStringLiteral(u"解压失败")},
    };
    for (const auto& [error, expected] : cases) {
        SCOPED_TRACE(expected.toStdString());
        engine.setError(error);
        extract().selectArchivesForExtraction({files.writeFile("a.zip", "x"), files.writeFile("b.zip", "x")});
        extract().extract();
        ASSERT_TRUE(waitUntilIdle());
        EXPECT_EQ(status(), expected);
        for (const ArchiveTask& task : workbench.tasks().mid(0, 2)) {
            EXPECT_EQ(task.status, ArchiveActivityStatus::failed);
            EXPECT_EQ(task.message, expected);
        }
        EXPECT_EQ(workbench.history().first().message, expected);
        EXPECT_TRUE(platform.revealed.isEmpty());
    }
}

// On a full disk the password that opened the archive and the finished records are not kept; the
// banner says so instead of a plain success.
TEST_F(ExtractionTest, whatCouldNotBeSavedIsReported) {
    FullDisk disk(defaultsFolder.path());
    engine.setOpeningPassword(QStringLiteral("k"));
    extract().selectArchivesForExtraction({files.writeFile("a.zip", "x")});
    extract().setExtractionPassword("k");
    disk.fill();
    extract().extract();
    ASSERT_TRUE(waitUntilIdle());
    EXPECT_TRUE(status().startsWith(QStringLiteral(u"解压完成：")));
    EXPECT_TRUE(status().endsWith(QStringLiteral(u"；密码未能保存：") + disk.reason())) << status().toStdString();
    EXPECT_EQ(context().statusKind(), StatusKind::warning);
    EXPECT_TRUE(passwordBook.entries().isEmpty());
    EXPECT_TRUE(waitFor([&] { return alert() == QStringLiteral(u"保存失败：") + disk.reason(); }));
}

TEST_F(ExtractionTest, stoppingOneRecordOfABatchCancelsTheOthers) {
    engine.setBlocksUntilCancelled(true);
    extract().selectArchivesForExtraction(
        {files.writeFile("a.zip", "x"), files.writeFile("b.zip", "x"), files.writeFile("c.zip", "x")});
    extract().extract();
    ASSERT_TRUE(waitFor([&] { return engine.blockedCalls() == 1; }));
    workbench.pauseTask(workbench.tasks()[1].id);
    ASSERT_TRUE(waitUntilIdle());

    EXPECT_EQ(status(), QStringLiteral(u"任务已停止"));
    const QList<ArchiveTask> tasks = workbench.tasks();
    EXPECT_EQ(tasks[0].status, ArchiveActivityStatus::cancelled);
    EXPECT_EQ(tasks[1].status, ArchiveActivityStatus::paused);
    EXPECT_EQ(tasks[2].status, ArchiveActivityStatus::cancelled);
    EXPECT_TRUE(registryIsEmpty());
}

TEST_F(ExtractionTest, selectionMustBeAllArchives) {
    const QString kept = files.writeFile("kept.zip", "x");
    extract().selectArchivesForExtraction({kept});
    extract().selectArchivesForExtraction({files.writeFile("a.zip", "x"), files.writeFile("notes.txt", "x")});
    EXPECT_EQ(alert(), QStringLiteral(u"请选择 ZIP、RAR 或 7Z 压缩包。"));
    EXPECT_EQ(extract().selectedArchivesForExtraction(), QStringList{kept});
    EXPECT_EQ(status(), QStringLiteral(u"已选择：kept.zip"));

    extract().clearExtractionSelection();
    EXPECT_TRUE(extract().selectedArchivesForExtraction().isEmpty());
    EXPECT_FALSE(extract().selectedArchiveURL().has_value());
    EXPECT_EQ(status(), QStringLiteral(u"已清空解压列表。"));
}

}  // namespace
