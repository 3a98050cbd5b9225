#include "core/base/FileSystemError.h"
#include "support/FullDisk.h"
#include "viewmodels/BrowserFixture.h"

#include <QDir>
#include <QPointer>
#include <QSignalSpy>

namespace {

using Answer = FakeBrowserServices::Answer;

TEST_F(BrowserFixture, PreloadedEntriesShowAtOnceWithoutAListing) {
    ArchivePreviewWindowModel& browser = openListed({row("a.txt"), row("b/")});
    browser.startInitialLoadIfNeeded();
    EXPECT_EQ(browser.statusMessage(), QStringLiteral(u"已读取 2 个项目。"));
    EXPECT_EQ(services.callCount(), 0);
}

TEST_F(BrowserFixture, SeveralArchivesShowOneRowEachAndNoPreview) {
    ArchivePreviewWindowModel& browser =
        open({files.path("x/one.zip"), files.path("two.7z"), files.path("three.rar")});
    EXPECT_EQ(browser.entries().size(), 3);
    EXPECT_EQ(browser.entries().value(0).path, QStringLiteral("one.zip"));
    EXPECT_EQ(browser.entries().value(0).kindDescription, QStringLiteral(u"压缩包"));
    EXPECT_EQ(browser.title(), QStringLiteral(u"3 个压缩包"));
    EXPECT_EQ(browser.archiveDisplayName(), QStringLiteral(u"3 个压缩包"));
    EXPECT_EQ(browser.statusMessage(), QStringLiteral(u"已读取 3 个项目。"));
    browser.setSelectedEntryID(QStringLiteral("two.7z"));
    browser.updatePreviewForSelection();
    EXPECT_EQ(browser.previewMessage(), QStringLiteral(u"多压缩包模式暂不支持文件内容预览"));
    browser.extractSelected();
    EXPECT_EQ(browser.statusMessage(), QStringLiteral(u"多压缩包模式请使用“全部解压”。"));
    EXPECT_FALSE(browser.supportsArchiveEditing());
    EXPECT_EQ(services.callCount(), 0);
}

struct FailureCase {
    const char* name;
    std::exception_ptr error;
    QString status;
    bool prompts;
};

class ListingFailureTest : public BrowserFixture, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(ListingFailureTest, PromptsOnlyForPasswordProblems) {
    ArchivePreviewWindowModel& browser = open({files.path("a.7z")});
    ASSERT_TRUE(waitForCall(1));
    services.fail(0, GetParam().error);
    ASSERT_TRUE(waitFor([&] { return !browser.isLoading(); }));
    EXPECT_EQ(browser.statusMessage(), GetParam().status);
    EXPECT_EQ(browser.passwordPrompt().has_value(), GetParam().prompts);
    if (GetParam().prompts) {
        EXPECT_EQ(browser.passwordPrompt()->message, GetParam().status);
    }
}

const FailureCase kFailureCases[] = {
    // Only the password kind prompts; its own sentence heads the sheet.
    {"WrongPassword", wrongPassword(), ArchiveError::wrongPassword().message(), true},
    // Anything else is one line that says the archive could not be read, and why; words in the names
    // it holds ("encrypted", "passwords") or in another library's what() decide nothing.
    {"MissingVolume",
     std::make_exception_ptr(ArchiveError::missingVolume(QStringLiteral("encrypted-backup.7z.003"))),
     QStringLiteral(u"无法读取压缩包：缺少分卷：encrypted-backup.7z.003"), false},
    {"FileSystemProblem",
     std::make_exception_ptr(
         FileSystemError(FileSystemError::Kind::openFailed, QStringLiteral("/srv/passwords/a.7z"), {})),
     QStringLiteral(u"无法读取压缩包：无法打开文件：/srv/passwords/a.7z"), false},
    {"ForeignError", std::make_exception_ptr(std::runtime_error("Cannot open encrypted archive")),
     QStringLiteral(u"无法读取压缩包：未知错误。"), false},
    {"PermissionProblem", std::make_exception_ptr(ArchiveError::permissionDenied()),
     QStringLiteral(u"无法读取压缩包：没有足够权限访问文件或目标文件夹。"), false},
};
INSTANTIATE_TEST_SUITE_P(Listing, ListingFailureTest, ::testing::ValuesIn(kFailureCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(BrowserFixture, StoredPasswordsAreTriedOneAfterAnother) {
    const QString archive = files.path("a.7z");
    passwordBook.addManualPassword(QStringLiteral("first"), QStringLiteral("one"),
                                   ArchivePasswordBookKind::extraction);
    passwordBook.remember(QStringLiteral("second"), archive);
    ArchivePreviewWindowModel& browser = open({archive});
    ASSERT_TRUE(waitForCall(1));
    services.fail(0, wrongPassword());
    ASSERT_TRUE(waitForCall(2));
    // One test run per candidate in book order, this archive's own first; the one that opened it lists.
    EXPECT_EQ(services.call(1).operation, QStringLiteral("probe"));
    EXPECT_EQ(services.call(1).paths, QStringList({QStringLiteral("second"), QStringLiteral("first")}));
    EXPECT_TRUE(browser.isLoading());
    services.answer(1, Answer{{}, {QStringLiteral("first")}, {}});
    ASSERT_TRUE(waitForCall(3));
    EXPECT_EQ(services.call(2).password, QStringLiteral("first"));
    services.answer(2, Answer{{row("x.txt")}, {}, {}});
    ASSERT_TRUE(waitFor([&] { return !browser.isLoading(); }));
    EXPECT_EQ(browser.entries().size(), 1);
    EXPECT_EQ(browser.password(), QStringLiteral("first"));
    EXPECT_EQ(browser.statusMessage(), QStringLiteral(u"已从密码本自动填充密码。"));
    EXPECT_FALSE(browser.passwordPrompt());
}

TEST_F(BrowserFixture, NoStoredPasswordIsTriedWhileTheBookIsOff) {
    storeSettings([](AppSettings& settings) { settings.archivePasswordBookEnabled = false; });
    passwordBook.addManualPassword(QStringLiteral("first"), QStringLiteral("one"),
                                   ArchivePasswordBookKind::extraction);
    ArchivePreviewWindowModel& browser = open({files.path("a.7z")});
    ASSERT_TRUE(waitForCall(1));
    services.fail(0, wrongPassword());
    ASSERT_TRUE(waitFor([&] { return browser.passwordPrompt().has_value(); }));
    EXPECT_EQ(services.callCount(), 1);
    EXPECT_TRUE(browser.passwordBookMenuEntries().isEmpty());
}

TEST_F(BrowserFixture, PromptTakesTheTrimmedPasswordAndIgnoresBlanks) {
    const QString archive = files.path("a.7z");
    ArchivePreviewWindowModel& browser = open({archive});
    ASSERT_TRUE(waitForCall(1));
    services.fail(0, wrongPassword());
    ASSERT_TRUE(waitFor([&] { return browser.passwordPrompt().has_value(); }));
    browser.submitPromptPassword(QStringLiteral("   "));
    EXPECT_TRUE(browser.passwordPrompt());
    browser.submitPromptPassword(QStringLiteral("  secret \n"));
    EXPECT_FALSE(browser.passwordPrompt());
    ASSERT_TRUE(waitForCall(2));
    EXPECT_EQ(services.call(1).password, QStringLiteral("secret"));
    services.answer(1, Answer{{row("x.txt")}, {}, {}});
    // Remembered once it decrypted an entry, not because the listing opened.
    ASSERT_TRUE(waitForCall(3));
    EXPECT_EQ(services.call(2).operation, QStringLiteral("test"));
    EXPECT_TRUE(passwordBook.entries().isEmpty());
    services.answer(2, Answer{{}, {QStringLiteral("decrypts")}, {}});
    ASSERT_TRUE(waitFor([&] { return !browser.isLoading(); }));
    EXPECT_EQ(passwordBook.candidatePasswords(archive), QStringList{QStringLiteral("secret")});
}

TEST_F(BrowserFixture, TypedPasswordGoesUntrimmedAndIsRememberedOnlyWithAutoSave) {
    storeSettings([](AppSettings& settings) { settings.archivePasswordBookAutoSaveEnabled = false; });
    const QString archive = files.path("a.7z");
    ArchivePreviewWindowModel& browser = openListed({row("x.txt")});
    Q_UNUSED(archive);
    browser.setPassword(QStringLiteral(" pw "));
    browser.reload();
    ASSERT_TRUE(waitForCall(1));
    EXPECT_EQ(services.call(0).password, QStringLiteral(" pw "));
    services.answer(0, Answer{{row("x.txt")}, {}, {}});
    ASSERT_TRUE(waitForCall(2));
    EXPECT_EQ(services.call(1).password, QStringLiteral(" pw "));
    services.answer(1, Answer{{}, {QStringLiteral("decrypts")}, {}});
    ASSERT_TRUE(waitFor([&] { return !browser.isLoading(); }));
    EXPECT_TRUE(passwordBook.entries().isEmpty());
}

// A password that opened the archive but could not be saved is said on the status line, once, in one
// sentence with the success, whether typed, taken from the book's menu or tried from the book.
TEST_F(BrowserFixture, APasswordTheBookCouldNotSaveIsSaid) {
    enum class Way { typed, fromMenu, fromBook };
    const struct {
        const char* name;
        Way way;
        QString success;
    } cases[] = {{"typed", Way::typed, QStringLiteral(u"已读取 1 个项目")},
                 {"from the menu", Way::fromMenu, QStringLiteral(u"已读取 1 个项目")},
                 {"from the book", Way::fromBook, QStringLiteral(u"已从密码本自动填充密码")}};
    // One window for all: one that goes waits for the work of the shared pool.
    ArchivePreviewWindowModel& browser = openListed({row("x.txt")});
    for (const auto& testCase : cases) {
        SCOPED_TRACE(testCase.name);
        FullDisk disk(defaultsFolder.path());
        const std::optional<ArchivePasswordBookEntry> entry =
            passwordBook
                .addManualPassword(QStringLiteral("pw"), QStringLiteral("label"),
                                   ArchivePasswordBookKind::extraction)
                .entry;
        ASSERT_TRUE(entry);
        const int calls = services.callCount();
        disk.fill();
        if (testCase.way == Way::fromMenu) {
            browser.applyPasswordBookEntry(*entry);
        } else {
            browser.setPassword(testCase.way == Way::typed ? QStringLiteral("pw") : QString());
            browser.reload();
        }
        ASSERT_TRUE(waitForCall(calls + 1));
        if (testCase.way == Way::fromBook) {
            // Refused without one; the book's password opens it and lists it.
            services.fail(calls, wrongPassword());
            ASSERT_TRUE(waitForCall(calls + 2));
            services.answer(calls + 1, Answer{{}, {QStringLiteral("pw")}, {}});
            ASSERT_TRUE(waitForCall(calls + 3));
            services.answer(calls + 2, Answer{{row("x.txt")}, {}, {}});
        } else {
            services.answer(calls, Answer{{row("x.txt")}, {}, {}});
            ASSERT_TRUE(waitForCall(calls + 2));
            services.answer(calls + 1, Answer{{}, {QStringLiteral("decrypts")}, {}});
        }
        ASSERT_TRUE(waitFor([&] { return !browser.isLoading(); }));
        EXPECT_EQ(browser.statusMessage(),
                  testCase.success + QStringLiteral(u"；密码未能保存：") + disk.reason());
        EXPECT_EQ(passwordBook.entries().size(), 1);
    }
}

TEST_F(BrowserFixture, CancellingThePromptDropsThePendingWork) {
    ArchivePreviewWindowModel& browser = open({files.path("a.7z")});
    ASSERT_TRUE(waitForCall(1));
    services.fail(0, wrongPassword());
    ASSERT_TRUE(waitFor([&] { return browser.passwordPrompt().has_value(); }));
    browser.cancelPasswordPrompt();
    EXPECT_FALSE(browser.passwordPrompt());
    deliver();
    EXPECT_EQ(services.callCount(), 1);
}

TEST_F(BrowserFixture, APreviewIsExtractedOnceWhileItsFileExists) {
    const QString extracted = files.writeFile(QStringLiteral("preview/a.txt"), "text");
    ArchivePreviewWindowModel& browser = openListed({row("a.txt"), row("b.txt")});
    browser.setSelectedEntryID(QStringLiteral("a.txt"));
    browser.updatePreviewForSelection();
    EXPECT_TRUE(browser.isPreviewLoading());
    EXPECT_EQ(browser.previewMessage(), QStringLiteral(u"正在准备预览..."));
    ASSERT_TRUE(waitForCall(1));
    services.answer(0, Answer{{}, {extracted}, {}});
    ASSERT_TRUE(waitFor([&] { return browser.previewFileURL().has_value(); }));
    EXPECT_FALSE(browser.isPreviewLoading());
    browser.updatePreviewForSelection();
    EXPECT_EQ(browser.previewFileURL(), extracted);
    EXPECT_EQ(services.callCount(), 1);
    QFile::remove(extracted);
    browser.updatePreviewForSelection();
    EXPECT_TRUE(waitForCall(2));
}

TEST_F(BrowserFixture, ASupersededPreviewPublishesNothing) {
    const QString first = files.writeFile(QStringLiteral("p/a.txt"), "a");
    const QString second = files.writeFile(QStringLiteral("p/b.txt"), "b");
    ArchivePreviewWindowModel& browser = openListed({row("a.txt"), row("b.txt")});
    browser.setSelectedEntryID(QStringLiteral("a.txt"));
    browser.updatePreviewForSelection();
    ASSERT_TRUE(waitForCall(1));
    // The first run finishes before the second is asked for, but its outcome arrives after.
    services.answer(0, Answer{{}, {first}, {}});
    workers.waitForDone();
    browser.setSelectedEntryID(QStringLiteral("b.txt"));
    browser.updatePreviewForSelection();
    QCoreApplication::sendPostedEvents();
    EXPECT_FALSE(browser.previewFileURL());
    EXPECT_TRUE(browser.isPreviewLoading());
    ASSERT_TRUE(waitForCall(2));
    // A third request cancels the second one's tool.
    browser.setSelectedEntryID(QStringLiteral("a.txt"));
    browser.updatePreviewForSelection();
    ASSERT_TRUE(waitFor([&] { return services.isCancelled(1); }));
    ASSERT_TRUE(waitForCall(3));
    services.answer(2, Answer{{}, {second}, {}});
    ASSERT_TRUE(waitFor([&] { return browser.previewFileURL().has_value(); }));
    EXPECT_EQ(browser.previewFileURL(), second);
}

TEST_F(BrowserFixture, ReloadEndsAPreviewBeingPrepared) {
    ArchivePreviewWindowModel& browser = openListed({row("a.txt")});
    browser.setSelectedEntryID(QStringLiteral("a.txt"));
    browser.updatePreviewForSelection();
    ASSERT_TRUE(waitForCall(1));
    browser.reload();
    EXPECT_FALSE(browser.isPreviewLoading());
    EXPECT_EQ(browser.previewMessage(), QStringLiteral(u"请选择一个文件进行预览"));
    EXPECT_TRUE(waitFor([&] { return services.isCancelled(0); }));
}

TEST_F(BrowserFixture, APreviewNeedingAPasswordRepeatsAfterThePrompt) {
    ArchivePreviewWindowModel& browser = openListed({row("a.txt")});
    browser.setSelectedEntryID(QStringLiteral("a.txt"));
    browser.updatePreviewForSelection();
    ASSERT_TRUE(waitForCall(1));
    services.fail(0, wrongPassword());
    ASSERT_TRUE(waitFor([&] { return browser.passwordPrompt().has_value(); }));
    EXPECT_EQ(browser.previewMessage(), ArchiveError::wrongPassword().message());
    browser.submitPromptPassword(QStringLiteral("pw"));
    ASSERT_TRUE(waitForCall(2));
    EXPECT_EQ(services.call(1).operation, QStringLiteral("preview"));
    EXPECT_EQ(services.call(1).password, QStringLiteral("pw"));
}

// Previews, extractions and edits decide and word their failures as the listing does.
TEST_F(BrowserFixture, OtherFailuresAreWordedByTheirKind) {
    const std::exception_ptr foreign = std::make_exception_ptr(std::runtime_error("Wrong password?"));
    ArchivePreviewWindowModel& browser = openListed({row("a.txt")});
    browser.setSelectedEntryID(QStringLiteral("a.txt"));
    browser.updatePreviewForSelection();
    ASSERT_TRUE(waitForCall(1));
    services.fail(0, foreign);
    ASSERT_TRUE(waitFor([&] { return !browser.isPreviewLoading(); }));
    EXPECT_EQ(browser.previewMessage(), QStringLiteral(u"预览失败"));
    platform->itemsToAdd = QStringList{QStringLiteral("/tmp/new.txt")};
    const struct {
        std::function<void()> start;
        std::exception_ptr error;
        QString status;
    } cases[] = {
        {[&] { browser.extractAll(); },
         std::make_exception_ptr(ArchiveError::missingVolume(QStringLiteral("encrypted-backup.7z.003"))),
         QStringLiteral(u"缺少分卷：encrypted-backup.7z.003")},
        {[&] { browser.extractSelected(); }, foreign, QStringLiteral(u"解压失败")},
        {[&] { browser.addFiles(); }, foreign, QStringLiteral(u"添加失败")},
        {[&] { browser.deleteSelected(); }, foreign, QStringLiteral(u"删除失败")},
    };
    for (int index = 0; index < int(std::size(cases)); ++index) {
        SCOPED_TRACE(cases[index].status.toStdString());
        cases[index].start();
        ASSERT_TRUE(waitForCall(index + 2));
        services.fail(index + 1, cases[index].error);
        ASSERT_TRUE(waitFor([&] { return !browser.isLoading(); }));
        EXPECT_EQ(browser.statusMessage(), cases[index].status);
    }
    EXPECT_FALSE(browser.passwordPrompt());
}

TEST_F(BrowserFixture, ExtractingASelectionPicksAFreeFolderBesideTheArchive) {
    files.makeFolder(QStringLiteral("readme.txt 提取"));
    ArchivePreviewWindowModel& browser = openListed({row("docs/readme.txt")});
    int closed = 0;
    browser.closeWindow = [&closed] { ++closed; };
    browser.setSelectedEntryID(QStringLiteral("docs/readme.txt"));
    ASSERT_TRUE(browser.canExtractSelected());
    browser.extractSelected();
    EXPECT_FALSE(browser.canExtractSelected());
    ASSERT_TRUE(waitForCall(1));
    EXPECT_EQ(services.call(0).destination, files.path(QStringLiteral("readme.txt 提取 1")));
    services.answer(0, Answer{{}, {services.call(0).destination + QStringLiteral("/readme.txt")}, {}});
    ASSERT_TRUE(waitFor([&] { return closed == 1; }));
    EXPECT_EQ(browser.statusMessage(), QStringLiteral(u"已提取：docs/readme.txt"));
    EXPECT_EQ(platform->revealed.value(0),
              QStringList{services.call(0).destination + QStringLiteral("/readme.txt")});
}

TEST_F(BrowserFixture, ExtractAllWritesBesideTheArchiveUnlessADefaultIsSet) {
    ArchivePreviewWindowModel& browser = openListed({row("a.txt")});
    int closed = 0;
    browser.closeWindow = [&closed] { ++closed; };
    browser.extractAll();
    ASSERT_TRUE(waitForCall(1));
    EXPECT_EQ(services.call(0).destination, files.root());
    services.answer(0, Answer{{}, {files.path(QStringLiteral("a")), files.path(QStringLiteral("b"))}, {}});
    ASSERT_TRUE(waitFor([&] { return !browser.isLoading(); }));
    EXPECT_EQ(browser.statusMessage(), QStringLiteral(u"解压完成：a, b"));
    storeSettings(
        [](AppSettings& settings) { settings.defaultExtractLocationPath = QStringLiteral("/srv/out"); });
    browser.extractAll();
    ASSERT_TRUE(waitForCall(2));
    EXPECT_EQ(services.call(1).destination, QStringLiteral("/srv/out"));
    services.fail(1, wrongPassword());
    ASSERT_TRUE(waitFor([&] { return browser.passwordPrompt().has_value(); }));
    browser.submitPromptPassword(QStringLiteral("pw"));
    ASSERT_TRUE(waitForCall(3));
    EXPECT_EQ(services.call(2).operation, QStringLiteral("extract"));
    services.answer(2, Answer{});
    ASSERT_TRUE(waitFor([&] { return !browser.isLoading(); }));

    EXPECT_EQ(closed, 2);

    // Items that went in beside the user's under another name are counted, in a window left open to say so.
    browser.extractAll();
    ASSERT_TRUE(waitForCall(4));
    services.answer(3, Answer{{}, {QStringLiteral("/srv/out")}, {}, 2});
    ASSERT_TRUE(waitFor([&] { return !browser.isLoading(); }));
    EXPECT_EQ(browser.statusMessage(), QStringLiteral(u"解压完成：out，2 项因重名已改名"));
    EXPECT_EQ(closed, 2);
}

TEST_F(BrowserFixture, NoEditingOfARar) {
    ArchivePreviewWindowModel& rar = open({files.path("a.rar")}, QList<ArchivePreviewEntry>{row("x.txt")});
    rar.addFiles();
    EXPECT_EQ(rar.statusMessage(), QStringLiteral(u"当前仅支持向 ZIP / 7Z 压缩包添加文件。"));
    EXPECT_EQ(services.callCount(), 0);
}

TEST_F(BrowserFixture, EditingNeedsAConfirmation) {
    ArchivePreviewWindowModel& browser = openListed({row("x.txt")});
    browser.deleteSelected();
    EXPECT_EQ(browser.statusMessage(), QStringLiteral(u"请选择要删除的条目。"));
    browser.setSelectedEntryID(QStringLiteral("x.txt"));
    platform->confirmsDeletion = false;
    browser.deleteSelected();
    EXPECT_EQ(platform->confirmations.value(0),
              QStringLiteral(u"确认从压缩包中删除？|将从 a.zip 删除：\nx.txt"));
    EXPECT_EQ(browser.statusMessage(), QStringLiteral(u"请选择要删除的条目。"));
    platform->confirmsDeletion = true;
    browser.deleteSelected();
    ASSERT_TRUE(waitForCall(1));
    EXPECT_EQ(services.call(0).paths, QStringList{QStringLiteral("x.txt")});
    EXPECT_EQ(services.call(0).password, std::nullopt);
    services.answer(0, Answer{});
    ASSERT_TRUE(waitForCall(2));  // listed again
    EXPECT_EQ(services.call(1).operation, QStringLiteral("list"));
    EXPECT_FALSE(browser.selectedEntryID());
    platform->itemsToAdd = QStringList{QStringLiteral("/tmp/one"), QStringLiteral("/tmp/two")};
    services.answer(1, Answer{{row("x.txt")}, {}, {}});
    ASSERT_TRUE(waitFor([&] { return !browser.isLoading(); }));
    browser.addFiles();
    EXPECT_EQ(browser.statusMessage(), QStringLiteral(u"正在添加 2 个项目..."));
    ASSERT_TRUE(waitForCall(3));
    services.fail(2, std::make_exception_ptr(ArchiveError::compressFailed(QStringLiteral("disk full"))));
    ASSERT_TRUE(waitFor([&] { return !browser.isLoading(); }));
    EXPECT_EQ(browser.statusMessage(), ArchiveError::compressFailed(QStringLiteral("disk full")).message());
    EXPECT_EQ(platform->addingStartedFrom, QStringList{files.path(QStringLiteral("a.zip"))});
}

// An item added under the name of an entry at the top level replaces it: only after "替换".
TEST_F(BrowserFixture, AddingOverSameNamedEntriesAsksFirst) {
    ArchivePreviewWindowModel& browser = openListed({row("x.txt"), row("docs/readme.txt")});
    browser.setPassword(QStringLiteral("pw"));  // the one that opened it
    platform->itemsToAdd = QStringList{QStringLiteral("/tmp/x.txt"), QStringLiteral("/tmp/docs"),
                                       QStringLiteral("/tmp/new.txt")};
    platform->confirmsReplacement = false;
    browser.addFiles();
    EXPECT_EQ(platform->confirmations, QStringList{QStringLiteral(u"压缩包中已有 2 个同名项目，是否替换？")});
    deliver();
    EXPECT_EQ(services.callCount(), 0);
    EXPECT_FALSE(browser.isLoading());
    platform->confirmsReplacement = true;
    browser.addFiles();
    ASSERT_TRUE(waitForCall(1));
    EXPECT_EQ(services.call(0).operation, QStringLiteral("add"));
    EXPECT_EQ(services.call(0).password, QStringLiteral("pw"));
}

TEST_F(BrowserFixture, WorkRunningWhenTheWindowGoesKeepsTheModelUntilItEnds) {
    ArchivePreviewWindowModel& browser = openListed({row("a.txt")});
    QPointer<ArchivePreviewWindowModel> alive(&browser);
    auto window = std::make_unique<QObject>();
    QPointer<QObject> guardedWindow(window.get());
    bool reachedClosedWindow = false;
    browser.closeWindow = [guardedWindow, &reachedClosedWindow] {
        if (guardedWindow) reachedClosedWindow = true;
    };
    browser.extractAll();
    ASSERT_TRUE(waitForCall(1));
    window.reset();
    sharedModel().reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(alive);
    services.answer(0, Answer{{}, {files.path(QStringLiteral("a"))}, {}});
    ASSERT_TRUE(waitFor([&] { return alive.isNull(); }));
    EXPECT_FALSE(reachedClosedWindow);
    EXPECT_EQ(platform->revealed.size(), 1);  // the extraction still finished
}

// Closing the window during an extraction or an edit asks first, then stops the work; a listing stops
// without a question.
TEST_F(BrowserFixture, ClosingTheWindowAsksWhileFilesChangeAndStopsTheWork) {
    const std::function<void(ArchivePreviewWindowModel&)> starts[] = {
        [](ArchivePreviewWindowModel& browser) { browser.extractAll(); },
        [](ArchivePreviewWindowModel& browser) {
            browser.setSelectedEntryID(QStringLiteral("x.txt"));
            browser.deleteSelected();
        },
    };
    for (const auto& start : starts) {
        ArchivePreviewWindowModel& browser = openListed({row("x.txt")});
        int closed = 0;
        browser.closeWindow = [&closed] { ++closed; };
        const int call = services.callCount();
        start(browser);
        ASSERT_TRUE(waitForCall(call + 1));
        platform->confirmations.clear();
        platform->confirmsClosing = false;
        EXPECT_FALSE(browser.mayCloseWindow());
        EXPECT_EQ(platform->confirmations,
                  QStringList{QStringLiteral(u"还有任务正在进行，关闭窗口会停止它。确定关闭吗？")});
        EXPECT_FALSE(services.isCancelled(call));
        platform->confirmsClosing = true;
        EXPECT_TRUE(browser.mayCloseWindow());
        EXPECT_EQ(closed, 1);
        EXPECT_TRUE(services.isCancelled(call));
        deliver();
        // Gone before the next one works: its runner would wait for the shared pool.
        sharedModel().reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    const int call = services.callCount();
    ArchivePreviewWindowModel& listing = open({files.path(QStringLiteral("b.zip"))});
    ASSERT_TRUE(waitForCall(call + 1));
    platform->confirmations.clear();
    EXPECT_TRUE(listing.mayCloseWindow());
    EXPECT_TRUE(platform->confirmations.isEmpty());
    EXPECT_TRUE(services.isCancelled(call));
}

const QString kWaiting = QStringLiteral(u"正在等待此压缩包的其他操作完成...");

// Work asked for in a second window while the first window's edit of the same archive runs: it waits,
// saying so, starts once the edit has ended, and then every window lists the archive as it is.
TEST_F(BrowserFixture, WorkOnAnArchiveWaitsForAnotherWindowsEdit) {
    const struct {
        const char* name;
        std::function<void(ArchivePreviewWindowModel&)> ask;
        QString operation;
        QString running;
    } cases[] = {
        {"add", [](ArchivePreviewWindowModel& second) { second.addFiles(); }, "add", u"正在添加 1 个项目..."_qs},
        {"extractSelected",
         [](ArchivePreviewWindowModel& second) {
             second.setSelectedEntryID(QStringLiteral("y.txt"));
             second.extractSelected();
         },
         "extractEntries", u"正在提取：y.txt"_qs},
        {"extractAll", [](ArchivePreviewWindowModel& second) { second.extractAll(); }, "extract",
         u"正在解压到当前位置..."_qs},
        {"reload", [](ArchivePreviewWindowModel& second) { second.reload(); }, "list",
         u"正在读取压缩包内容..."_qs},
    };
    platform->itemsToAdd = QStringList{QStringLiteral("/tmp/new.txt")};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const int before = services.callCount();
        ArchivePreviewWindowModel& first = openListed({row("x.txt"), row("y.txt")});
        auto second = ArchivePreviewWindowModel::create({files.path(QStringLiteral("a.zip"))}, services,
                                                        settingsStore, passwordBook, platform,
                                                        QList{row("x.txt"), row("y.txt")}, &workers);
        first.setSelectedEntryID(QStringLiteral("x.txt"));
        first.deleteSelected();
        ASSERT_TRUE(waitForCall(before + 1));
        c.ask(*second);
        EXPECT_EQ(second->statusMessage(), kWaiting);
        EXPECT_TRUE(second->isLoading());
        EXPECT_EQ(services.callCount(), before + 1);
        services.answer(before, Answer{});

        // The second window's work starts from the edited archive; the first lists it after that work
        // when the work edits, beside it when it only reads (so either listing may be asked first).
        const auto asked = [&] {
            for (int index = before + 1; index < services.callCount(); ++index)
                if (services.call(index).operation == c.operation) return true;
            return false;
        };
        ASSERT_TRUE(waitFor([&] { return asked() && second->statusMessage() == c.running; }))
            << second->statusMessage().toStdString();
        if (c.operation == QStringLiteral("add")) {
            EXPECT_EQ(first.statusMessage(), kWaiting) << "its listing waits for the second edit";
            EXPECT_EQ(services.callCount(), before + 2);
        }
        // Answered until both windows have listed the archive as it is now, and are idle.
        const QList<ArchivePreviewEntry> now{row("y.txt"), row("new.txt")};
        int answered = before + 1;
        int listings = 0;
        ASSERT_TRUE(waitFor([&] {
            for (; answered < services.callCount(); ++answered) {
                const bool listing = services.call(answered).operation == QStringLiteral("list");
                listings += listing;
                services.answer(answered, listing ? Answer{now, {}, {}}
                                                  : Answer{{}, {files.path(QStringLiteral("y.txt 提取"))}, {}});
            }
            return listings == 2 && !first.isLoading() && !second->isLoading();
        }));
        deliver();
        EXPECT_EQ(services.callCount(), answered) << "no further listing";
        EXPECT_EQ(first.entries().size(), 2);
        EXPECT_EQ(second->entries().size(), 2);
        EXPECT_EQ(second->entries().value(1).path, QStringLiteral("new.txt"));
        second.reset();
        sharedModel().reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

// A waiting edit and the running one stopped: closing the waiting one's window withdraws it, closing
// the running one's window ends its tool and lets the next start, and quitting (every model stopped,
// then waited for) returns without starting what waited.
TEST_F(BrowserFixture, StoppingWorkOnAnArchiveNeverLeavesTheQueueWaiting) {
    enum class Stop { waitingWindow, runningWindow, quit };
    for (const Stop stop : {Stop::waitingWindow, Stop::runningWindow, Stop::quit}) {
        SCOPED_TRACE(int(stop));
        const int before = services.callCount();
        ArchivePreviewWindowModel& first = openListed({row("x.txt")});
        auto second = ArchivePreviewWindowModel::create({files.path(QStringLiteral("a.zip"))}, services,
                                                        settingsStore, passwordBook, platform,
                                                        QList{row("x.txt")}, &workers);
        const std::weak_ptr<ArchivePreviewWindowModel> weakSecond = second;
        first.setSelectedEntryID(QStringLiteral("x.txt"));
        first.deleteSelected();
        ASSERT_TRUE(waitForCall(before + 1));
        platform->itemsToAdd = QStringList{QStringLiteral("/tmp/new.txt")};
        second->addFiles();
        ASSERT_EQ(second->statusMessage(), kWaiting);
        platform->confirmations.clear();
        if (stop == Stop::waitingWindow) {
            EXPECT_TRUE(second->mayCloseWindow());
            EXPECT_EQ(platform->confirmations.size(), 1) << "a waiting edit is asked about";
            EXPECT_FALSE(second->isWorkRunning());
            EXPECT_EQ(weakSecond.use_count(), 1) << "nothing waits in its name";
            services.answer(before, Answer{});
            ASSERT_TRUE(waitForCall(before + 2));
            EXPECT_EQ(services.call(before + 1).operation, QStringLiteral("list"));
            services.answer(before + 1, Answer{{row("y.txt")}, {}, {}});
            ASSERT_TRUE(waitFor([&] { return !first.isLoading(); }));
        } else if (stop == Stop::runningWindow) {
            EXPECT_TRUE(first.mayCloseWindow());
            EXPECT_TRUE(services.isCancelled(before));
            ASSERT_TRUE(waitForCall(before + 2));
            EXPECT_EQ(services.call(before + 1).operation, QStringLiteral("add"));
            EXPECT_EQ(second->statusMessage(), QStringLiteral(u"正在添加 1 个项目..."));
            services.answer(before + 1, Answer{});
            ASSERT_TRUE(waitForCall(before + 3));
            EXPECT_EQ(services.call(before + 2).operation, QStringLiteral("list"));
            services.answer(before + 2, Answer{{row("x.txt"), row("new.txt")}, {}, {}});
            ASSERT_TRUE(waitFor([&] { return !second->isLoading(); }));
            EXPECT_EQ(second->entries().size(), 2);
        } else {
            first.stopWork();
            second->stopWork();
            first.shutDown();
            second->shutDown();
            EXPECT_TRUE(services.isCancelled(before));
        }
        deliver();
        EXPECT_EQ(services.callCount(), before + (stop == Stop::runningWindow ? 3 : stop == Stop::quit ? 1 : 2));
        second.reset();
        sharedModel().reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_TRUE(weakSecond.expired());
    }
}

}  // namespace
