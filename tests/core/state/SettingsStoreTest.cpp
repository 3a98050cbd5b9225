#include "core/state/SettingsStore.h"
#include "support/FullDisk.h"
#include "support/TempTree.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QThread>
#include <functional>

namespace {

const QString kDownloads = QStringLiteral("/home/u/Downloads");

AppSettings defaultsWith(const std::function<void(AppSettings&)>& change) {
    AppSettings settings = AppSettings::defaults();
    change(settings);
    return settings;
}

TEST(SettingsStore, LoadDecodesEachMemberOrFallsBackWhole) {
    const AppSettings defaults = AppSettings::defaults();
    const std::pair<QByteArray, AppSettings> cases[] = {
        {"{}", defaults},
        {R"({"deleteSourceAfterExtract":true})",
         defaultsWith([](auto& s) { s.deleteSourceAfterExtract = true; })},
        {R"({"deleteSourceAfterCompress":true})",
         defaultsWith([](auto& s) { s.deleteSourceAfterCompress = true; })},
        // A record written before the compression switch existed keeps its values; the switch is off.
        {R"({"defaultExtractLocationPath":"","extractToSeparateFolder":true,"deleteSourceAfterExtract":true,)"
         R"("setAsDefaultExtractor":false,"contextMenuEnabled":false,"launchAtLogin":false,)"
         R"("menuBarDropEnabled":false,"compressionThreadCount":2,"compressToSeparateFolder":false,)"
         R"("ignoreHiddenFilesWhenCompressing":true,"archivePasswordBookEnabled":true,)"
         R"("archivePasswordBookAutoSaveEnabled":true})",
         defaultsWith([](auto& s) {
             s.deleteSourceAfterExtract = true;
             s.compressionThreadCount = 2;
             s.compressToSeparateFolder = false;
         })},
        {R"({"compressionThreadCount":0})", defaultsWith([](auto& s) { s.compressionThreadCount = 0; })},
        {R"({"compressionThreadCount":-3})", defaultsWith([](auto& s) { s.compressionThreadCount = -3; })},
        {R"({"compressionThreadCount":9007199254740993})",
         defaultsWith([](auto& s) { s.compressionThreadCount = 9007199254740993; })},
        {R"({"compressionThreadCount":4.0})", defaultsWith([](auto& s) { s.compressionThreadCount = 4; })},
        {R"({"defaultExtractLocationPath":"/data/出口","launchAtLogin":null,"extra":[1]})",
         defaultsWith([](auto& s) { s.defaultExtractLocationPath = QStringLiteral(u"/data/出口"); })},
        // One member of the wrong type resets every member, not only its own.
        {R"({"deleteSourceAfterExtract":true,"compressionThreadCount":"4"})", defaults},
        {R"({"deleteSourceAfterExtract":true,"launchAtLogin":1})", defaults},
        {R"({"deleteSourceAfterExtract":true,"defaultExtractLocationPath":7})", defaults},
        {R"({"compressionThreadCount":4.5})", defaults},
        {R"({"compressionThreadCount":9223372036854775808})", defaults},
        {"[]", defaults},
        {"5", defaults},
        {"not json", defaults},
        {R"({"launchAtLogin":true} trailing)", defaults},
    };
    for (const auto& [stored, expected] : cases) {
        TempTree tree;
        DefaultsStore defaultsStore(tree.root());
        defaultsStore.setData("settings", stored);
        EXPECT_EQ(SettingsStore(defaultsStore, {kDownloads}).load(), expected) << stored.toStdString();
        EXPECT_EQ(defaultsStore.data("settings"), stored) << "loading rewrote " << stored.toStdString();
    }
}

TEST(SettingsStore, NothingStoredGivesDefaultsAndWritesNothing) {
    TempTree tree;
    const AppSettings loaded = SettingsStore(DefaultsStore(tree.root()), {kDownloads}).load();
    EXPECT_EQ(loaded, AppSettings::defaults());
    // Out of the box nothing is deleted and compression uses every processor.
    EXPECT_FALSE(loaded.deleteSourceAfterExtract);
    EXPECT_FALSE(loaded.deleteSourceAfterCompress);
    EXPECT_EQ(loaded.compressionThreadCount, std::max(QThread::idealThreadCount(), 1));
    EXPECT_FALSE(QFile::exists(tree.path("settings.json")));
}

TEST(SettingsStore, SavedRecordLoadsEqualAndHasEveryMember) {
    TempTree tree;
    SettingsStore store(DefaultsStore(tree.root()), {kDownloads});
    AppSettings settings;
    settings.defaultExtractLocationPath = QStringLiteral(u"/data/下载 备份");
    settings.extractToSeparateFolder = false;
    settings.deleteSourceAfterExtract = true;
    settings.deleteSourceAfterCompress = true;
    settings.trayDropEnabled = true;
    settings.compressionThreadCount = 3;
    settings.archivePasswordBookAutoSaveEnabled = false;
    store.update([&](AppSettings& stored) { stored = settings; });

    EXPECT_EQ(SettingsStore(DefaultsStore(tree.root()), {kDownloads}).load(), settings);
    const QByteArray bytes = tree.readFile("settings.json");
    EXPECT_EQ(QJsonDocument::fromJson(bytes).object().size(), 13);
    EXPECT_FALSE(bytes.contains('\n'));
    EXPECT_FALSE(QFile::exists(tree.path("settings.json.bad")));
}

TEST(SettingsStore, DownloadsFolderDestinationBecomesNextToTheSource) {
    const QString decomposed = QStringLiteral(u"/home/u/Te\u0301le\u0301chargements");
    const QString precomposed = QStringLiteral(u"/home/u/T\u00e9l\u00e9chargements");
    const std::tuple<QString, QStringList, QString> cases[] = {
        {kDownloads, {kDownloads, "/other"}, ""},           {decomposed, {precomposed}, ""},
        {kDownloads + "/", {kDownloads}, kDownloads + "/"}, {kDownloads, {}, kDownloads},
        {kDownloads, {"/other", kDownloads}, kDownloads},
    };
    for (const auto& [path, downloadsFolders, expected] : cases) {
        TempTree tree;
        SettingsStore(DefaultsStore(tree.root()), {}).update([&, path = path](AppSettings& stored) {
            stored.defaultExtractLocationPath = path;
        });

        EXPECT_EQ(
            SettingsStore(DefaultsStore(tree.root()), downloadsFolders).load().defaultExtractLocationPath,
            expected);
        // The migration is written back, so even a store that knows no Downloads folder sees it.
        EXPECT_EQ(SettingsStore(DefaultsStore(tree.root()), {}).load().defaultExtractLocationPath, expected);
    }
}

TEST(SettingsStore, UndecodableValueIsKeptOnceWhenReplaced) {
    TempTree tree;
    DefaultsStore defaultsStore(tree.root());
    const QByteArray bad = R"({"launchAtLogin":"yes","defaultExtractLocationPath":"/data/mine"})";
    defaultsStore.setData("settings", bad);
    const QDateTime now(QDate(2026, 12, 9), QTime(21, 3), Qt::UTC);
    SettingsStore store(defaultsStore, {kDownloads}, [&] { return now; });
    AppSettings settings = store.load();
    const QString kept = "settings.json.bad-20261209T210300Z";
    EXPECT_FALSE(QFile::exists(tree.path(kept)));

    settings.contextMenuEnabled = true;
    EXPECT_EQ(store.update([](AppSettings& stored) { stored.contextMenuEnabled = true; }), std::nullopt);
    EXPECT_EQ(tree.readFile(kept), bad);
    EXPECT_EQ(store.load(), settings);

    // A value that decodes is simply replaced; the kept copy stays as it was.
    store.update([](AppSettings& stored) { stored.launchAtLogin = true; });
    EXPECT_EQ(tree.readFile(kept), bad);
    EXPECT_EQ(QDir(tree.root()).entryList({"settings.json.bad*"}, QDir::Files).size(), 1);
}

TEST(SettingsStore, AFullDiskKeepsTheStoredRecordAndSaysWhy) {
    FullDisk disk;
    SettingsStore store(DefaultsStore(disk.path()), {});
    ASSERT_EQ(store.update([](AppSettings&) {}), std::nullopt);
    int heard = 0;
    QObject::connect(&store, &SettingsStore::changed, [&] { ++heard; });

    disk.fill();
    EXPECT_EQ(store.update([](AppSettings& settings) { settings.launchAtLogin = true; }), disk.reason());
    EXPECT_EQ(heard, 0);
    disk.free();
    EXPECT_EQ(store.load(), AppSettings::defaults());
    EXPECT_EQ(QDir(disk.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"settings.json"});
}

TEST(AppSettings, PathsCompareByCanonicalEquivalence) {
    AppSettings decomposed, precomposed;
    decomposed.defaultExtractLocationPath = QStringLiteral(u"/e\u0301");
    precomposed.defaultExtractLocationPath = QStringLiteral(u"/\u00e9");
    EXPECT_EQ(decomposed, precomposed);
    precomposed.compressionThreadCount += 1;
    EXPECT_NE(decomposed, precomposed);
    decomposed = precomposed;
    decomposed.archivePasswordBookEnabled = false;
    EXPECT_NE(decomposed, precomposed);
}

}  // namespace
