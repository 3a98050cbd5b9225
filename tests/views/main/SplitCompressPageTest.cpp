#include "platform/ByteCountFormatter.h"
#include "platform/ToolText.h"
#include "viewmodels/CompressionEstimateHelper.h"
#include "views/kit/ElidedLabel.h"
#include "views/kit/FeedbackBanner.h"
#include "views/main/PageFixture.h"
#include "views/main/SplitCompressPage.h"
#include "views/main/SplitCompressionDestinationCard.h"
#include "views/main/SplitCompressionFileSelectionCard.h"
#include "views/main/SplitCompressionPreviewCard.h"
#include "views/main/SplitCompressionSettingsCard.h"
#include "views/main/SplitCompressionSourceList.h"
#include "views/main/SplitCompressionSourceRow.h"
#include "views/main/SplitCompressionVolumeCard.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <memory>

namespace {

class SplitCompressPageTest : public PageFixture {
protected:
    SplitCompressPage& page() {
        if (!m_page) {
            m_page = std::make_unique<SplitCompressPage>(splitCompress(), models().tasks());
            m_page->show();
        }
        return *m_page;
    }
    SplitCompressionSettingsCard& settings() { return *page().settingsCard(); }
    SplitCompressionVolumeCard& volume() { return *page().volumeCard(); }

    void addSources(const QStringList& paths) {
        ASSERT_TRUE(dropFiles(page().fileSelectionCard()->sourceList(), paths));
        settle();
    }

private:
    std::unique_ptr<SplitCompressPage> m_page;
};

TEST_F(SplitCompressPageTest, splitZipLocksThePasswordSwitchButKeepsItOn) {
    settings().passwordSwitch()->click();
    ASSERT_TRUE(splitCompress().splitCompressionPasswordEnabled());
    QTest::keyClicks(settings().passwordField(), "secret");
    QTest::keyClicks(settings().confirmationField(), "secret");

    splitCompress().setSplitCompressionFormat(CompressionFormat::zip);
    EXPECT_FALSE(settings().passwordSwitch()->isEnabled());
    EXPECT_TRUE(settings().passwordSwitch()->isChecked());
    EXPECT_TRUE(splitCompress().splitCompressionPasswordEnabled());
    EXPECT_FALSE(settings().passwordRow()->isHidden());
    EXPECT_FALSE(settings().zipNote()->isHidden());
    EXPECT_EQ(settings().methodText(), QStringLiteral(u"Deflate / Store（系统 ZIP）"));
    // As wide as the main window gives the page, the settings card shows its values whole.
    page().resize(980, 800);
    QCoreApplication::processEvents();
    for (const ElidedLabel* label : settings().findChildren<ElidedLabel*>()) {
        EXPECT_FALSE(label->displayedLines(label->width()).join(QString()).contains(u'…'))
            << label->text().toStdString();
    }

    // The run refuses what the switch can no longer change.
    addSources({files.writeFile("a.txt", "abc")});
    page().destinationCard()->startButton()->click();
    EXPECT_TRUE(
        alert().endsWith(QStringLiteral(u"当前 ZIP 分卷压缩暂不支持加密，请关闭密码或改用 7Z 分卷。")))
        << alert().toStdString();
    EXPECT_TRUE(workbench.tasks().isEmpty());

    // Without splitting a ZIP may be encrypted again.
    volume().splitSwitch()->click();
    EXPECT_TRUE(settings().passwordSwitch()->isEnabled());
    EXPECT_TRUE(settings().zipNote()->isHidden());
}

TEST_F(SplitCompressPageTest, mismatchLineFollowsBothFields) {
    settings().passwordSwitch()->click();
    EXPECT_TRUE(settings().mismatchWarning()->isHidden()) << "both empty";
    QTest::keyClicks(settings().passwordField(), "abc");
    EXPECT_FALSE(settings().mismatchWarning()->isHidden()) << "confirmation still empty";
    QTest::keyClicks(settings().confirmationField(), "ab");
    EXPECT_FALSE(settings().mismatchWarning()->isHidden());
    QTest::keyClicks(settings().confirmationField(), "c");
    EXPECT_TRUE(settings().mismatchWarning()->isHidden());
    EXPECT_EQ(splitCompress().splitCompressionPasswordConfirmation(), "abc");
    // Switching the password off hides the fields and the warning with them.
    QTest::keyClick(settings().confirmationField(), Qt::Key_Backspace);
    settings().passwordSwitch()->click();
    EXPECT_TRUE(settings().mismatchWarning()->isHidden());
    EXPECT_TRUE(settings().passwordRow()->isHidden());
}

TEST_F(SplitCompressPageTest, eyeButtonShowsThePasswordsWithoutLosingThem) {
    settings().passwordSwitch()->click();
    QTest::keyClicks(settings().passwordField(), "pa55");
    QTest::keyClicks(settings().confirmationField(), "pa5");
    EXPECT_EQ(settings().passwordField()->echoMode(), QLineEdit::Password);

    settings().eyeButton()->click();
    EXPECT_TRUE(splitCompress().showSplitCompressionPassword());
    EXPECT_EQ(settings().passwordField()->echoMode(), QLineEdit::Normal);
    EXPECT_EQ(settings().confirmationField()->echoMode(), QLineEdit::Normal);
    EXPECT_EQ(settings().passwordField()->text(), "pa55");
    EXPECT_EQ(settings().confirmationField()->text(), "pa5");

    settings().eyeButton()->click();
    EXPECT_EQ(settings().passwordField()->echoMode(), QLineEdit::Password);
    EXPECT_EQ(settings().passwordField()->text(), "pa55");
    EXPECT_EQ(splitCompress().splitCompressionPassword(), "pa55");
}

TEST_F(SplitCompressPageTest, startIsHeldOnlyWhileSizingOrWorking) {
    struct Case {
        bool working;
        bool sizing;
        bool enabled;
    };
    for (const Case c : {Case{false, false, true}, Case{true, false, false}, Case{false, true, false},
                         Case{true, true, false}}) {
        context().setIsWorking(c.working);
        splitCompress().setIsCalculatingSplitCompressionItems(c.sizing);
        EXPECT_EQ(page().destinationCard()->startButton()->isEnabled(), c.enabled)
            << "working " << c.working << ", sizing " << c.sizing;
        EXPECT_TRUE(page().destinationCard()->cancelButton()->isEnabled());
    }
    context().setIsWorking(false);
    splitCompress().setIsCalculatingSplitCompressionItems(false);
    // A run keeps focus off a remove button (the next Space would press it) and back on start after.
    addSources({files.writeFile("a.txt", "abc")});
    QPushButton* start = page().destinationCard()->startButton();
    start->setFocus();
    context().setIsWorking(true);
    EXPECT_FALSE(qobject_cast<QToolButton*>(page().focusWidget()));
    context().setIsWorking(false);
    EXPECT_EQ(page().focusWidget(), start);
    page().fileSelectionCard()->clearButton()->click();

    // An empty form still starts: the model says what is missing.
    page().destinationCard()->startButton()->click();
    EXPECT_EQ(alert(), QStringLiteral(u"请先添加需要压缩的文件或文件夹。"));
}

TEST_F(SplitCompressPageTest, volumeCardFollowsPresetsAndTypedSizes) {
    const auto preset = [this](const QString& title) {
        for (QPushButton* button : volume().presetButtons()) {
            if (button->text() == title) return button;
        }
        return static_cast<QPushButton*>(nullptr);
    };
    preset("4 GB")->click();
    EXPECT_EQ(volume().volumeField()->text(), "4");
    EXPECT_EQ(volume().unitPicker()->currentText(), "GB");
    EXPECT_EQ(volume().highlightedPresets(), QStringList{"4 GB"});
    EXPECT_FALSE(volume().sizeMessage()->isHidden());
    retype(volume().volumeField(), "3");
    EXPECT_TRUE(volume().highlightedPresets().isEmpty());
    retype(volume().volumeField(), "4");
    EXPECT_EQ(volume().highlightedPresets(), QStringList{"4 GB"});

    preset(QStringLiteral(u"自定义"))->click();
    EXPECT_EQ(volume().highlightedPresets(), QStringList{QStringLiteral(u"自定义")});
    EXPECT_EQ(volume().volumeField()->text(), "4");
    EXPECT_FALSE(volume().sizeMessage()->isHidden());

    for (const char* text : {"", "0", "-1", "abc", "2048"}) {
        retype(volume().volumeField(), text);
        EXPECT_EQ(splitCompress().splitCompressionVolumeValue(), text);
        EXPECT_FALSE(volume().warning()->isHidden()) << text;
    }
    retype(volume().volumeField(), "700");
    volume().unitPicker()->setCurrentIndex(1);
    Q_EMIT volume().unitPicker()->activated(1);
    EXPECT_EQ(splitCompress().splitCompressionVolumeUnit(), SplitCompressionUnit::mb);
    EXPECT_TRUE(volume().warning()->isHidden());
    EXPECT_EQ(volume().highlightedPresets(), QStringList{QStringLiteral(u"自定义")});

    // Off: only the note, whatever the model holds.
    volume().splitSwitch()->click();
    EXPECT_FALSE(splitCompress().splitCompressionEnabled());
    EXPECT_FALSE(volume().offNote()->isHidden());
    EXPECT_FALSE(volume().warning()->isVisibleTo(&volume()));
    EXPECT_FALSE(volume().adviceBox()->isVisibleTo(&volume()));
}

TEST_F(SplitCompressPageTest, sourcesComeByDropOnTheListAndLeaveByTheirRowButton) {
    SplitCompressionFileSelectionCard& card = *page().fileSelectionCard();
    EXPECT_EQ(card.sourceList()->body(), SplitCompressionSourceList::Body::empty);
    EXPECT_FALSE(card.clearButton()->isEnabled());
    EXPECT_EQ(card.totalText(), "-");

    const QString folder = files.makeFolder("Photos");
    files.writeFile("Photos/a.jpg", randomBytes(3000, 1));
    const QString notes = files.writeFile("notes", "");
    // The card's title row takes no drops; the list box does.
    EXPECT_FALSE(dropFiles(&card, {folder}));
    addSources({folder, notes});
    EXPECT_EQ(card.sourceList()->body(), SplitCompressionSourceList::Body::rows);
    EXPECT_EQ(card.sourceList()->rowCount(), 2);
    EXPECT_EQ(card.countText(), QStringLiteral(u"总计 2 个项目"));
    EXPECT_EQ(card.totalText(), "3.0 KB");
    EXPECT_TRUE(card.clearButton()->isEnabled());
    EXPECT_EQ(page().destinationCard()->nameField()->text(), QStringLiteral(u"压缩文件"));
    EXPECT_EQ(page().destinationCard()->folderText(), files.root());

    auto rows = card.sourceList()->findChildren<SplitCompressionSourceRow*>();
    ASSERT_EQ(rows.size(), 2);
    EXPECT_EQ(rows.last()->typeLabel()->text(), QStringLiteral(u"文件"));
    rows.first()->removeButton()->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(card.sourceList()->rowCount(), 1);
    EXPECT_EQ(splitCompress().splitCompressionItems().first().url, notes);

    card.clearButton()->click();
    EXPECT_EQ(card.sourceList()->body(), SplitCompressionSourceList::Body::empty);
    EXPECT_EQ(status(), QStringLiteral(u"已清空分卷压缩列表。"));

    // A name and folder that are not UTF-8 (GBK) show decoded, never as lone surrogates.
    const SplitCompressionSourceRow legacy(
        {.id = {}, .url = ToolText::escapedName("/tmp/\xD6\xD0\xCE\xC4/\xB1\xA8\xB8\xE6.txt")});
    QStringList texts;
    for (const ElidedLabel* label : legacy.findChildren<ElidedLabel*>()) texts << label->text();
    EXPECT_EQ(texts, (QStringList{QStringLiteral(u"报告.txt"), QStringLiteral(u"/tmp/中文")}));
}

TEST_F(SplitCompressPageTest, sizingIndicatorReplacesOnlyTheEmptyPlaceholder) {
    SplitCompressionSourceList& list = *page().fileSelectionCard()->sourceList();
    splitCompress().setIsCalculatingSplitCompressionItems(true);
    EXPECT_EQ(list.body(), SplitCompressionSourceList::Body::sizing);
    splitCompress().setIsCalculatingSplitCompressionItems(false);
    addSources({files.writeFile("a.txt", "abc")});
    splitCompress().setIsCalculatingSplitCompressionItems(true);
    EXPECT_EQ(list.body(), SplitCompressionSourceList::Body::rows);
    splitCompress().setIsCalculatingSplitCompressionItems(false);
}

TEST_F(SplitCompressPageTest, previewFollowsTheFormInOneStep) {
    // Random data filling three 1 MB volumes exactly: the archive's headers make a fourth.
    files.writeFile("Backup/data.bin", randomBytes(3000000, 3));
    addSources({files.path("Backup")});
    splitCompress().setSplitCompressionVolumeValue("1");
    splitCompress().setSplitCompressionVolumeUnit(SplitCompressionUnit::mb);
    platform.freeBytes = Q_INT64_C(5000000000);
    QTRY_COMPARE(page().previewCard()->texts().partCount, QStringLiteral(u"4 个"));
    const SplitCompressionPageRules::PreviewTexts& texts = page().previewCard()->texts();
    EXPECT_EQ(texts.primaryFileName, "Backup.7z.001");
    EXPECT_EQ(texts.outputSummary, QStringLiteral(u"预计生成 4 个分卷文件"));
    EXPECT_EQ(texts.namingRule, "Backup.7z.001 ~ Backup.7z.004");
    // Every size as the other pages write it: the volume size means what it shows.
    EXPECT_EQ(texts.volumeSize, "1.0 MB");
    EXPECT_EQ(splitCompress().splitCompressionVolumeSizeBytes(), 1000000);
    EXPECT_EQ(texts.originalSize, "3.0 MB");
    EXPECT_TRUE(page().destinationCard()->availableSpace().startsWith(QStringLiteral(u"可用空间：5.0 GB")))
        << page().destinationCard()->availableSpace().toStdString();
    splitCompress().setSplitCompressionVolumeValue("30");
    QTRY_COMPARE(page().previewCard()->texts().volumeSize, "30.0 MB");

    QTest::keyClicks(page().destinationCard()->nameField(), " v2");
    QTRY_COMPARE(page().previewCard()->texts().primaryFileName, "Backup v2.7z.001");

    // A long name loses the end of its stem in both volume names, never their suffixes.
    splitCompress().setSplitCompressionVolumeValue("1");
    splitCompress().setSplitCompressionBaseName(
        QStringLiteral(u"二零二六年第四季度全部门项目交付资料与会议记录归档备份"));
    QTRY_COMPARE(page().previewCard()->texts().partCount, QStringLiteral(u"4 个"));
    for (auto [label, suffix] : {std::pair{page().previewCard()->firstVolumeLabel(), ".7z.001"},
                                 std::pair{page().previewCard()->lastVolumeLabel(), ".7z.004"}}) {
        const QStringList lines = label->displayedLines(label->width());
        ASSERT_EQ(lines.size(), 1);
        EXPECT_TRUE(lines.first().endsWith(QStringLiteral(u"…") + suffix)) << lines.first().toStdString();
    }
}

// The run's progress and outcome show beside the start button, and coming or going move it not.
TEST_F(SplitCompressPageTest, statusShowsBesideTheStartButton) {
    page().resize(980, 900);
    const auto place = [&](QWidget* widget) {
        QCoreApplication::processEvents();
        return QRect(widget->mapTo(&page(), QPoint()), widget->size());
    };
    QPushButton* start = page().destinationCard()->startButton();
    FeedbackBanner* banner = page().destinationCard()->banner();
    const QRect before = place(start);
    EXPECT_FALSE(banner->isVisible());
    context().setStatusMessage(QStringLiteral(u"分卷压缩完成：4 个文件"));
    ASSERT_TRUE(banner->isVisible());
    EXPECT_EQ(banner->message(), QStringLiteral(u"分卷压缩完成：4 个文件"));
    EXPECT_EQ(place(start), before);
    const QRect shown = place(banner);
    EXPECT_TRUE(shown.top() <= before.center().y() && before.center().y() <= shown.bottom());
    EXPECT_LT(shown.right(), before.left());
}

// Building the preview never walks the sources on the GUI thread: the estimate comes later from a
// worker, and until then the preview says it is not known.
TEST_F(SplitCompressPageTest, previewEstimateArrivesFromAWorker) {
    for (int index = 0; index < 200; ++index)
        files.writeFile(QStringLiteral("Tree/notes%1.txt").arg(index), QByteArray(1000, 'n'));
    page();
    addSources({files.path("Tree")});
    splitCompress().setSplitCompressionFormat(CompressionFormat::zip);
    // Only the page's own queued step runs; the worker's answer is not delivered yet.
    QCoreApplication::sendPostedEvents(&page(), QEvent::MetaCall);
    EXPECT_EQ(page().previewCard()->texts().compressedSize, QStringLiteral(u"压缩后大小将在任务完成后确定"));

    const QString expected = QStringLiteral(u"约 ") +
                             ByteCountFormatter::fileStyle(CompressionEstimateHelper::estimatedSize(
                                 {files.path("Tree")}, CompressionFormat::zip, CompressionLevel::standard));
    EXPECT_TRUE(waitFor([&] { return page().previewCard()->texts().compressedSize == expected; }))
        << page().previewCard()->texts().compressedSize.toStdString();
}

}  // namespace
