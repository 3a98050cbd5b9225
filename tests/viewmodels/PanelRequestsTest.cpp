#include "viewmodels/WorkbenchFixture.h"

namespace {

using PanelRequestsTest = WorkbenchFixture;

// Each panel names its purpose and the item it is about, so the desktop can start it in that item's
// folder; a model gone before the answer comes is left alone.
TEST_F(PanelRequestsTest, PanelsNameTheirPurposeAndCurrentItem) {
    const QString archive = files.writeFile("in/a.zip", "x");
    const QString source = files.writeFile("src/b.txt", "x");
    const QString destination = files.makeFolder("out");
    extract().selectArchivesForExtraction({archive});
    compress().selectFilesForCompression({source});
    context().setDestinationURL(destination);

    struct Case {
        std::function<void()> open;
        QString purpose;
        QString currentItem;
    };
    const QList<Case> cases{
        {[&] { extract().selectArchive(); }, "archives", archive},
        {[&] { compress().selectFilesForCompression(); }, "sources", source},
        {[&] { context().selectDestination(); }, "destination", destination},
        {[&] { splitCompress().selectSplitCompressionDestination(); }, "destination", destination},
    };
    for (const Case& testCase : cases) {
        platform.panelRequests.clear();
        testCase.open();
        ASSERT_EQ(platform.panelRequests.size(), 1);
        EXPECT_EQ(platform.panelRequests.first().purpose, testCase.purpose);
        EXPECT_EQ(platform.panelRequests.first().currentItem, testCase.currentItem);
    }

    // Both panels of "extract to a folder" run one after the other, each from its own answer.
    platform.panelAnswers = {{archive}, {destination}};
    platform.panelRequests.clear();
    home().selectArchiveAndExtractToDestination();
    ASSERT_EQ(platform.panelRequests.size(), 2);
    EXPECT_EQ(platform.panelRequests[1].purpose, "destination");
    ASSERT_TRUE(waitUntilIdle());
    ASSERT_EQ(engine.calls().size(), 1);
}

}  // namespace
