#include "viewmodels/WorkbenchFixture.h"

namespace {

class HomeActionsTest : public WorkbenchFixture {};

struct DropCase {
    const char* name;
    QStringList items;  // relative; a trailing "/" makes a folder
    QString operation;  // the engine call the drop leads to; empty: none
    QString status;     // the status text set before the operation starts
};

class DropRoutingTest : public HomeActionsTest, public ::testing::WithParamInterface<DropCase> {};

TEST_P(DropRoutingTest, archivesAreExtractedAndAnythingElseCompressed) {
    const DropCase& test = GetParam();
    QStringList urls;
    for (const QString& item : test.items) {
        urls << (item.endsWith('/') ? files.makeFolder(item.chopped(1)) : files.writeFile(item, "x"));
    }
    QStringList statuses;
    QObject::connect(&context(), &WorkbenchContext::statusMessageChanged, [&] { statuses << status(); });
    home().handleDropped(urls);
    ASSERT_TRUE(waitUntilIdle());

    if (test.operation.isEmpty()) {
        EXPECT_TRUE(engine.calls().isEmpty());
        EXPECT_TRUE(statuses.isEmpty());
        return;
    }
    ASSERT_FALSE(engine.calls().isEmpty());
    EXPECT_EQ(engine.calls().first().operation, test.operation);
    EXPECT_EQ(statuses.value(0), test.status);
    if (test.operation == "extract") {
        EXPECT_EQ(engine.calls().size(), 1);
        EXPECT_EQ(engine.calls().first().files, urls);
        EXPECT_EQ(extract().selectedArchivesForExtraction(), urls);
        return;
    }
    // Every dropped item, an archive among them too, reaches a compression.
    EXPECT_EQ(compress().selectedFilesForCompression(), urls);
    QStringList compressed;
    for (const auto& call : engine.calls()) compressed << call.files;
    EXPECT_EQ(compressed, urls);
}

INSTANTIATE_TEST_SUITE_P(Cases, DropRoutingTest,
                         ::testing::Values(DropCase{"archiveAndVolume",
                                                    {"x.zip", "y.part2.rar"},
                                                    "extract",
                                                    QStringLiteral(u"已放入 2 个压缩包，开始自动解压...")},
                                           DropCase{"oldStyleVolume",
                                                    {"data.r00"},
                                                    "extract",
                                                    QStringLiteral(u"已放入 1 个压缩包，开始自动解压...")},
                                           DropCase{"archiveAndText",
                                                    {"x.zip", "notes.txt"},
                                                    "compressSingle",
                                                    QStringLiteral(u"已放入 2 个项目，开始自动压缩...")},
                                           DropCase{"unknownFile",
                                                    {"data.bin"},
                                                    "compressSingle",
                                                    QStringLiteral(u"已放入 1 个项目，开始自动压缩...")},
                                           DropCase{"folder",
                                                    {"photos/"},
                                                    "compressSingle",
                                                    QStringLiteral(u"已放入 1 个项目，开始自动压缩...")},
                                           DropCase{"nothing", {}, {}, {}}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(HomeActionsTest, extractToChosenFolderUsesItForThisRunOnly) {
    const QString archive = files.writeFile("a.zip", "x");
    const QString folder = files.makeFolder("out");
    platform.panelAnswers = {{archive}, {folder}};
    QStringList statuses;
    QObject::connect(&context(), &WorkbenchContext::statusMessageChanged, [&] { statuses << status(); });
    home().selectArchiveAndExtractToDestination();
    EXPECT_EQ(statuses.value(0), QStringLiteral(u"已选择 1 个压缩包，开始解压到指定文件夹..."));
    ASSERT_TRUE(waitUntilIdle());
    ASSERT_EQ(engine.calls().size(), 1);
    EXPECT_EQ(engine.calls().first().destination, folder);
    EXPECT_FALSE(context().destinationURL().has_value());
    EXPECT_TRUE(settingsStore.load().defaultExtractLocationPath.isEmpty());
}

TEST_F(HomeActionsTest, cancelledFolderPanelStartsNothing) {
    platform.panelAnswers = {{files.writeFile("a.zip", "x")}};
    home().selectArchiveAndExtractToDestination();
    EXPECT_TRUE(extract().selectedArchivesForExtraction().isEmpty());
    EXPECT_TRUE(workbench.tasks().isEmpty());
}

TEST_F(HomeActionsTest, choiceThatIsNotAllArchivesIsRefused) {
    platform.panelAnswers = {{files.writeFile("a.zip", "x"), files.writeFile("b.txt", "x")}};
    home().selectArchiveAndExtract();
    EXPECT_EQ(alert(), QStringLiteral(u"请选择 ZIP、RAR 或 7Z 压缩包。"));
    EXPECT_TRUE(workbench.tasks().isEmpty());
}

TEST_F(HomeActionsTest, destinationFollowsTheStoredSettings) {
    const QString stored = files.makeFolder("stored");
    const QString chosen = files.makeFolder("chosen");
    storeSettings([&](AppSettings& settings) { settings.defaultExtractLocationPath = stored; });
    EXPECT_EQ(context().destinationURL(), stored);
    EXPECT_EQ(splitCompress().splitCompressionOutputDirectoryURL(), stored);

    // Cleared elsewhere: the destination goes, a split-compression folder stays.
    splitCompress().setSplitCompressionOutputDirectoryURL(chosen);
    storeSettings([](AppSettings& settings) { settings.defaultExtractLocationPath.clear(); });
    context().refresh();
    EXPECT_FALSE(context().destinationURL().has_value());
    EXPECT_EQ(splitCompress().splitCompressionOutputDirectoryURL(), chosen);

    // Set elsewhere while no split-compression folder was chosen: both take it.
    splitCompress().setSplitCompressionOutputDirectoryURL(std::nullopt);
    storeSettings([&](AppSettings& settings) { settings.defaultExtractLocationPath = stored; });
    context().refresh();
    EXPECT_EQ(context().destinationURL(), stored);
    EXPECT_EQ(splitCompress().splitCompressionOutputDirectoryURL(), stored);
}

// The tray monitor switches its option on at launch through the context's store.
TEST_F(HomeActionsTest, contextHearsAChangeOfItsStore) {
    int heard = 0;
    QObject::connect(&context(), &WorkbenchContext::settingsChanged, [&] { ++heard; });
    storeSettings([](AppSettings& settings) { settings.trayDropEnabled = true; });
    EXPECT_TRUE(context().settings().trayDropEnabled);
    EXPECT_EQ(heard, 1);
}

// The context's copy was loaded before another writer stored its fields.
TEST_F(HomeActionsTest, destinationChangesKeepWhatAnotherWriterStored) {
    const QString folder = files.makeFolder("out");
    platform.panelAnswers = {{folder}};
    const std::pair<std::function<void()>, QString> changes[] = {
        {[&] { context().selectDestination(); }, folder},
        {[&] { context().resetDestinationToCurrentLocation(); }, QString()},
    };
    context();
    SettingsStore other(DefaultsStore(defaultsFolder.path()), {});
    for (const auto& [change, path] : changes) {
        other.update([](AppSettings& settings) {
            settings.trayDropEnabled = true;
            settings.ignoreHiddenFilesWhenCompressing = false;
        });

        change();
        const AppSettings stored = settingsStore.load();
        EXPECT_EQ(stored.defaultExtractLocationPath, path);
        EXPECT_TRUE(stored.trayDropEnabled);
        EXPECT_FALSE(stored.ignoreHiddenFilesWhenCompressing);
    }
}

}  // namespace
