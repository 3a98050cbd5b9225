#include "app/CoordinatorFixture.h"
#include "app/ExternalOperationProgressView.h"
#include "app/QuitController.h"
#include "app/RequestRouter.h"
#include "platform/ToolText.h"
#include "support/XdgEnvironment.h"
#include "viewmodels/OperationFailure.h"

#include <QAbstractButton>
#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QMessageBox>
#include <QPointer>
#include <QProcess>
#include <QPushButton>
#include <QRandomGenerator>
#include <QTest>
#include <QUrl>

#include <sys/stat.h>
#include <cstdio>

namespace {

// Incompressible, so compressing it takes long enough to be cancelled.
QByteArray randomBytes(qsizetype size) {
    QByteArray bytes(size, Qt::Uninitialized);
    QRandomGenerator generator(7);
    generator.fillRange(reinterpret_cast<quint32*>(bytes.data()), size / 4);
    return bytes;
}

class OutsideOperationsTest : public CoordinatorFixture {
protected:
    // A folder of two files, as a user would send it.
    QString makePhotos(const QString& relative = "Photos") {
        files.writeFile(relative + "/a.jpg", QByteArray(2000, 'a'));
        files.writeFile(relative + "/b.jpg", QByteArray(3000, 'b'));
        return files.path(relative);
    }

    QStringList zipListing(const QString& archive) {
        QProcess unzip;
        unzip.start("/usr/bin/unzip", {"-Z1", archive});
        unzip.waitForFinished();
        QStringList names = QString::fromUtf8(unzip.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
        names.sort();
        return names;
    }
};

TEST_F(OutsideOperationsTest, CompressActionNamesArchivesAfterTheFolderAndCountsUp) {
    const QString photos = makePhotos();
    const QStringList expectedNames{"Photos 1.zip", "Photos 2.zip", "Photos.zip"};
    for (int run = 0; run < 3; ++run) {
        coordinator->handleActionURL("velmora://compress?path=" + QUrl::toPercentEncoding(photos));
        EXPECT_EQ(progress().title(), QStringLiteral(u"正在压缩文件"));
        EXPECT_EQ(progress().message(), QStringLiteral(u"正在压缩 1 个项目..."));
        waitForOperations();
    }
    EXPECT_EQ(QDir(files.root()).entryList({"*.zip"}, QDir::Files, QDir::Name), expectedNames);
    EXPECT_EQ(zipListing(files.path("Photos 2.zip")),
              (QStringList{"Photos/", "Photos/a.jpg", "Photos/b.jpg"}));
    EXPECT_EQ(coordinator->lastMessage(), QStringLiteral(u"已压缩：Photos 2.zip"));
    EXPECT_EQ(progress().title(), QStringLiteral(u"压缩完成"));
    EXPECT_EQ(platform.revealed.last(), QStringList{files.path("Photos 2.zip")});
}

// Hidden files are left out without making a name a pattern: photosA and photos1 stay out.
TEST_F(OutsideOperationsTest, AFolderNamedLikeAPatternIsOnlyItself) {
    changeSettings([](AppSettings& s) { s.ignoreHiddenFilesWhenCompressing = true; });
    files.writeFile("photosA/s.txt", "s");
    files.writeFile("photos1/diary.txt", "d");
    files.writeFile("photos?/.hidden", "h");
    const QString folder = files.writeFile("photos?/p.txt", "p").chopped(6);
    coordinator->handleActionURL("velmora://compress?path=" + QUrl::toPercentEncoding(folder));
    waitForOperations();
    EXPECT_EQ(zipListing(folder + ".zip"), (QStringList{"photos?/", "photos?/p.txt"}));
}

TEST_F(OutsideOperationsTest, SeveralInputsGiveOneArchiveEachOrOneForAll) {
    const QString a = files.writeFile("a.txt", "alpha");
    const QString b = files.writeFile("b.txt", "beta");
    changeSettings([](AppSettings& s) { s.compressToSeparateFolder = true; });
    coordinator->compressIncoming({a, b, a});
    waitForOperations();
    EXPECT_EQ(coordinator->lastMessage(), QStringLiteral(u"已压缩 2 个压缩包。"));
    EXPECT_EQ(zipListing(files.path("a.zip")), QStringList{"a.txt"});
    EXPECT_EQ(zipListing(files.path("b.zip")), QStringList{"b.txt"});

    changeSettings([](AppSettings& s) { s.compressToSeparateFolder = false; });
    coordinator->compressIncoming({b, a});
    waitForOperations();
    EXPECT_EQ(coordinator->lastMessage(), QStringLiteral(u"已压缩：Archive.zip"));
    EXPECT_EQ(zipListing(files.path("Archive.zip")), (QStringList{"a.txt", "b.txt"}));
}

TEST_F(OutsideOperationsTest, MixedInputsAreCompressedAndGoToTheDefaultFolder) {
    const QString text = files.writeFile("in/t.txt", "text");
    const QString zip = files.path("in/z.zip");
    runTool("/usr/bin/zip", {"-q", "-j", zip, text});
    changeSettings([&](AppSettings& s) {
        s.compressToSeparateFolder = false;
        s.defaultExtractLocationPath = files.path("out");
    });
    coordinator->handleIncoming({zip, text});
    waitForOperations();
    EXPECT_EQ(zipListing(files.path("out/Archive.zip")), (QStringList{"t.txt", "z.zip"}));
}

// A failure names its reason in the window as the pages word it (OperationFailure), and the window
// stays until the user closes it.
TEST_F(OutsideOperationsTest, FailuresNameTheirReasonAsOnThePagesAndStay) {
    changeSettings([](AppSettings& s) { s.ignoreHiddenFilesWhenCompressing = true; });
    const QString gone = files.path("gone.txt");
    const QString damaged = files.writeFile("damaged.zip", "not a zip at all");
    const struct {
        const char* name;
        QString input;
        ArchiveActivityKind kind;
        QString title;
        std::exception_ptr error;
    } cases[] = {
        {"hiddenAlone", files.writeFile(".env", "secret"), ArchiveActivityKind::compress,
         QStringLiteral(u"压缩失败"), std::make_exception_ptr(ArchiveError::noInputFiles())},
        {"missingInput", gone, ArchiveActivityKind::compress, QStringLiteral(u"压缩失败"),
         std::make_exception_ptr(ArchiveError::fileNotFound(gone))},
        {"damagedArchive", damaged, ArchiveActivityKind::extract, QStringLiteral(u"解压失败"),
         std::make_exception_ptr(ArchiveError::corruptedArchive())},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        coordinator->handleIncoming({c.input});
        waitForOperations();
        // An archive is named, as the pages name it.
        const QString expected = c.kind == ArchiveActivityKind::extract
                                     ? OperationFailure::archiveText(c.kind, {c.input, c.error})
                                     : OperationFailure::text(c.kind, c.error);
        EXPECT_EQ(coordinator->lastMessage(), expected);
        EXPECT_EQ(progress().title(), c.title);
        EXPECT_EQ(progress().message(), expected);
        EXPECT_TRUE(progress().isError());
    }
    EXPECT_FALSE(QFileInfo::exists(files.path(".env.zip")));

    // Each failure keeps its own window.
    scheduler.advance(60 * 60 * 1000);
    ASSERT_EQ(coordinator->outsideRuns().size(), std::size(cases));
    for (OutsideRun* run : coordinator->outsideRuns()) EXPECT_TRUE(run->window().window()->isVisible());
}

TEST_F(OutsideOperationsTest, DeleteSwitchesMoveSourcesToTheTrashAndNameWhatStays) {
    XdgEnvironment xdg;
    const QString photos = makePhotos();
    const QString notes = files.writeFile("notes.txt", "n");
    changeSettings([](AppSettings& s) {
        s.deleteSourceAfterCompress = true;
        s.deleteSourceAfterExtract = true;
    });
    coordinator->compressIncoming({photos, notes});
    waitForOperations();
    EXPECT_EQ(coordinator->lastMessage(),
              QStringLiteral(u"已压缩 2 个压缩包；2 个项目已移到回收站：Photos、notes.txt"));
    EXPECT_EQ(progress().outcome(), StatusKind::success);
    EXPECT_EQ(zipListing(files.path("Photos.zip")), (QStringList{"Photos/", "Photos/a.jpg", "Photos/b.jpg"}));
    QStringList trashed{photos, notes};
    trashed.sort();
    EXPECT_EQ(xdg.trashedPaths(), trashed);

    coordinator->handleIncoming({files.path("notes.zip")});
    waitForOperations();
    EXPECT_EQ(coordinator->lastMessage(),
              QStringLiteral(u"已解压 1 个压缩包；1 个项目已移到回收站：notes.zip"));
    EXPECT_EQ(files.readFile("notes/notes.txt"), "n");
    trashed << files.path("notes.zip");
    trashed.sort();
    EXPECT_EQ(xdg.trashedPaths(), trashed);

    // With no usable trash the sources stay, and the message says which.
    ASSERT_TRUE(QDir().rename(xdg.trashFolder(), xdg.dataHome() + "/Trash.old"));
    xdg.tree().writeFile("data/Trash", "in the way");
    const QString kept = files.writeFile("kept.txt", "k");
    coordinator->compressIncoming({kept});
    waitForOperations();
    EXPECT_EQ(coordinator->lastMessage(),
              QStringLiteral(u"已压缩：kept.zip；1 个项目无法移到回收站，仍在原处：kept.txt"));
    EXPECT_TRUE(QFileInfo::exists(kept));
    // A notice is no plain success, and it stays until the user closes it.
    EXPECT_EQ(progress().outcome(), StatusKind::warning);
    scheduler.advance(60 * 60 * 1000);
    EXPECT_TRUE(lastRun().window().window()->isVisible());
    coordinator->handleIncoming({files.path("kept.zip")});
    waitForOperations();
    EXPECT_EQ(progress().message(),
              QStringLiteral(u"已解压 1 个压缩包；1 个项目无法移到回收站，仍在原处：kept.zip"));
}

TEST_F(OutsideOperationsTest, ArchivesExtractBesideTheFirstOrIntoTheDefaultFolder) {
    files.makeFolder("src");
    const QString one = files.path("src/one.zip");
    const QString two = files.path("src/two.zip");
    runTool("/usr/bin/zip", {"-q", "-j", one, files.writeFile("x/1.txt", "1")});
    runTool("/usr/bin/zip", {"-q", "-j", two, files.writeFile("x/2.txt", "2")});

    coordinator->handleActionURL("velmora://extract?path=" + QUrl::toPercentEncoding(one) +
                                 "&path=" + QUrl::toPercentEncoding(two));
    EXPECT_EQ(progress().message(), QStringLiteral(u"正在解压 2 个压缩包..."));
    waitForOperations();
    EXPECT_EQ(coordinator->lastMessage(), QStringLiteral(u"已解压 2 个压缩包。"));
    EXPECT_EQ(progress().title(), QStringLiteral(u"解压完成"));
    EXPECT_TRUE(QFileInfo::exists(files.path("src/one/1.txt")));
    EXPECT_TRUE(QFileInfo::exists(files.path("src/two/2.txt")));

    changeSettings([&](AppSettings& s) { s.defaultExtractLocationPath = files.makeFolder("dest"); });
    coordinator->handleIncoming({one});
    waitForOperations();
    EXPECT_TRUE(QFileInfo::exists(files.path("dest/one/1.txt")));
}

// The window counts what was extracted and names each archive that failed with its reason.
TEST_F(OutsideOperationsTest, ABatchNamesEachArchiveThatFailed) {
    const QString good = files.path("示例.zip");
    runTool("/usr/bin/zip", {"-q", "-j", good, files.writeFile("x/1.txt", "1")});
    const QString damaged = files.writeFile("损坏.zip", "not a zip at all");
    const QString other = files.writeFile("坏.zip", "not a zip either");
    // No stored password opens it.
    const QString locked = files.path(QStringLiteral(u"加密.7z"));
    runTool("/usr/bin/7zz", {"a", "-bd", "-psecret", "-mhe=on", locked, files.writeFile("y/2.txt", "2")});
    const QString missing = files.path("nope.zip");
    const struct {
        QStringList archives;
        QString title;
        QString message;
    } cases[] = {
        {{good, damaged},
         QStringLiteral(u"部分压缩包解压失败"),
         QStringLiteral(u"已解压 1 个压缩包，1 个失败：损坏.zip：压缩包可能已损坏，无法读取。")},
        {{damaged, other},
         QStringLiteral(u"解压失败"),
         QStringLiteral(u"2 个压缩包解压失败：损坏.zip：%1；坏.zip：%1。")
             .arg(QStringLiteral(u"压缩包可能已损坏，无法读取"))},
        {{locked}, QStringLiteral(u"解压失败"), QStringLiteral(u"加密.7z：密码错误或压缩包需要密码。")},
        {{locked, missing},
         QStringLiteral(u"解压失败"),
         QStringLiteral(u"2 个压缩包解压失败：加密.7z：密码错误或压缩包需要密码；nope.zip：文件不存在：") + missing +
             QStringLiteral(u"。")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.title.toStdString());
        coordinator->handleIncoming(c.archives);
        waitForOperations();
        EXPECT_EQ(progress().title(), c.title);
        EXPECT_EQ(progress().message(), c.message);
        EXPECT_TRUE(progress().isError());
        EXPECT_TRUE(progress().note().isEmpty());
    }
    EXPECT_EQ(files.readFile("示例/1.txt"), "1");
}

// Archives whose names are not UTF-8 (GBK, as unzip leaves Windows names) are named decoded, as the
// browser shows legacy names, never as lone surrogates or U+FFFD.
TEST_F(OutsideOperationsTest, NamesThatAreNotUtf8AreShownDecoded) {
    const XdgEnvironment xdg;
    changeSettings([](AppSettings& s) { s.deleteSourceAfterExtract = true; });
    // The archives are made under UTF-8 names, then given their GBK bytes.
    const auto legacyNamed = [&](const QString& made, const QByteArray& bytes) {
        const QByteArray path = QFile::encodeName(files.root()) + '/' + bytes;
        EXPECT_EQ(::rename(QFile::encodeName(made).constData(), path.constData()), 0);
        return ToolText::escapedName(path);
    };
    runTool("/usr/bin/zip", {"-q", "-j", files.path("good.zip"), files.writeFile("x/1.txt", "1")});
    const QString good = legacyNamed(files.path("good.zip"), "\xD6\xD0\xCE\xC4.zip");
    const QString damaged = legacyNamed(files.writeFile("bad.zip", "not a zip"), "\xB1\xA8\xB8\xE6.zip");

    coordinator->handleIncoming({good, damaged});
    waitForOperations();
    EXPECT_EQ(progress().message(), QStringLiteral(u"已解压 1 个压缩包；1 个项目已移到回收站：中文.zip，"
                                                   u"1 个失败：报告.zip：压缩包可能已损坏，无法读取。"));
    // By their bytes: the good one went to the trash and out came its folder; the damaged one stayed
    // and its folder went again.
    const auto exists = [](const QString& path) {
        struct stat status {};
        return ::lstat(ToolText::encodedName(path).constData(), &status) == 0;
    };
    EXPECT_FALSE(exists(good));
    EXPECT_TRUE(exists(xdg.trashFolder() + "/files/" + good.mid(good.lastIndexOf('/') + 1)));
    EXPECT_TRUE(exists(good.chopped(4) + "/1.txt"));
    EXPECT_TRUE(exists(damaged));
    EXPECT_FALSE(exists(damaged.chopped(4)));
}

// The file manager hands over what was selected a moment ago: an item gone since, a pipe or a device
// is named as failed on screen, before any tool could wait on it, and the rest of the request runs.
TEST_F(OutsideOperationsTest, ItemsGoneOrNotFilesAreNamedAndTheRestRuns) {
    const QString good = files.path("good.zip");
    runTool("/usr/bin/zip", {"-q", "-j", good, files.writeFile("x/1.txt", "1")});
    const QString gone = files.path("gone.zip");
    const QString pipe = files.path("pipe.zip");
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    // Runs a link as the file manager sends it; the window's message.
    const auto run = [&](const QString& action, QStringList paths) {
        for (QString& path : paths) path = "path=" + QUrl::toPercentEncoding(path);
        coordinator->handleActionURL("velmora://" + action + "?" + paths.join('&'));
        waitForOperations();
        return progress().message();
    };
    const QString goneReason = QStringLiteral(u"gone.zip：文件不存在：") + gone;
    const QString pipeReason =
        QStringLiteral(u"pipe.zip：“%1”是命名管道，不是文件或文件夹，无法使用").arg(pipe);
    const QString nullReason = QStringLiteral(u"null：“/dev/null”是设备文件，不是文件或文件夹，无法使用");
    EXPECT_EQ(run("extract", {good, gone, pipe}),
              QStringLiteral(u"已解压 1 个压缩包，2 个失败：%1；%2。").arg(goneReason, pipeReason));
    EXPECT_EQ(
        run("compress", {files.writeFile("notes.txt", "n"), gone, pipe, "/dev/null"}),
        QStringLiteral(u"已压缩 1 个压缩包，3 个失败：%1；%2；%3。").arg(goneReason, pipeReason, nullReason));
}

// Refused items are counted apart from the work and named from the start; a cancel keeps them named.
TEST_F(OutsideOperationsTest, RefusedItemsAreNamedFromTheStartAndAfterACancel) {
    // PPMd decompresses slowly, so the extraction is still running when the cancel comes.
    files.writeFile("data/data.txt", randomBytes(3 * 1024 * 1024).toBase64());
    const QString slow = files.path("slow.7z");
    runTool("/usr/bin/7zz", {"a", "-bd", "-m0=PPMd", slow, files.path("data/data.txt")});
    const QString small = files.path("small.zip");
    runTool("/usr/bin/zip", {"-q", "-j", small, files.writeFile("x/1.txt", "1")});
    const QString missing = files.path("missing.zip");
    const QString pipe = files.path("pipe.zip");
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    QStringList query;
    for (const QString& path : {slow, missing, pipe, small}) query << "path=" + QUrl::toPercentEncoding(path);
    const QString refused = QStringLiteral(
                                u"2 个项目无法解压：missing.zip：文件不存在：%1；"
                                u"pipe.zip：“%2”是命名管道，不是文件或文件夹，无法使用。")
                                .arg(missing, pipe);

    coordinator->handleActionURL("velmora://extract?" + query.join('&'));
    EXPECT_EQ(progress().message(), QStringLiteral(u"正在解压 2 个压缩包..."));
    EXPECT_EQ(progress().note(), refused);
    lastRun().window().requestCancel();
    waitForOperations();
    EXPECT_EQ(progress().title(), QStringLiteral(u"已取消"));
    EXPECT_EQ(progress().message(), QStringLiteral(u"任务已取消。"));
    EXPECT_EQ(progress().note(), refused);

    // Run to its end, the result names them among the failures and the note goes.
    coordinator->handleActionURL("velmora://extract?" + query.join('&'));
    waitForOperations();
    EXPECT_TRUE(
        progress().message().startsWith(QStringLiteral(u"已解压 2 个压缩包，2 个失败：missing.zip：")));
    EXPECT_TRUE(progress().note().isEmpty());
}

// Straight into a folder that holds items of the archive's names: the user's stay, and the
// message says how many incoming items were renamed.
TEST_F(OutsideOperationsTest, ExtractionBesideExistingItemsSaysHowManyWereRenamed) {
    files.writeFile("src/1.txt", "mine");
    files.writeFile("src/2.txt", "mine too");
    const QString archive = files.path("src/one.zip");
    runTool("/usr/bin/zip",
            {"-q", "-j", archive, files.writeFile("x/1.txt", "1"), files.writeFile("x/2.txt", "2")});
    changeSettings([](AppSettings& s) { s.extractToSeparateFolder = false; });
    coordinator->handleIncoming({archive});
    waitForOperations();
    EXPECT_EQ(coordinator->lastMessage(), QStringLiteral(u"已解压 1 个压缩包，2 项因重名已改名。"));
    EXPECT_EQ(files.readFile("src/1.txt"), "mine");
    EXPECT_EQ(files.readFile("src/2 1.txt"), "2");
}

TEST_F(OutsideOperationsTest, AllVolumesOfASplitSetExtractOnce) {
    const QString big = files.writeFile("data/big.bin", QByteArray(300 * 1024, 'q') + QByteArray::number(42));
    runTool("/usr/bin/7zz", {"a", "-bd", "-mx=0", "-v100k", files.path("set/a.7z"), big});
    const QStringList volumes = QDir(files.path("set")).entryList({"a.7z.*"}, QDir::Files, QDir::Name);
    ASSERT_GE(volumes.size(), 3);
    QStringList chosen;
    for (auto it = volumes.rbegin(); it != volumes.rend(); ++it) chosen.append(files.path("set/" + *it));

    coordinator->handleIncoming(chosen);
    waitForOperations();
    EXPECT_EQ(coordinator->lastMessage(), QStringLiteral(u"已解压 1 个压缩包。"));
    EXPECT_FALSE(progress().isError());
    QDirIterator found(files.path("set"), {"big.bin"}, QDir::Files, QDirIterator::Subdirectories);
    ASSERT_TRUE(found.hasNext());
    EXPECT_EQ(QFileInfo(found.next()).size(), QFileInfo(big).size());
    EXPECT_FALSE(found.hasNext());
}

TEST_F(OutsideOperationsTest, CancellingShowsCancelledAndClosesLater) {
    const QString big = files.writeFile("big.bin", randomBytes(8 * 1024 * 1024));
    coordinator->compressIncoming({big});
    lastRun().window().requestCancel();
    EXPECT_EQ(progress().message(), QStringLiteral(u"正在取消任务..."));
    waitForOperations();
    EXPECT_EQ(coordinator->lastMessage(), QStringLiteral(u"任务已取消"));
    EXPECT_EQ(progress().title(), QStringLiteral(u"已取消"));
    EXPECT_EQ(progress().message(), QStringLiteral(u"任务已取消。"));
    EXPECT_TRUE(progress().isError());
    EXPECT_FALSE(QFileInfo::exists(files.path("big.zip")));

    scheduler.advance(2799);
    EXPECT_EQ(coordinator->outsideRuns().size(), 1);
    scheduler.advance(1);
    EXPECT_TRUE(coordinator->outsideRuns().isEmpty());
}

// "关闭" stops the running extraction, removes what it wrote and shows nothing more.
TEST_F(OutsideOperationsTest, ClosingTheWindowOfARunningExtractionStopsItWhenConfirmed) {
    files.writeFile("big/data.txt", randomBytes(3 * 1024 * 1024).toBase64());
    const QString archive = files.path("big.7z");
    runTool("/usr/bin/7zz", {"a", "-bd", "-m0=PPMd", archive, files.path("big/data.txt")});
    ASSERT_TRUE(QDir(files.path("big")).removeRecursively());
    // Without a tray all along the last window's close quits, with no question about the run it stopped.
    trayAvailable = false;
    makeCoordinator(false);
    QSignalSpy quit(coordinator.get(), &AppCoordinator::quitRequested);
    QSignalSpy finished(coordinator.get(), &AppCoordinator::externalOperationFinished);
    coordinator->handleIncoming({archive});
    ASSERT_TRUE(holdRunningTool("7zz", "x"));
    ExternalOperationProgressWindowController& controller = lastRun().window();
    // The run, and its window with it, goes once it has ended with its window closed.
    const QPointer<QWidget> window = controller.window();
    for (const QString& answer : {QStringLiteral(u"取消"), QStringLiteral(u"关闭")}) {
        ASSERT_FALSE(window->close());
        ASSERT_NE(controller.closeQuestion(), nullptr);
        EXPECT_EQ(controller.closeQuestion()->text(),
                  QStringLiteral(u"还有任务正在进行，关闭窗口会停止它。确定关闭吗？"));
        for (QAbstractButton* button : controller.closeQuestion()->buttons())
            if (button->text() == answer) button->click();
        const bool stops = answer == QStringLiteral(u"关闭");
        EXPECT_EQ(window->isVisible(), !stops);
        EXPECT_EQ(progress().message() == QStringLiteral(u"正在取消任务..."), stops);
    }
    QCoreApplication::processEvents();
    EXPECT_FALSE(quit.isEmpty());
    EXPECT_EQ(coordinator->quitController().confirmation(), nullptr);
    ASSERT_TRUE(!finished.isEmpty() || finished.wait(120000));
    EXPECT_EQ(coordinator->lastMessage(), QStringLiteral(u"任务已取消"));
    EXPECT_TRUE(!window || !window->isVisible());
    EXPECT_TRUE(coordinator->outsideRuns().isEmpty());
    EXPECT_EQ(QDir(files.root()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList{"big.7z"});
}

// Two requests at once, as two launches hand them to the primary: each run keeps its own window, with
// its own progress, cancel button and result, placed so that neither covers the other, until it ends;
// quitting asks while either works.
TEST_F(OutsideOperationsTest, OverlappingRunsEachKeepTheirOwnWindowToTheEnd) {
    const QString big = files.writeFile("big.bin", randomBytes(8 * 1024 * 1024));
    const QString small = files.path("small.zip");
    runTool("/usr/bin/zip", {"-q", "-j", small, files.writeFile("x/1.txt", "1")});
    for (const QStringList& launch : {QStringList{"--service-compress", big}, {"--service-extract", small}})
        ASSERT_EQ(RequestRouter::route(*coordinator, LaunchRequest::fromCommandLine(launch, files.root())),
                  std::nullopt);
    ASSERT_EQ(coordinator->outsideRuns().size(), 2);
    ASSERT_TRUE(holdRunningTool("7zz", "a"));
    OutsideRun& slow = *coordinator->outsideRuns().at(0);
    OutsideRun& quick = *coordinator->outsideRuns().at(1);
    QWidget* slowWindow = slow.window().window();
    EXPECT_TRUE(slowWindow->isVisible());
    EXPECT_TRUE(quick.window().window()->isVisible());
    EXPECT_FALSE(slowWindow->frameGeometry().intersects(quick.window().window()->frameGeometry()));

    // The hold handles events, so the quick one may have ended already.
    ASSERT_TRUE(QTest::qWaitFor([&] { return quick.isFinished(); }, 120000));
    ASSERT_FALSE(slow.isFinished());
    EXPECT_EQ(quick.window().model().title(), QStringLiteral(u"解压完成"));
    EXPECT_EQ(quick.window().model().message(), QStringLiteral(u"已解压 1 个压缩包。"));
    EXPECT_EQ(slow.window().model().title(), QStringLiteral(u"正在压缩文件"));
    EXPECT_TRUE(static_cast<ExternalOperationProgressView*>(slowWindow)->cancelButton()->isVisible());

    // The quick one's window closes on its own time; the slow one's stays, and so does its question.
    scheduler.advance(1200);
    EXPECT_EQ(coordinator->outsideRuns(), QList<OutsideRun*>{&slow});
    EXPECT_TRUE(slowWindow->isVisible());
    coordinator->quitController().requestQuit(nullptr);
    ASSERT_NE(coordinator->quitController().confirmation(), nullptr);
    coordinator->quitController().confirmation()->reject();
    EXPECT_FALSE(slowWindow->close());
    ASSERT_NE(slow.window().closeQuestion(), nullptr);
    slow.window().closeQuestion()->reject();

    static_cast<ExternalOperationProgressView*>(slowWindow)->cancelButton()->click();
    waitForOperations();
    EXPECT_EQ(slow.window().model().title(), QStringLiteral(u"已取消"));
    EXPECT_EQ(coordinator->lastMessage(), QStringLiteral(u"任务已取消"));
    EXPECT_FALSE(QFileInfo::exists(files.path("big.zip")));
}

}  // namespace
