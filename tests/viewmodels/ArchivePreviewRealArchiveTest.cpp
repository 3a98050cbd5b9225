// The browser model over the real content service, archive service and tools.
#include "core/content/ArchivePreviewService.h"
#include "core/engine/ArchiveService.h"
#include "core/engine/CompressionService.h"
#include "viewmodels/ArchiveContentBrowserServices.h"
#include "viewmodels/BrowserFixture.h"

#include <QDir>

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

    ArchivePreviewWindowModel& openReal(const QString& archive) {
        m_model = ArchivePreviewWindowModel::create({archive}, realServices, settingsStore, passwordBook,
                                                    platform, std::nullopt, &workers);
        return *m_model;
    }

    bool waitUntilListed(ArchivePreviewWindowModel& model) {
        return waitFor([&] { return !model.isLoading(); });
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

TEST_F(RealArchiveTest, ExtractingASelectionTwiceMakesASecondFolder) {
    const QString archive = sevenZip(QStringLiteral("x.zip"), {"-tzip"});
    for (const QString& folder : {QStringLiteral("readme.txt 提取"), QStringLiteral("readme.txt 提取 1")}) {
        ArchivePreviewWindowModel& browser = openReal(archive);
        ASSERT_TRUE(waitUntilListed(browser));
        bool closed = false;
        browser.closeWindow = [&closed] { closed = true; };
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
    }
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
