#include "core/engine/ArchiveService.h"
#include "core/engine/CompressionService.h"
#include "platform/ByteCountFormatter.h"
#include "support/TempTree.h"
#include "viewmodels/ArchiveServiceWorkbenchEngine.h"
#include "views/kit/PathRow.h"
#include "views/main/PageFixture.h"
#include "views/main/SplitArchivePartRow.h"
#include "views/main/SplitCompressPage.h"
#include "views/main/SplitCompressionDestinationCard.h"
#include "views/main/SplitCompressionFileSelectionCard.h"
#include "views/main/SplitCompressionPreviewCard.h"
#include "views/main/SplitCompressionSettingsCard.h"
#include "views/main/SplitCompressionSourceList.h"
#include "views/main/SplitCompressionVolumeCard.h"
#include "views/main/SplitExtractDropZone.h"
#include "views/main/SplitExtractInfoPanel.h"
#include "views/main/SplitExtractPage.h"
#include "views/main/SplitExtractSettingsPanel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QMap>
#include <QPushButton>

namespace {

// Both pages driven through their widgets, with the installed 7-Zip doing the work.
class SplitPagesRoundTripTest : public PageFixture {
protected:
    WorkbenchEngine& modelEngine() override { return realEngine; }

    ArchiveService service{ArchiveService::standardExtractors(), std::make_shared<CompressionService>()};
    ArchiveServiceWorkbenchEngine realEngine{service};
};

TEST_F(SplitPagesRoundTripTest, folderSplitIntoMegabyteVolumesExtractsByteEqual) {
    files.writeFile("Project/data.bin", randomBytes(3 << 20, 11));
    files.writeFile("Project/docs/readme.txt", QByteArray("split volumes, 分卷\n").repeated(4000));
    files.writeFile("Project/docs/deep/more.bin", randomBytes(600 << 10, 12));
    const QMap<QString, QByteArray> original = contentsBelow(files.path("Project"));

    SplitCompressPage compressPage(splitCompress(), models().tasks());
    compressPage.show();
    ASSERT_TRUE(dropFiles(compressPage.fileSelectionCard()->sourceList(), {files.path("Project")}));
    settle();
    SplitCompressionVolumeCard& volume = *compressPage.volumeCard();
    retype(volume.volumeField(), "1");
    volume.unitPicker()->setCurrentIndex(1);
    Q_EMIT volume.unitPicker()->activated(1);
    // The sizes other pages show: "1 MB" volumes hold 1,000,000 bytes.
    const qint64 total = (3 << 20) + (600 << 10) + QByteArray("split volumes, 分卷\n").repeated(4000).size();
    EXPECT_EQ(compressPage.fileSelectionCard()->totalText(), ByteCountFormatter::fileStyle(total));
    settle();
    EXPECT_EQ(compressPage.previewCard()->texts().volumeSize, "1.0 MB");
    SplitCompressionSettingsCard& settings = *compressPage.settingsCard();
    settings.formatPicker()->setCurrentIndex(settings.formatPicker()->findText("7Z"));
    Q_EMIT settings.formatPicker()->activated(settings.formatPicker()->currentIndex());
    SplitCompressionDestinationCard& destination = *compressPage.destinationCard();
    platform.panelAnswers = {{files.makeFolder("volumes")}};
    destination.changeButton()->click();
    destination.startButton()->click();
    ASSERT_TRUE(context().isWorking()) << alert().toStdString();
    EXPECT_FALSE(destination.startButton()->isEnabled());
    ASSERT_TRUE(waitUntilIdle());
    ASSERT_EQ(workbench.tasks().first().status, ArchiveActivityStatus::completed) << status().toStdString();

    const QStringList volumes = QDir(files.path("volumes")).entryList(QDir::Files, QDir::Name);
    ASSERT_GE(volumes.size(), 3) << volumes.join(' ').toStdString();
    EXPECT_EQ(volumes.first(), "Project.7z.001");
    for (const QString& name : volumes.mid(0, volumes.size() - 1))
        EXPECT_EQ(QFileInfo(files.path("volumes/" + name)).size(), 1000000) << name.toStdString();

    SplitExtractPage extractPage(splitExtract(), models().tasks());
    extractPage.show();
    ASSERT_TRUE(dropFiles(extractPage.dropZone(), {files.path("volumes/Project.7z.002")}));
    settle();
    ASSERT_EQ(splitExtract().splitArchiveState(), SplitArchivePageState::recognized())
        << status().toStdString();
    const QList<SplitArchivePartRow*>& rows = extractPage.infoPanel()->partRows();
    ASSERT_EQ(rows.size(), volumes.size());
    for (SplitArchivePartRow* row : rows)
        EXPECT_EQ(row->part().status, SplitArchivePartStatus::found()) << row->look().fileName.toStdString();

    platform.panelAnswers = {{files.makeFolder("out")}};
    extractPage.settingsPanel()->destinationRow()->browseButton()->click();
    settle();
    ASSERT_TRUE(extractPage.startButton()->isEnabled());
    extractPage.settingsPanel()->openSwitch()->click();
    extractPage.settingsPanel()->notifySwitch()->click();
    platform.revealed.clear();
    extractPage.startButton()->click();
    ASSERT_TRUE(waitUntilIdle());
    ASSERT_EQ(workbench.tasks().first().status, ArchiveActivityStatus::completed) << status().toStdString();
    EXPECT_EQ(workbench.tasks().first().kind, ArchiveActivityKind::splitExtraction);
    EXPECT_TRUE(platform.revealed.isEmpty()) << "opening the destination was switched off";

    const QString extracted = workbench.tasks().first().message;
    EXPECT_EQ(contentsBelow(extracted + "/Project"), original) << extracted.toStdString();
}

}  // namespace
