#include "core/engine/ArchiveError.h"
#include "viewmodels/WorkbenchFixture.h"

namespace {

using StatusKindTest = WorkbenchFixture;

// Every outcome of the page operations carries the kind the banner draws, set with its message.
TEST_F(StatusKindTest, EachOutcomeCarriesItsKind) {
    struct Case {
        const char* name;
        std::function<void()> act;
        StatusKind kind;
    };
    const auto failWith = [this] {
        engine.setError(std::make_exception_ptr(ArchiveError::compressFailed("disk full")));
    };
    const auto stopFirstTask = [this] {
        ASSERT_TRUE(waitFor([&] { return engine.blockedCalls() == 1; }));
        workbench.cancelTask(workbench.tasks().first().id);
    };
    const QList<Case> cases{
        {"nothingToCompress", [this] { model().compress(false); }, StatusKind::warning},
        {"compressed",
         [this] {
             model().selectFilesForCompression({files.writeFile("a.txt", "x")});
             model().compress(false);
         },
         StatusKind::success},
        {"compressionFailed",
         [&] {
             failWith();
             model().selectFilesForCompression({files.writeFile("b.txt", "x")});
             model().compress(false);
         },
         StatusKind::error},
        {"compressionStopped",
         [&] {
             engine.setBlocksUntilCancelled(true);
             model().selectFilesForCompression({files.writeFile("c.txt", "x")});
             model().compress(false);
             stopFirstTask();
         },
         StatusKind::warning},
        {"extractionFailed",
         [&] {
             failWith();
             model().selectArchivesForExtraction({files.writeFile("d.zip", "x")});
             model().extract();
         },
         StatusKind::error},
        {"splitCompressionRefused", [this] { model().startSplitCompression(); }, StatusKind::error},
        {"splitSourcesGone",
         [this] {
             model().addSplitCompressionItems({files.path("gone.txt")});
             settle();
         },
         StatusKind::error},
    };
    for (const Case& testCase : cases) {
        SCOPED_TRACE(testCase.name);
        engine.setError(nullptr);
        engine.setBlocksUntilCancelled(false);
        model().setStatusMessage(QStringLiteral(u"之前"), StatusKind::error);
        testCase.act();
        ASSERT_TRUE(waitUntilIdle());
        EXPECT_EQ(model().statusKind(), testCase.kind) << status().toStdString();
    }
}

TEST_F(StatusKindTest, AChangeOfKindAloneIsReported) {
    int changes = 0;
    QObject::connect(&model(), &MainViewModel::statusMessageChanged, [&] { ++changes; });
    model().setStatusMessage(QStringLiteral(u"任务已停止"), StatusKind::warning);
    model().setStatusMessage(QStringLiteral(u"任务已停止"), StatusKind::warning);
    model().setStatusMessage(QStringLiteral(u"任务已停止"), StatusKind::error);
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(model().statusKind(), StatusKind::error);
}

}  // namespace
