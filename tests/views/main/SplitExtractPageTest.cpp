#include "views/kit/FileDialogs.h"
#include "views/kit/PathRow.h"
#include "views/main/PageFixture.h"
#include "views/main/SplitArchivePartRow.h"
#include "views/main/SplitExtractDropZone.h"
#include "views/main/SplitExtractInfoPanel.h"
#include "views/main/SplitExtractMetric.h"
#include "views/main/SplitExtractPage.h"
#include "views/main/SplitExtractSettingsPanel.h"

#include <unistd.h>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QPushButton>
#include <memory>

namespace {

using Content = SplitExtractPageRules::DropZoneContent;

class SplitExtractPageTest : public PageFixture {
protected:
    SplitExtractPage& page() {
        if (!m_page) {
            m_page = std::make_unique<SplitExtractPage>(splitExtract(), models().tasks());
            m_page->show();
        }
        return *m_page;
    }
    SplitExtractDropZone& zone() { return *page().dropZone(); }

    // A 7Z set of three volumes made by 7-Zip; the volumes in order.
    QStringList makeSevenZipSet(const QString& folder) {
        files.writeFile(folder + "/payload.bin", randomBytes(2500, 7));
        runTool("/usr/bin/7zz", {"a", "-v1k", "-mx0", "-bd", "set.7z", "payload.bin"}, files.path(folder));
        QFile::remove(files.path(folder + "/payload.bin"));
        return {files.path(folder + "/set.7z.001"), files.path(folder + "/set.7z.002"),
                files.path(folder + "/set.7z.003")};
    }

    void dropAndScan(const QString& path) {
        ASSERT_TRUE(dropFiles(&zone(), {path}));
        EXPECT_EQ(zone().content(), Content::scanning);
        settle();
    }

private:
    std::unique_ptr<SplitExtractPage> m_page;
};

TEST_F(SplitExtractPageTest, dropZoneShowsThePromptUntilAScanRuns) {
    EXPECT_EQ(zone().content(), Content::prompt);
    EXPECT_FALSE(page().startButton()->isEnabled());
    EXPECT_EQ(page().infoPanel()->emptyText(), QStringLiteral(u"还没有选择分卷压缩包"));

    splitExtract().setSplitArchiveState(SplitArchivePageState::scanning());
    EXPECT_EQ(zone().content(), Content::scanning);
    EXPECT_EQ(page().infoPanel()->emptyText(), QStringLiteral(u"正在扫描同目录中的关联分卷…"));
    splitExtract().setSplitArchiveState(SplitArchivePageState::regularArchiveDetected("/x.zip"));
    EXPECT_EQ(zone().content(), Content::notSplitArchive);
    for (const SplitArchivePageState& state :
         {SplitArchivePageState::failed("x"), SplitArchivePageState::incomplete(),
          SplitArchivePageState::recognized()}) {
        splitExtract().setSplitArchiveState(state);
        EXPECT_EQ(zone().content(), Content::prompt);
    }
    EXPECT_FALSE(page().startButton()->isEnabled()) << "no scanned set";
}

TEST_F(SplitExtractPageTest, completeSetFromAnyVolumeEnablesStartUntilATaskRuns) {
    const QStringList volumes = makeSevenZipSet("set");
    dropAndScan(volumes[1]);
    EXPECT_EQ(splitExtract().splitArchiveState(), SplitArchivePageState::recognized());
    EXPECT_EQ(zone().content(), Content::prompt);
    EXPECT_TRUE(page().startButton()->isEnabled());

    SplitExtractInfoPanel& info = *page().infoPanel();
    EXPECT_EQ(info.badgeText(), QStringLiteral(u"7Z 分卷压缩包"));
    ASSERT_EQ(info.partRows().size(), 3);
    EXPECT_TRUE(info.partRows().first()->part().isPrimary);
    QStringList values;
    for (SplitExtractMetric* metric : info.metrics()) values << metric->value();
    EXPECT_EQ(values.mid(0, 3), (QStringList{"3", "3", "0"}));
    EXPECT_EQ(values.last(), QStringLiteral(u"完整"));
    EXPECT_EQ(info.metrics()[2]->colour(), Theme::Colour::green);

    // A found volume is shown in the file manager.
    info.partRows()[2]->click();
    EXPECT_EQ(platform.revealed, (QList<QStringList>{{volumes[2]}}));

    context().setIsWorking(true);
    EXPECT_FALSE(page().startButton()->isEnabled());
    context().setIsWorking(false);
    EXPECT_TRUE(page().startButton()->isEnabled());
}

TEST_F(SplitExtractPageTest, missingVolumeIsListedAndStartStaysOff) {
    const QStringList volumes = makeSevenZipSet("set");
    QFile::remove(volumes[1]);
    dropAndScan(volumes[0]);
    EXPECT_EQ(splitExtract().splitArchiveState(), SplitArchivePageState::incomplete());
    EXPECT_EQ(zone().content(), Content::prompt);
    EXPECT_FALSE(page().startButton()->isEnabled());

    SplitExtractInfoPanel& info = *page().infoPanel();
    ASSERT_EQ(info.partRows().size(), 3);
    SplitArchivePartRow* missing = info.partRows()[1];
    EXPECT_EQ(missing->look().detail, QStringLiteral(u"缺少 set.7z.002"));
    EXPECT_EQ(info.metrics()[2]->value(), "1");
    EXPECT_EQ(info.metrics()[2]->colour(), Theme::Colour::orange);
    // A missing volume has nothing to show.
    missing->click();
    EXPECT_TRUE(platform.revealed.isEmpty());
}

TEST_F(SplitExtractPageTest, twoDroppedFilesAreRefusedWithoutAScan) {
    const QStringList volumes = makeSevenZipSet("set");
    EXPECT_TRUE(dropFiles(&zone(), volumes.mid(0, 2)));
    EXPECT_EQ(alert(), QStringLiteral(u"请只拖入一个分卷文件。"));
    EXPECT_EQ(splitExtract().splitArchiveState(), SplitArchivePageState::initial());
    EXPECT_EQ(zone().content(), Content::prompt);
    settle();
    EXPECT_FALSE(splitExtract().splitArchiveDescriptor().has_value());
}

TEST_F(SplitExtractPageTest, plainZipGoesToTheExtractPage) {
    files.writeFile("docs/readme.txt", "hello");
    runTool("/usr/bin/zip", {"-q", "plain.zip", "docs/readme.txt"}, files.root());
    const QString zip = files.path("plain.zip");
    dropAndScan(zip);
    EXPECT_EQ(zone().content(), Content::notSplitArchive);
    EXPECT_FALSE(page().startButton()->isEnabled());

    zone().regularExtractButton()->click();
    EXPECT_EQ(context().selectedSection(), WorkbenchSection::extract);
    EXPECT_EQ(extract().selectedArchivesForExtraction(), QStringList{zip});
}

TEST_F(SplitExtractPageTest, cancellingEndsInThePromptWithoutAResult) {
    const QStringList volumes = makeSevenZipSet("set");
    ASSERT_TRUE(dropFiles(&zone(), {volumes[0]}));
    zone().cancelScanButton()->click();
    settle();
    EXPECT_EQ(splitExtract().splitArchiveState(), SplitArchivePageState::initial());
    EXPECT_EQ(zone().content(), Content::prompt);
    EXPECT_FALSE(context().statusMessage().has_value());
    EXPECT_FALSE(splitExtract().splitArchiveDescriptor().has_value()) << "the late scan is not applied";

    dropAndScan(files.writeFile("plain.txt", "x"));
    ASSERT_EQ(zone().content(), Content::notSplitArchive);
    zone().cancelRegularButton()->click();
    EXPECT_EQ(zone().content(), Content::prompt);
    EXPECT_FALSE(context().statusMessage().has_value());

    dropAndScan(volumes[0]);
    page().cancelButton()->click();
    EXPECT_EQ(splitExtract().splitArchiveState(), SplitArchivePageState::initial());
    EXPECT_EQ(status(), QStringLiteral(u"已清空解压列表。"));
    EXPECT_FALSE(page().startButton()->isEnabled());
}

TEST_F(SplitExtractPageTest, newDestinationRescansTheLoadedSet) {
    const QStringList volumes = makeSevenZipSet("set");
    const QString out = files.makeFolder("out");
    SplitExtractSettingsPanel& settings = *page().settingsPanel();
    EXPECT_EQ(settings.destinationRow()->value(), context().destinationDescription());

    // No set loaded: only the destination changes.
    platform.panelAnswers = {{out}};
    settings.destinationRow()->browseButton()->click();
    EXPECT_EQ(splitExtract().splitArchiveState(), SplitArchivePageState::initial());
    EXPECT_EQ(settings.destinationRow()->value(), out);

    dropAndScan(volumes[2]);
    platform.panelAnswers = {{files.root()}};
    settings.destinationRow()->browseButton()->click();
    EXPECT_EQ(splitExtract().splitArchiveState(), SplitArchivePageState::scanning());
    settle();
    EXPECT_EQ(splitExtract().splitArchiveState(), SplitArchivePageState::recognized());
    EXPECT_EQ(settings.destinationRow()->value(), files.root());

    // A real dialog answers after the click: the scan waits for the answer and checks that folder.
    const QString locked = files.makeFolder("locked");
    ASSERT_TRUE(QFile::setPermissions(locked, QFile::ReadOwner | QFile::ExeOwner));
    platform.answersLater = true;
    platform.panelAnswers = {{locked}};
    settings.destinationRow()->browseButton()->click();
    EXPECT_EQ(splitExtract().splitArchiveState(), SplitArchivePageState::recognized());
    platform.answerPanel();
    EXPECT_EQ(splitExtract().splitArchiveState(), SplitArchivePageState::scanning());
    settle();
    EXPECT_EQ(settings.destinationRow()->value(), locked);
    if (::geteuid() == 0) GTEST_SKIP() << "root writes into a read-only folder";
    EXPECT_EQ(splitExtract().splitArchiveDescriptor()->validationState,
              SplitArchiveValidationState::outputNotWritable);
    EXPECT_FALSE(page().startButton()->isEnabled());
}

// A folder path typed into the chooser and taken with Return opens that folder, as on the extract page,
// instead of closing the chooser with "请选择一个分卷文件，而不是文件夹。".
TEST_F(SplitExtractPageTest, typedFolderInTheChooserOpensIt) {
    const QString folder = files.makeFolder("volumes");
    splitExtract().selectSplitArchiveForExtraction();
    ASSERT_EQ(platform.panelRequests.size(), 1);
    bool answered = false;
    QFileDialog* dialog = FileDialogs::openFileDialog(platform.panelRequests.last(), nullptr,
                                                      [&](const QStringList&) { answered = true; });
    auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    ASSERT_NE(name, nullptr);
    name->setText(folder);
    QTest::keyClick(name, Qt::Key_Return);
    EXPECT_FALSE(answered);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(QDir(dialog->directory()).absolutePath(), folder);
    dialog->reject();
    EXPECT_TRUE(answered);
}

TEST_F(SplitExtractPageTest, optionSwitchesWriteTheViewState) {
    SplitExtractSettingsPanel& settings = *page().settingsPanel();
    for (QCheckBox* box : {settings.openSwitch(), settings.verifySwitch(), settings.notifySwitch()})
        EXPECT_TRUE(box->isChecked());
    settings.openSwitch()->click();
    settings.verifySwitch()->click();
    settings.notifySwitch()->click();
    EXPECT_FALSE(splitExtract().shouldOpenSplitArchiveDestinationAfterExtract());
    EXPECT_FALSE(splitExtract().shouldVerifySplitArchiveBeforeExtract());
    EXPECT_FALSE(splitExtract().shouldNotifyAfterSplitArchiveExtract());
}

}  // namespace
