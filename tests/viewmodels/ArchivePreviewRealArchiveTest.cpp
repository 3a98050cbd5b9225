// The browser model over the real content service, archive service and tools.
#include "core/content/ArchivePreviewService.h"
#include "core/engine/ArchiveService.h"
#include "core/engine/CompressionService.h"
#include "support/LegacyArchives.h"
#include "support/ZipBytes.h"
#include "viewmodels/ArchiveContentBrowserServices.h"
#include "viewmodels/BrowserFixture.h"

#include <QDir>
#include <QFileInfo>

#include <filesystem>

#include <csignal>

namespace {

class RealArchiveTest : public BrowserFixture {
protected:
    RealArchiveTest() {
        files.writeFile(QStringLiteral("sample/docs/readme.txt"), "readme");
        files.writeFile(QStringLiteral("sample/a.txt"), "alpha");
        files.writeFile(QStringLiteral("extra.txt"), "extra");
    }

    QString sevenZip(const QString& name, const QStringList& switches = {}) {
        const QString archive = files.path(name);
        runTool(QStringLiteral("/usr/bin/7zz"),
                QStringList{QStringLiteral("a")} + switches + QStringList{archive, "docs", "a.txt"},
                files.path(QStringLiteral("sample")));
        return archive;
    }

    ArchivePreviewWindowModel& openReal(const QStringList& archives) {
        m_model = ArchivePreviewWindowModel::create(archives, realServices, settingsStore, passwordBook,
                                                    platform, std::nullopt, &workers);
        closed = false;
        m_model->closeWindow = [this] { closed = true; };
        return *m_model;
    }
    ArchivePreviewWindowModel& openReal(const QString& archive) { return openReal(QStringList{archive}); }

    bool waitUntilListed(ArchivePreviewWindowModel& model) {
        return waitFor([&] { return !model.isLoading(); });
    }

    // Opens an encrypted archive and answers the prompt with the password.
    ArchivePreviewWindowModel& openWithPassword(const QString& archive, const QString& password) {
        ArchivePreviewWindowModel& model = openReal(archive);
        EXPECT_TRUE(waitFor([&] { return model.passwordPrompt().has_value() && !model.isLoading(); }));
        model.submitPromptPassword(password);
        EXPECT_TRUE(waitFor([&] { return !model.isLoading(); }));
        return model;
    }

    QByteArray previewed(ArchivePreviewWindowModel& model, const QString& path) {
        model.setSelectedEntryID(path);
        model.updatePreviewForSelection();
        if (!waitFor([&] { return model.previewFileURL().has_value() && !model.isPreviewLoading(); }))
            return model.previewMessage().toUtf8();
        QFile preview(*model.previewFileURL());
        return preview.open(QIODevice::ReadOnly) ? preview.readAll() : QByteArray();
    }

    static QStringList paths(const QList<ArchivePreviewEntry>& entries) {
        QStringList result;
        for (const ArchivePreviewEntry& entry : entries) result << entry.path;
        return result;
    }

    void TearDown() override {
        m_model.reset();
        BrowserFixture::TearDown();
    }

    ArchivePreviewService previewService;
    ArchiveService archiveService{ArchiveService::standardExtractors(),
                                  std::make_shared<CompressionService>()};
    ArchiveContentBrowserServices realServices{previewService, archiveService};
    std::shared_ptr<ArchivePreviewWindowModel> m_model;
    // Whether the window opened last closed itself.
    bool closed = false;
};

TEST_F(RealArchiveTest, EncryptedHeadersPromptThenListWithTheRightPassword) {
    ArchivePreviewWindowModel& browser =
        openReal(sevenZip(QStringLiteral("secret.7z"), {"-psecret", "-mhe=on"}));
    ASSERT_TRUE(waitFor([&] { return browser.passwordPrompt().has_value(); }));
    EXPECT_TRUE(browser.entries().isEmpty());
    browser.submitPromptPassword(QStringLiteral("wrong"));
    ASSERT_TRUE(waitFor([&] { return browser.passwordPrompt().has_value() && !browser.isLoading(); }));
    browser.submitPromptPassword(QStringLiteral("secret"));
    ASSERT_TRUE(waitFor([&] { return !browser.entries().isEmpty() && !browser.isLoading(); }));
    EXPECT_FALSE(browser.passwordPrompt());
    EXPECT_EQ(paths(browser.filteredEntries()), QStringList({"docs/", "a.txt"}));
}

// A ZIP's names are not encrypted: it lists with any password, so only a decrypted entry proves one.
TEST_F(RealArchiveTest, AZipCryptoPasswordIsRememberedOnlyOnceItDecrypts) {
    const QString archive = files.path(QStringLiteral("crypt.zip"));
    runTool(QStringLiteral("/usr/bin/zip"), {"-q", "-r", "-P", "secret", archive, "docs", "a.txt"},
            files.path(QStringLiteral("sample")));
    ArchivePreviewWindowModel& browser = openWithPassword(archive, QStringLiteral("wrong"));
    ASSERT_TRUE(browser.passwordPrompt().has_value());
    EXPECT_EQ(browser.statusMessage(), ArchiveError::wrongPassword().message());
    EXPECT_TRUE(browser.password().isEmpty());
    EXPECT_TRUE(passwordBook.entries().isEmpty());
    browser.submitPromptPassword(QStringLiteral("secret"));
    ASSERT_TRUE(waitFor([&] { return !browser.isLoading(); }));
    EXPECT_FALSE(browser.passwordPrompt());
    EXPECT_EQ(paths(browser.filteredEntries()), QStringList({"docs/", "a.txt"}));
    EXPECT_EQ(passwordBook.candidatePasswords(archive), QStringList{QStringLiteral("secret")});
}

// 全部解压 of several: each gets the book's passwords; the one none opens is asked for and runs alone again.
TEST_F(RealArchiveTest, ExtractAllOfSeveralGivesEachArchiveItsPasswordAndRunsAgainOnlyWhatFailed) {
    const QString booked = sevenZip("enc4.zip", {"-tzip", "-psecret"});
    passwordBook.addManualPassword("secret", "x", ArchivePasswordBookKind::extraction);
    ArchivePreviewWindowModel& browser =
        openReal({sevenZip("small.zip", {"-tzip"}), booked, sevenZip("enc5.7z", {"-pother", "-mhe=on"})});
    ASSERT_TRUE(waitUntilListed(browser));
    browser.extractAll();
    ASSERT_TRUE(waitFor([&] { return browser.passwordPrompt().has_value() && !browser.isLoading(); }));
    EXPECT_EQ(browser.passwordPrompt()->message, u"enc5.7z：密码错误或压缩包需要密码。"_qs);
    for (const char* extracted : {"small/a.txt", "enc4/a.txt"})
        EXPECT_TRUE(QFileInfo(files.path(extracted)).isFile()) << extracted;
    EXPECT_EQ(passwordBook.candidatePasswords(booked).value(0), QStringLiteral("secret"));
    EXPECT_FALSE(closed);

    browser.submitPromptPassword(QStringLiteral("other"));
    ASSERT_TRUE(waitFor([&] { return closed && !browser.isLoading(); }));
    EXPECT_EQ(browser.statusMessage(), QStringLiteral(u"解压完成：enc5"));
    EXPECT_TRUE(QFileInfo(files.path("enc5/a.txt")).isFile());
    for (const char* again : {"small 1", "enc4 1"})
        EXPECT_FALSE(QFileInfo::exists(files.path(again))) << again;
}

TEST_F(RealArchiveTest, ExtractingASelectionTwiceMakesASecondFolder) {
    const QString archive = sevenZip(QStringLiteral("x.zip"), {"-tzip"});
    for (const QString& folder : {QStringLiteral("readme.txt 提取"), QStringLiteral("readme.txt 提取 1")}) {
        ArchivePreviewWindowModel& browser = openReal(archive);
        ASSERT_TRUE(waitUntilListed(browser));
        browser.setSelectedEntryID(QStringLiteral("docs/readme.txt"));
        browser.extractSelected();
        ASSERT_TRUE(waitFor([&] { return closed; })) << browser.statusMessage().toStdString();
        EXPECT_EQ(files.readFile(folder + QStringLiteral("/docs/readme.txt")), "readme");
    }
}

TEST_F(RealArchiveTest, DeletesAndAddsInPlaceInZipAnd7z) {
    for (const QString& archive :
         {sevenZip(QStringLiteral("e.zip"), {"-tzip"}), sevenZip(QStringLiteral("e.7z"))}) {
        SCOPED_TRACE(archive.toStdString());
        ArchivePreviewWindowModel& browser = openReal(archive);
        ASSERT_TRUE(waitUntilListed(browser));
        browser.setSelectedEntryID(QStringLiteral("a.txt"));
        browser.deleteSelected();
        ASSERT_TRUE(
            waitFor([&] { return !browser.isLoading() && !paths(browser.entries()).contains("a.txt"); }));
        platform->itemsToAdd = QStringList{files.path(QStringLiteral("extra.txt"))};
        browser.addFiles();
        ASSERT_TRUE(
            waitFor([&] { return !browser.isLoading() && paths(browser.entries()).contains("extra.txt"); }));
        EXPECT_EQ(paths(browser.filteredEntries()), QStringList({"docs/", "extra.txt"}));

        // The same name again replaces the entry only once the user says "替换".
        platform->itemsToAdd = QStringList{files.writeFile(QStringLiteral("newer/extra.txt"), "newer")};
        for (const bool replace : {false, true}) {
            platform->confirmsReplacement = replace;
            browser.addFiles();
            ASSERT_TRUE(waitFor([&] { return !browser.isLoading(); }));
            EXPECT_EQ(previewed(browser, QStringLiteral("extra.txt")), replace ? "newer" : "extra");
        }
        EXPECT_EQ(platform->confirmations.count(QStringLiteral(u"压缩包中已有 1 个同名项目，是否替换？")), 2);
        platform->confirmations.clear();
    }
}

// Two windows on one archive (the second through a link), an edit in each at once: the second waits
// for the first, held running, and starts from its result, and both windows then list both edits.
// The first window closed while its tool runs: its edit is undone and the second still goes in. The
// first edit has megabytes to compress, so that its tool is caught running.
TEST_F(RealArchiveTest, TwoWindowsEditingOneArchiveAtOnceKeepBothEdits) {
    runTool("/bin/sh", {"-c", "head -c 8000000 /dev/urandom > big.bin"}, files.makeFolder("bulk"));
    const struct {
        const char* archive;
        bool deletingFirst;
        bool firstClosed;
        QStringList held;
    } cases[] = {{"e.zip", false, false, {"big.bin", "docs/"}},
                 {"e.7z", true, false, {"big.bin", "docs/", "extra.txt"}},
                 {"c.7z", true, true, {"a.txt", "big.bin", "docs/", "extra.txt"}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.archive);
        const QString archive = files.path(QString::fromLatin1(c.archive));
        // Deleting a.txt repacks the one solid block it shares with big.bin.
        runTool("/usr/bin/7zz",
                c.deletingFirst ? QStringList{"a", "-bd", "-m0=PPMd:mem=16m:o=2", archive, "docs", "a.txt",
                                              files.path("bulk/big.bin")}
                                : QStringList{"a", "-bd", archive, "docs", "a.txt"},
                files.path("sample"));
        const QString link = files.path(QStringLiteral("link-") + QString::fromLatin1(c.archive));
        ASSERT_TRUE(QFile::link(archive, link));
        auto deleting = ArchivePreviewWindowModel::create({archive}, realServices, settingsStore,
                                                          passwordBook, platform, std::nullopt, &workers);
        auto adding = ArchivePreviewWindowModel::create({link}, realServices, settingsStore, passwordBook,
                                                        platform, std::nullopt, &workers);
        ASSERT_TRUE(waitFor([&] { return !deleting->isLoading() && !adding->isLoading(); }));
        deleting->setSelectedEntryID(QStringLiteral("a.txt"));
        platform->itemsToAdd = QStringList{files.path(c.deletingFirst ? "extra.txt" : "bulk/big.bin")};
        ArchivePreviewWindowModel& first = c.deletingFirst ? *deleting : *adding;
        ArchivePreviewWindowModel& second = c.deletingFirst ? *adding : *deleting;
        const auto edit = [](ArchivePreviewWindowModel& model, bool deletes) {
            deletes ? model.deleteSelected() : model.addFiles();
        };
        edit(first, c.deletingFirst);
        const pid_t tool = holdRunningTool("7zz", c.deletingFirst ? "d" : "a");
        ASSERT_NE(tool, 0);
        edit(second, !c.deletingFirst);
        EXPECT_EQ(second.statusMessage(), QStringLiteral(u"正在等待此压缩包的其他操作完成..."));
        if (c.firstClosed) {
            EXPECT_TRUE(first.mayCloseWindow());
        } else {
            ::kill(tool, SIGCONT);
        }
        const auto listed = [](const ArchivePreviewWindowModel& model) {
            QStringList names = paths(model.filteredEntries());
            names.sort();
            return names;
        };
        ASSERT_TRUE(waitFor([&] {
            return !second.isLoading() && listed(second) == c.held &&
                   (c.firstClosed || (!first.isLoading() && listed(first) == c.held));
        })) << first.statusMessage().toStdString()
            << " / " << second.statusMessage().toStdString();
        EXPECT_FALSE(second.statusMessage().contains(QStringLiteral(u"失败")));
        EXPECT_EQ(QDir(files.path({})).entryList({".velmoraEdit-*"}, QDir::Dirs | QDir::Hidden),
                  QStringList());
        deleting.reset();
        adding.reset();
        deliver();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

// Its names are encrypted: every edit needs the password that opened it.
TEST_F(RealArchiveTest, EditsA7zWithEncryptedNamesWithThePasswordThatOpenedIt) {
    ArchivePreviewWindowModel& browser = openWithPassword(
        sevenZip(QStringLiteral("names.7z"), {"-psecret", "-mhe=on"}), QStringLiteral("secret"));
    ASSERT_EQ(paths(browser.filteredEntries()), QStringList({"docs/", "a.txt"}));
    browser.setSelectedEntryID(QStringLiteral("a.txt"));
    browser.deleteSelected();
    ASSERT_TRUE(waitFor([&] { return !browser.isLoading() && !paths(browser.entries()).contains("a.txt"); }))
        << browser.statusMessage().toStdString();
    platform->itemsToAdd = QStringList{files.path(QStringLiteral("extra.txt"))};
    browser.addFiles();
    ASSERT_TRUE(waitFor([&] {
        return !browser.isLoading() && paths(browser.entries()).contains("extra.txt");
    })) << browser.statusMessage().toStdString();
    EXPECT_EQ(previewed(browser, QStringLiteral("extra.txt")), "extra");
    EXPECT_FALSE(browser.passwordPrompt());
}

TEST_F(RealArchiveTest, ExtractingAllOverTakenNamesSaysHowManyWereRenamed) {
    storeSettings([](AppSettings& settings) { settings.extractToSeparateFolder = false; });
    const QString archive = sevenZip(QStringLiteral("x.zip"), {"-tzip"});
    files.writeFile(QStringLiteral("a.txt"), "mine");
    ArchivePreviewWindowModel& browser = openReal(archive);
    ASSERT_TRUE(waitUntilListed(browser));
    browser.extractAll();
    ASSERT_TRUE(waitUntilListed(browser));
    EXPECT_TRUE(browser.statusMessage().endsWith(QStringLiteral(u"，1 项因重名已改名")))
        << browser.statusMessage().toStdString();
    EXPECT_FALSE(closed) << "left open to say so";
    EXPECT_EQ(files.readFile(QStringLiteral("a.txt")), "mine");
    EXPECT_EQ(files.readFile(QStringLiteral("a 1.txt")), "alpha");
}

// Of several archives, those that extract do, and the window stays to name each one that failed.
TEST_F(RealArchiveTest, ExtractingSeveralNamesTheArchivesThatFailed) {
    ArchivePreviewWindowModel& browser =
        openReal({sevenZip(QStringLiteral("good.zip"), {"-tzip"}),
                  files.writeFile(QStringLiteral("bad.zip"), "not a zip at all"),
                  sevenZip(QStringLiteral("other.7z"))});
    ASSERT_TRUE(waitUntilListed(browser));
    browser.extractAll();
    ASSERT_TRUE(waitUntilListed(browser));
    EXPECT_EQ(browser.statusMessage(),
              QStringLiteral(u"已解压 2 个压缩包，1 个失败：bad.zip：压缩包可能已损坏，无法读取。"));
    EXPECT_FALSE(closed);
    EXPECT_EQ(platform->revealed, (QList<QStringList>{{files.path("good"), files.path("other")}}));
}

// A tool's banner and table never reach the window: one line says why, also for the files of which
// 7-Zip says only "ERROR: <path>" and that it cannot open them.
TEST_F(RealArchiveTest, AFailingListingSaysSoInOneLine) {
    for (const auto& [name, contents] : {std::pair("broken.7z", "not an archive"), std::pair("empty.7z", ""),
                                         std::pair("empty.tar.gz", ""), std::pair("solo.7z.001", "text\n")}) {
        SCOPED_TRACE(name);
        ArchivePreviewWindowModel& browser = openReal(files.writeFile(QString::fromUtf8(name), contents));
        ASSERT_TRUE(waitUntilListed(browser));
        EXPECT_EQ(browser.statusMessage(), QStringLiteral(u"无法读取压缩包：压缩包可能已损坏，无法读取。"));
        EXPECT_FALSE(browser.passwordPrompt());
    }
}

// ZIPs only unzip reads whole, and ZIPs from DOS or Windows where "\" separates folders (in code-page
// and UTF-8 names): each lists, previews and extracts, whole and as a selection.
TEST_F(RealArchiveTest, ZipsOnlyUnzipReadsAndWindowsFoldersOpenInTheBrowser) {
    for (const QString level : {"0", "6"})
        runTool(QStringLiteral("/usr/bin/zip"),
                {"-q", "-r", "-" + level, files.path(level + ".zip"), "docs", "a.txt"},
                files.path(QStringLiteral("sample")));
    QList<std::pair<QString, QByteArray>> zips{
        {"dos.zip", LegacyArchives::zip({{"\x84\\"}, {"\x84\\\x81.txt", "umlaut"}})},
        {"ntfs.zip",
         LegacyArchives::zip({{QByteArray("ä\\ü.txt"), "umlaut", true}}, LegacyArchives::Host{11})}};
    zips += ZipBytes::readByUnzipOnly(files.readFile("0.zip"), files.readFile("6.zip"));
    for (const auto& [name, bytes] : zips) {
        SCOPED_TRACE(name.toStdString());
        const bool windows = name == "dos.zip" || name == "ntfs.zip";
        const QString file = windows ? QStringLiteral(u"ä/ü.txt") : QStringLiteral("docs/readme.txt");
        const QByteArray contents = windows ? "umlaut" : "readme";
        ArchivePreviewWindowModel& browser = openReal(files.writeFile(name, bytes));
        ASSERT_TRUE(waitUntilListed(browser));
        EXPECT_EQ(paths(browser.filteredEntries()),
                  (windows ? QStringList{QStringLiteral(u"ä/")} : QStringList{"docs/", "a.txt"}));
        EXPECT_EQ(previewed(browser, file), contents);
        browser.extractSelected();
        ASSERT_TRUE(waitFor([&] { return closed; })) << browser.statusMessage().toStdString();
        const QString selection = file.section('/', -1) + QStringLiteral(u" 提取");
        EXPECT_EQ(files.readFile(selection + '/' + file), contents);
        QDir(files.path(selection)).removeRecursively();
        browser.extractAll();
        ASSERT_TRUE(waitUntilListed(browser));
        EXPECT_EQ(files.readFile(QFileInfo(name).completeBaseName() + '/' + file), contents);
    }
}

// A ZIP from a Unix host whose names are code page 437 bytes: no decoding applies, yet every entry is
// a row of its own under a readable name, previews, and extracts under its bytes.
TEST_F(RealArchiveTest, NamesWithoutADecodingEachHaveAReadableRow) {
    QList<LegacyArchives::Item> items;
    for (int index = 0; index < 16; ++index) {
        QByteArray name;
        for (int byte = 0; byte < 16; ++byte) name += char(0x80 + 16 * index + byte);
        items.emplaceBack(index < 8 ? name : QByteArray("plain-" + QByteArray::number(index) + ".txt"),
                          "data " + QByteArray::number(index));
    }
    ArchivePreviewWindowModel& browser = openReal(
        files.writeFile(QStringLiteral("cp437.zip"), LegacyArchives::zip(items, LegacyArchives::Host::unix)));
    ASSERT_TRUE(waitUntilListed(browser));
    QStringList rows = paths(browser.filteredEntries());
    ASSERT_EQ(QSet<QString>(rows.begin(), rows.end()).size(), 16) << rows.join(u' ').toStdString();
    EXPECT_FALSE(rows.join(QString()).contains(QChar::ReplacementCharacter)) << rows.join(u' ').toStdString();
    rows.removeIf([](const QString& row) { return row.startsWith(QStringLiteral("plain-")); });
    QSet<QByteArray> previews;
    for (const QString& row : rows) previews << previewed(browser, row);
    EXPECT_EQ(previews, (QSet<QByteArray>{"data 0", "data 1", "data 2", "data 3", "data 4", "data 5",
                                          "data 6", "data 7"}));
    // The row previewed last is selected.
    const QByteArray name = items[previewed(browser, rows.last()).mid(5).toInt()].name;
    browser.extractSelected();
    ASSERT_TRUE(waitFor([&] { return closed; })) << browser.statusMessage().toStdString();
    const QString folder = files.path(rows.last() + QStringLiteral(u" 提取"));
    EXPECT_EQ(LegacyArchives::diskNames(folder), QList<QByteArray>{name});
    // Qt cannot name the item to remove it with the temporary folder.
    std::filesystem::remove_all(QFile::encodeName(folder).toStdString());
}

// Names that say "encrypted" or "passwords" ask for no password: a set missing a volume, or an archive
// that is gone, says what is wrong.
TEST_F(RealArchiveTest, AMissingVolumeOrArchiveIsNoPasswordProblem) {
    files.writeFile(QStringLiteral("volumes/backup.bin"), QByteArray(70000, 'x'));
    const QString set = files.path(QStringLiteral("volumes/encrypted-backup.7z"));
    const QString cut = files.path(QStringLiteral("volumes/cut.7z"));
    // Stored, so five volumes; without its last one 7-Zip says only that the archive ends early.
    for (const QString& archive : {set, cut})
        runTool(QStringLiteral("/usr/bin/7zz"), {"a", "-v16k", "-mx0", archive, "backup.bin"},
                files.path(QStringLiteral("volumes")));
    ASSERT_TRUE(QFile::remove(set + QStringLiteral(".003")) && QFile::remove(cut + QStringLiteral(".005")));
    const QString gone = files.makeFolder(QStringLiteral("passwords")) + QStringLiteral("/gone.7z");
    const struct {
        QString archive;
        QString status;
    } cases[] = {
        {set + QStringLiteral(".001"), QStringLiteral(u"无法读取压缩包：缺少分卷：encrypted-backup.7z.003")},
        {cut + QStringLiteral(".002"), QStringLiteral(u"无法读取压缩包：缺少分卷：cut.7z.005")},
        {gone, QStringLiteral(u"无法读取压缩包：文件不存在：") + gone},
    };
    for (const auto& testCase : cases) {
        ArchivePreviewWindowModel& browser = openReal(testCase.archive);
        ASSERT_TRUE(waitUntilListed(browser));
        EXPECT_EQ(browser.statusMessage(), testCase.status);
        EXPECT_FALSE(browser.passwordPrompt());
    }
}

// 7-Zip follows "Is not archive" with "errno=1": still not an archive, no permission problem.
TEST_F(RealArchiveTest, AddingToAFileThatIsNoArchiveSaysSo) {
    const QString archive = files.writeFile(QStringLiteral("notes.zip"), "plain text");
    ArchivePreviewWindowModel& browser = openReal(archive);
    ASSERT_TRUE(waitUntilListed(browser));
    platform->itemsToAdd = QStringList{files.path(QStringLiteral("extra.txt"))};
    browser.addFiles();
    ASSERT_TRUE(waitFor([&] { return !browser.isLoading(); }));
    EXPECT_EQ(browser.statusMessage(), ArchiveError::corruptedArchive().message());
    EXPECT_EQ(files.readFile(QStringLiteral("notes.zip")), "plain text");
}

TEST_F(RealArchiveTest, ACompressedTarListsAndPreviewsItsFiles) {
    const QString archive = files.path(QStringLiteral("p.tar.xz"));
    runTool(QStringLiteral("/usr/bin/tar"), {"-cJf", archive, "--", "docs", "a.txt"},
            files.path(QStringLiteral("sample")));
    ArchivePreviewWindowModel& browser = openReal(archive);
    ASSERT_TRUE(waitUntilListed(browser));
    EXPECT_EQ(paths(browser.filteredEntries()), QStringList({"docs/", "a.txt"}));
    browser.setSelectedEntryID(QStringLiteral("a.txt"));
    browser.updatePreviewForSelection();
    ASSERT_TRUE(waitFor([&] { return browser.previewFileURL().has_value(); }))
        << browser.previewMessage().toStdString();
    QFile preview(*browser.previewFileURL());
    ASSERT_TRUE(preview.open(QIODevice::ReadOnly));
    EXPECT_EQ(preview.readAll(), "alpha");
}

// Names list as a Chinese file manager lists them: folders first, Chinese by pinyin ahead of Latin
// names (the Chinese collation's own order), numbers by value, case ignored.
TEST_F(RealArchiveTest, NamesSortByPinyinAndNumberValue) {
    const QLocale::Language language = QLocale::system().collation().language();
    if (language != QLocale::C && language != QLocale::Chinese) GTEST_SKIP() << "another collation locale";
    const QStringList names{QStringLiteral(u"文件10.txt"), QStringLiteral(u"上海.txt"),
                            QStringLiteral(u"b.txt"),      QStringLiteral(u"文件2.txt"),
                            QStringLiteral(u"阿里.txt"),   QStringLiteral(u"A.txt"),
                            QStringLiteral(u"北京.txt"),   QStringLiteral(u"文件1.txt")};
    for (const QString& name : names) files.writeFile(QStringLiteral("names/") + name, "x");
    files.writeFile(QStringLiteral(u"names/资料/说明.txt"), "x");
    const QString archive = files.path(QStringLiteral("names.7z"));
    runTool(QStringLiteral("/usr/bin/7zz"), {"a", archive, "."}, files.path(QStringLiteral("names")));

    ArchivePreviewWindowModel& browser = openReal(archive);
    ASSERT_TRUE(waitUntilListed(browser));
    EXPECT_EQ(paths(browser.filteredEntries()),
              (QStringList{QStringLiteral(u"资料/"), QStringLiteral(u"阿里.txt"), QStringLiteral(u"北京.txt"),
                           QStringLiteral(u"上海.txt"), QStringLiteral(u"文件1.txt"),
                           QStringLiteral(u"文件2.txt"), QStringLiteral(u"文件10.txt"), "A.txt", "b.txt"}));
}

}  // namespace
