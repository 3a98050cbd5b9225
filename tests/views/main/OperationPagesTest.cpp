#include "viewmodels/SelectionSizes.h"
#include "views/kit/AdaptiveGrid.h"
#include "views/kit/CompressionLevelPicker.h"
#include "views/kit/DropHero.h"
#include "views/kit/DropIntake.h"
#include "views/kit/FeedbackBanner.h"
#include "views/kit/FileList.h"
#include "views/kit/FormatPicker.h"
#include "views/kit/PathRow.h"
#include "views/kit/WorkbenchTexts.h"
#include "views/main/CompactTaskRow.h"
#include "views/main/CompressPage.h"
#include "views/main/CurrentTaskPanel.h"
#include "views/main/ExtractPage.h"
#include "views/main/HomePage.h"
#include "views/main/MainWindowFixture.h"
#include "views/main/RecentHistoryList.h"
#include "views/main/SelectionCard.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDropEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QToolButton>
#include <QUrl>

namespace {

using OperationPagesTest = MainWindowFixture;

// Delivers a drop of these items to a widget as the desktop would; true when the widget took it.
bool drop(QWidget* target, const QList<QUrl>& urls, const QString& text = {}) {
    QMimeData data;
    if (!urls.isEmpty()) data.setUrls(urls);
    if (!text.isEmpty()) data.setText(text);
    const QPoint point = target->rect().center();
    QDragEnterEvent enter(point, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &enter);
    if (!enter.isAccepted()) return false;
    QDropEvent dropped(point, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &dropped);
    return dropped.isAccepted();
}

ArchiveTask runningTask(const QString& name, double progress) {
    ArchiveTask task;
    task.id = QUuid::createUuid();
    task.name = name;
    task.kind = ArchiveActivityKind::compress;
    task.progress = progress;
    return task;
}

TEST_F(OperationPagesTest, SwitchesSaveOnlyTheirOwnFieldAndMirrorIt) {
    struct Case {
        std::function<QCheckBox*(CompressPage&, ExtractPage&)> toggle;
        bool AppSettings::*field;
        QString alertWhenOff;
    };
    const Case cases[] = {
        {[](CompressPage& page, ExtractPage&) { return page.separateArchivesToggle(); },
         &AppSettings::compressToSeparateFolder,
         QStringLiteral(u"取消勾选“压缩到单独文件”后，所选文件会被压缩到一个文件内。")},
        {[](CompressPage& page, ExtractPage&) { return page.ignoreHiddenFilesToggle(); },
         &AppSettings::ignoreHiddenFilesWhenCompressing,
         {}},
        {[](CompressPage& page, ExtractPage&) { return page.deleteSourceToggle(); },
         &AppSettings::deleteSourceAfterCompress,
         {}},
        {[](CompressPage&, ExtractPage& page) { return page.separateFolderToggle(); },
         &AppSettings::extractToSeparateFolder,
         QStringLiteral(u"取消勾选“解压到单独文件夹”后，所选文件会被解压到同一个文件夹内。")},
    };
    for (const Case& testCase : cases) {
        window();
        // Saved elsewhere after the model loaded its copy; the switch must not undo it.
        const QString folder = files.makeFolder("chosen elsewhere");
        storeSettings([&](AppSettings& settings) { settings.defaultExtractLocationPath = folder; });
        QCheckBox* toggle = testCase.toggle(page<CompressPage>(WorkbenchSection::compress),
                                            page<ExtractPage>(WorkbenchSection::extract));
        const bool before = toggle->isChecked();
        context().setAlertMessage(std::nullopt);

        toggle->click();
        const AppSettings stored = SettingsStore(DefaultsStore(defaultsFolder.path()), {}).load();
        EXPECT_EQ(stored.*testCase.field, !before);
        EXPECT_EQ(context().settings().*testCase.field, !before);
        EXPECT_EQ(stored.defaultExtractLocationPath, folder);
        EXPECT_EQ(alert(), before ? testCase.alertWhenOff : QString());

        context().setAlertMessage(std::nullopt);
        toggle->click();
        EXPECT_EQ(SettingsStore(DefaultsStore(defaultsFolder.path()), {}).load().*testCase.field, before);
        EXPECT_EQ(alert(), before ? QString() : testCase.alertWhenOff);
        context().setAlertMessage(std::nullopt);
    }
}

TEST_F(OperationPagesTest, ExtractSwitchesSnapBack) {
    auto& extractPage = page<ExtractPage>(WorkbenchSection::extract);
    context().setDestinationURL(files.makeFolder("out"));
    EXPECT_FALSE(extractPage.currentLocationToggle()->isChecked());

    extractPage.currentLocationToggle()->click();
    EXPECT_FALSE(context().destinationURL().has_value());
    EXPECT_TRUE(extractPage.currentLocationToggle()->isChecked());
    EXPECT_EQ(extractPage.destinationRow()->value(), QStringLiteral(u"跟随文件当前位置"));

    // Off is not a state of its own: the switch stays on until a folder is chosen.
    extractPage.currentLocationToggle()->click();
    EXPECT_TRUE(extractPage.currentLocationToggle()->isChecked());
    EXPECT_FALSE(context().destinationURL().has_value());

    extractPage.openAfterToggle()->click();
    EXPECT_TRUE(extractPage.openAfterToggle()->isChecked());
}

TEST_F(OperationPagesTest, DropsTakeOnlyLocalFilesAndGoToThePagesOperation) {
    const QString first = files.writeFile("a.txt", "a");
    const QString second = files.writeFile("b.txt", "bb");
    const QString third = files.writeFile("c.txt", "ccc");
    auto& compressPage = page<CompressPage>(WorkbenchSection::compress);

    EXPECT_FALSE(drop(compressPage.sources(), {}, QStringLiteral("just text")));
    EXPECT_FALSE(drop(compressPage.sources(), {QUrl("https://example.com/a.zip")}));
    EXPECT_FALSE(drop(compressPage.sources(), {QUrl("ftp://example.com/a.zip")}));
    EXPECT_TRUE(compress().selectedFilesForCompression().isEmpty());

    EXPECT_TRUE(
        drop(compressPage.sources(), {QUrl::fromLocalFile(first), QUrl("https://example.com/x")}, "text"));
    EXPECT_EQ(compress().selectedFilesForCompression(), QStringList{first});

    EXPECT_TRUE(drop(compressPage.sources(),
                     {QUrl::fromLocalFile(third), QUrl::fromLocalFile(first), QUrl::fromLocalFile(second)}));
    EXPECT_EQ(compress().selectedFilesForCompression(), (QStringList{third, first, second}));
    EXPECT_EQ(compressPage.sources()->headerText(), QStringLiteral(u"已选择 3 个文件"));

    // An extract drop with a plain file is refused whole by the model.
    auto& extractPage = page<ExtractPage>(WorkbenchSection::extract);
    const QString archive = files.writeFile("set.zip", "PK");
    EXPECT_TRUE(drop(extractPage.archives(), {QUrl::fromLocalFile(archive), QUrl::fromLocalFile(first)}));
    EXPECT_TRUE(extract().selectedArchivesForExtraction().isEmpty());
    EXPECT_FALSE(alert().isEmpty());
    context().setAlertMessage(std::nullopt);
    EXPECT_TRUE(drop(extractPage.archives(), {QUrl::fromLocalFile(archive)}));
    EXPECT_EQ(extract().selectedArchivesForExtraction(), QStringList{archive});
}

TEST_F(OperationPagesTest, SplitExtractDropTakesExactlyOneFile) {
    const QString volume = files.writeFile("set.7z.001", "7z");
    QMimeData three;
    three.setUrls({QUrl::fromLocalFile(volume), QUrl::fromLocalFile(files.writeFile("x.7z.002", "x")),
                   QUrl::fromLocalFile(files.writeFile("y.7z.003", "y"))});
    const DropIntake::Take toSplitExtract = [this](const QStringList& paths) {
        splitExtract().takeDroppedVolumes(paths);
    };
    EXPECT_TRUE(DropIntake::handleDrop(&three, toSplitExtract));
    EXPECT_EQ(alert(), QStringLiteral(u"请只拖入一个分卷文件。"));
    EXPECT_EQ(splitExtract().splitArchiveState(), SplitArchivePageState());

    context().setAlertMessage(std::nullopt);
    QMimeData one;
    one.setUrls({QUrl::fromLocalFile(volume), QUrl("https://example.com/y.7z.002")});
    EXPECT_TRUE(DropIntake::handleDrop(&one, toSplitExtract));
    EXPECT_EQ(alert(), QString());
    EXPECT_NE(splitExtract().splitArchiveState(), SplitArchivePageState());
    settle();
}

TEST_F(OperationPagesTest, HomeDropOfArchivesExtractsThem) {
    const QString archive = files.writeFile("photos.zip", "PK");
    EXPECT_TRUE(drop(page<HomePage>(WorkbenchSection::home).dropHero(), {QUrl::fromLocalFile(archive)}));
    ASSERT_TRUE(waitUntilIdle());
    ASSERT_EQ(engine.calls().size(), 1);
    EXPECT_EQ(engine.calls().first().operation, "extract");
    EXPECT_EQ(engine.calls().first().files, QStringList{archive});
}

TEST_F(OperationPagesTest, SizesAreWorkedOutInTheBackgroundAndShown) {
    auto& compressPage = page<CompressPage>(WorkbenchSection::compress);
    EXPECT_EQ(compressPage.summaryValue(QStringLiteral(u"总大小")), "-");
    EXPECT_EQ(compressPage.summaryValue(QStringLiteral(u"预计压缩后大小")), "-");
    const QString folder = files.makeFolder("docs");
    files.writeFile("docs/one.bin", QByteArray(1500, 'x'));
    files.writeFile("docs/two.bin", QByteArray(2500, 'y'));
    const QString empty = files.writeFile("empty.txt", {});
    compress().setSelectedFilesForCompression({folder, empty});

    EXPECT_TRUE(waitFor([&] {
        return compressPage.summaryValue(QStringLiteral(u"总大小")) == WorkbenchTexts::sizeText(4000);
    }));
    EXPECT_TRUE(waitFor([&] {
        return compressPage.summaryValue(QStringLiteral(u"预计压缩后大小"))
            .startsWith(QStringLiteral(u"约 "));
    }));
    EXPECT_EQ(compressPage.summaryValue(QStringLiteral(u"文件数量")), "2");
    EXPECT_EQ(compressPage.sources()->fileList()->sizeText(empty), "-");

    auto& extractPage = page<ExtractPage>(WorkbenchSection::extract);
    EXPECT_EQ(extractPage.summaryValue(QStringLiteral(u"主要格式")), "-");
    EXPECT_EQ(extractPage.summaryValue(QStringLiteral(u"压缩包数量")), "0");
    EXPECT_TRUE(extractPage.archives()->showsEmptyState());
}

TEST_F(OperationPagesTest, HomeGridKeepsFourColumnsInTheFixedWindow) {
    auto& home = page<HomePage>(WorkbenchSection::home);
    // Tall enough content to scroll: the floating indicator takes no width.
    context().setStatusMessage(QStringLiteral(u"已完成"));
    EXPECT_TRUE(waitFor([&] { return home.quickActions()->columnCount() == 4; }));
}

TEST_F(OperationPagesTest, BannerFollowsTheFirstRunningTask) {
    auto& home = page<HomePage>(WorkbenchSection::home);
    FeedbackBanner* banner = home.banner();
    EXPECT_TRUE(banner->isHidden());

    context().setStatusMessage(QString());
    EXPECT_FALSE(banner->isHidden());
    EXPECT_EQ(banner->percentText(), QString());

    const ArchiveTask later = runningTask("later", 0.5);
    const ArchiveTask earlier = runningTask("earlier", 0.5);
    workbench.addTask(later);
    workbench.addTask(earlier);
    workbench.updateTaskProgress(earlier.id, 0.29);
    EXPECT_EQ(banner->taskId(), earlier.id);
    EXPECT_EQ(banner->percentText(), "28%");
    EXPECT_EQ(home.currentTask()->taskRow()->task().id, earlier.id);
    EXPECT_EQ(home.currentTask()->taskRow()->percentText(), "28%");

    banner->pauseButton()->click();
    EXPECT_EQ(workbench.tasks().first().status, ArchiveActivityStatus::paused);
    EXPECT_EQ(banner->taskId(), later.id);
    banner->cancelButton()->click();
    EXPECT_EQ(banner->taskId(), QUuid());
    EXPECT_EQ(banner->percentText(), QString());
    EXPECT_EQ(home.currentTask()->taskRow(), nullptr);

    context().setStatusMessage(std::nullopt);
    EXPECT_TRUE(banner->isHidden());
}

TEST_F(OperationPagesTest, RecentHistoryShowsTheFiveNewestRecords) {
    auto& history = *page<HomePage>(WorkbenchSection::home).recentHistory();
    EXPECT_TRUE(history.showsEmptyState());
    QStringList newestFirst;
    for (int index = 0; index < 7; ++index) {
        const ArchiveTask task = runningTask(QStringLiteral("file%1.zip").arg(index), 0.1);
        workbench.addTask(task);
        workbench.completeTask(task.id, QStringLiteral(u"完成"));
        newestFirst.prepend(task.name);
    }
    EXPECT_FALSE(history.showsEmptyState());
    EXPECT_EQ(history.shownFileNames(), newestFirst.mid(0, 5));

    history.allHistoryButton()->click();
    EXPECT_EQ(context().selectedSection(), WorkbenchSection::history);
}

TEST_F(OperationPagesTest, CompressPageControlsDriveTheModel) {
    auto& compressPage = page<CompressPage>(WorkbenchSection::compress);
    compressPage.startButton()->click();
    EXPECT_EQ(alert(), QStringLiteral(u"请先添加需要压缩的文件或文件夹。"));
    context().setAlertMessage(std::nullopt);

    // Clearing keeps the banner's last text: no empty band is left where it stood.
    compress().setSelectedFilesForCompression({files.writeFile("a.txt", "a")});
    context().setStatusMessage(QStringLiteral(u"上一条"));
    compressPage.sources()->clearButton()->click();
    EXPECT_TRUE(compress().selectedFilesForCompression().isEmpty());
    EXPECT_EQ(context().statusMessage(), QStringLiteral(u"上一条"));
    EXPECT_TRUE(compressPage.sources()->showsEmptyState());

    compressPage.formatPicker()->button(CompressionFormat::sevenZip)->click();
    EXPECT_EQ(compressPage.summaryValue(QStringLiteral(u"压缩格式")), "7Z");
    compressPage.formatPicker()->button(CompressionFormat::rar)->click();
    EXPECT_EQ(compress().selectedCompressionFormat(), CompressionFormat::sevenZip);
    EXPECT_TRUE(compressPage.formatPicker()->button(CompressionFormat::sevenZip)->isChecked());
    EXPECT_EQ(compressPage.summaryValue(QStringLiteral(u"压缩格式")), "7Z");
    context().setAlertMessage(std::nullopt);

    EXPECT_EQ(compressPage.levelPicker()->menu()->currentText(), QStringLiteral(u"标准"));
    compressPage.levelPicker()->menu()->setCurrentIndex(2);
    Q_EMIT compressPage.levelPicker()->menu()->activated(2);
    EXPECT_EQ(compress().selectedCompressionLevel(), CompressionLevel::maximum);
    EXPECT_EQ(compressPage.summaryValue(QStringLiteral(u"压缩级别")), QStringLiteral(u"高压缩"));

    // Typing writes the model; the model's echo leaves the cursor where it was.
    QLineEdit* password = compressPage.passwordField();
    password->setFocus();
    QTest::keyClicks(password, "abcd");
    password->setCursorPosition(2);
    QTest::keyClick(password, Qt::Key_X);
    EXPECT_EQ(compress().compressionPassword(), "abxcd");
    EXPECT_EQ(password->cursorPosition(), 3);
    // The extract page keeps its own password.
    EXPECT_EQ(page<ExtractPage>(WorkbenchSection::extract).passwordField()->text(), "");

    // TAR.GZ cannot encrypt: the field is off while it is chosen, and the note beside it says why.
    EXPECT_TRUE(compressPage.passwordNote()->isHidden());
    compressPage.formatPicker()->button(CompressionFormat::tarGzip)->click();
    EXPECT_FALSE(password->isEnabled());
    EXPECT_FALSE(compressPage.passwordNote()->isHidden());
    EXPECT_EQ(compressPage.passwordNote()->text(),
              *WorkbenchTexts::passwordUnavailableNote(CompressionFormat::tarGzip));
    compressPage.formatPicker()->button(CompressionFormat::zip)->click();
    EXPECT_TRUE(password->isEnabled());
    EXPECT_TRUE(compressPage.passwordNote()->isHidden());
}

// A message coming or going never moves the controls; a page shown again with none has no empty band.
TEST_F(OperationPagesTest, MessagesLeaveTheControlsInPlace) {
    auto& compressPage = page<CompressPage>(WorkbenchSection::compress);
    context().setSelectedSection(WorkbenchSection::compress);
    const auto place = [&](QWidget* widget) {
        QCoreApplication::processEvents();
        return QRect(widget->mapTo(&window(), QPoint()), widget->size());
    };
    compress().selectFilesForCompression({files.writeFile("a.txt", "a")});
    ASSERT_TRUE(waitFor([&] { return compressPage.sizes().estimate().has_value(); }));
    auto* banner = compressPage.findChild<FeedbackBanner*>();
    ASSERT_TRUE(banner->isVisible());
    const QRect start = place(compressPage.startButton());
    const QRect deleteSource = place(compressPage.deleteSourceToggle());
    for (CompressionFormat format : {CompressionFormat::sevenZip, CompressionFormat::tarGzip}) {
        compressPage.formatPicker()->button(format)->click();
        EXPECT_FALSE(banner->isVisible());
        EXPECT_EQ(place(compressPage.startButton()), start);
        EXPECT_EQ(place(compressPage.deleteSourceToggle()), deleteSource);
    }
    compressPage.formatPicker()->button(CompressionFormat::zip)->click();
    context().setSelectedSection(WorkbenchSection::home);
    context().setSelectedSection(WorkbenchSection::compress);
    EXPECT_LT(place(compressPage.startButton()).top(), start.top() - banner->height());
}

TEST_F(OperationPagesTest, ExtractStartRunsTheSelectedArchivesAndOpensTheOutput) {
    const QString archive = files.writeFile("photos.zip", "PK");
    auto& extractPage = page<ExtractPage>(WorkbenchSection::extract);
    extract().selectArchivesForExtraction({archive});
    EXPECT_EQ(extractPage.archives()->headerText(), QStringLiteral(u"已选择 1 个压缩包"));
    EXPECT_EQ(extractPage.summaryValue(QStringLiteral(u"主要格式")), "ZIP");

    extractPage.startButton()->click();
    ASSERT_TRUE(waitUntilIdle());
    ASSERT_EQ(engine.calls().size(), 1);
    EXPECT_EQ(engine.calls().first().operation, "extract");
    EXPECT_EQ(engine.calls().first().files, QStringList{archive});
    EXPECT_EQ(platform.revealed.size(), 1);
    EXPECT_TRUE(status().startsWith(QStringLiteral(u"解压完成")));
}

}  // namespace
