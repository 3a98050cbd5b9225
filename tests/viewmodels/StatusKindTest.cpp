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
        {"nothingToCompress", [this] { compress().compress(false); }, StatusKind::warning},
        {"compressed",
         [this] {
             compress().selectFilesForCompression({files.writeFile("a.txt", "x")});
             compress().compress(false);
         },
         StatusKind::success},
        {"compressionFailed",
         [&] {
             failWith();
             compress().selectFilesForCompression({files.writeFile("b.txt", "x")});
             compress().compress(false);
         },
         StatusKind::error},
        {"compressionStopped",
         [&] {
             engine.setBlocksUntilCancelled(true);
             compress().selectFilesForCompression({files.writeFile("c.txt", "x")});
             compress().compress(false);
             stopFirstTask();
         },
         StatusKind::warning},
        {"extractionFailed",
         [&] {
             failWith();
             extract().selectArchivesForExtraction({files.writeFile("d.zip", "x")});
             extract().extract();
         },
         StatusKind::error},
        {"splitCompressionRefused", [this] { splitCompress().startSplitCompression(); }, StatusKind::error},
        {"splitSourcesGone",
         [this] {
             splitCompress().addSplitCompressionItems({files.path("gone.txt")});
             settle();
         },
         StatusKind::error},
    };
    for (const Case& testCase : cases) {
        SCOPED_TRACE(testCase.name);
        engine.setError(nullptr);
        engine.setBlocksUntilCancelled(false);
        context().setStatusMessage(QStringLiteral(u"之前"), StatusKind::error);
        testCase.act();
        ASSERT_TRUE(waitUntilIdle());
        EXPECT_EQ(context().statusKind(), testCase.kind) << status().toStdString();
    }
}

TEST_F(StatusKindTest, AStatusEndsWhenWhatItSpeaksOfChanges) {
    const QList<std::tuple<const char*, std::function<void()>, std::function<void()>>> cases{
        {"currentLocationThenChosenFolder", [this] { context().resetDestinationToCurrentLocation(); },
         [this] {
             platform.panelAnswers = {{files.makeFolder("chosen")}};
             context().selectDestination();
         }},
        {"extractedThenAnotherFolder",
         [this] {
             extract().selectArchivesForExtraction({files.writeFile("b.zip", "x")});
             extract().extract();
         },
         [this] { context().setDestinationURL(files.makeFolder("other")); }},
        {"exportedThenImportFailed",
         [this] {
             models().passwordBook().exportPasswordBook(ArchivePasswordBookKind::extraction,
                                                        files.path("book"));
         },
         [this] {
             models().passwordBook().importPasswordBook(ArchivePasswordBookKind::extraction,
                                                        files.path("none"));
         }},
    };
    for (const auto& [name, setStatus, change] : cases) {
        SCOPED_TRACE(name);
        setStatus();
        ASSERT_TRUE(waitUntilIdle());
        ASSERT_TRUE(context().statusMessage().has_value());
        change();
        EXPECT_FALSE(context().statusMessage().has_value()) << status().toStdString();
    }
}

// The compress page's banner keeps its last text when the list is cleared, so no empty band is left.
TEST_F(StatusKindTest, ClearingTheCompressListKeepsTheLastOutcome) {
    engine.setError(std::make_exception_ptr(ArchiveError::diskFull()));
    compress().selectFilesForCompression({files.writeFile("a.txt", "x")});
    compress().compress(false);
    ASSERT_TRUE(waitUntilIdle());
    const std::optional<QString> outcome = context().statusMessage();
    ASSERT_TRUE(outcome.has_value());
    compress().clearCompressionSelection();
    EXPECT_TRUE(compress().selectedFilesForCompression().isEmpty());
    EXPECT_EQ(context().statusMessage(), outcome);
    EXPECT_EQ(context().statusKind(), StatusKind::error);
}

TEST_F(StatusKindTest, AChangeOfKindAloneIsReported) {
    int changes = 0;
    QObject::connect(&context(), &WorkbenchContext::statusMessageChanged, [&] { ++changes; });
    context().setStatusMessage(QStringLiteral(u"任务已停止"), StatusKind::warning);
    context().setStatusMessage(QStringLiteral(u"任务已停止"), StatusKind::warning);
    context().setStatusMessage(QStringLiteral(u"任务已停止"), StatusKind::error);
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(context().statusKind(), StatusKind::error);
}

}  // namespace
