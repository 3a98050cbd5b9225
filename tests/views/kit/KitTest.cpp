#include "views/kit/DashedFrame.h"
#include "views/kit/ElidedLabel.h"
#include "views/kit/FormatPicker.h"
#include "views/kit/PasswordDialog.h"
#include "views/kit/ScrollPage.h"
#include "views/kit/Theme.h"

#include <gtest/gtest.h>
#include <QAbstractButton>
#include <QDialog>
#include <QHBoxLayout>
#include <QHelpEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QToolTip>
#include <QVBoxLayout>

namespace {

TEST(KitTest, ElidedLabelCutsInTheMiddleAndKeepsHeadAndTail) {
    const QString text =
        QStringLiteral(u"/home/user/项目资料/一个很长很长很长很长很长的文件夹/最后的文件名.zip");
    ElidedLabel label(text);
    const int width = QFontMetrics(label.font()).horizontalAdvance(text) / 3;

    const QStringList one = label.displayedLines(width);
    ASSERT_EQ(one.size(), 1);
    EXPECT_TRUE(one.first().startsWith(QStringLiteral("/home")));
    EXPECT_TRUE(one.first().endsWith(QStringLiteral(".zip")));
    EXPECT_TRUE(one.first().contains(QChar(0x2026)));

    label.setMaximumLines(2);
    const QStringList two = label.displayedLines(width);
    ASSERT_EQ(two.size(), 2);
    EXPECT_TRUE(text.startsWith(two.first()));
    EXPECT_TRUE(two.last().endsWith(QStringLiteral(".zip")));
    EXPECT_EQ(label.heightForWidth(width), 2 * QFontMetrics(label.font()).height());

    // Text that fits is never cut, whatever the line limit.
    EXPECT_EQ(label.displayedLines(10'000), QStringList{text});
}

// A name in a row with room is shown whole in the app's fonts, wherever its exact advance falls
// between two whole pixels.
TEST(KitTest, ElidedLabelShowsANameThatFitsWhole) {
    for (const Theme::TextStyle style : {Theme::TextStyle::headline, Theme::TextStyle::callout}) {
        for (const QString& name : {QStringLiteral("old.rar"), QStringLiteral(u"备份2024.part1.rar"),
                                    QStringLiteral("abc.rar"), QStringLiteral("Quarterly report.zip")}) {
            QWidget row;
            auto* layout = new QHBoxLayout(&row);
            auto* label = new ElidedLabel(name);
            label->setFont(Theme::font(style));
            label->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
            layout->addWidget(label);
            layout->addStretch(1);
            row.resize(800, 40);
            row.show();
            EXPECT_EQ(label->displayedLines(label->width()).join('\n').toStdString(), name.toStdString());
        }
    }
}

// Volumes of one set differ only in their number: a cut name keeps it and cuts the base name.
TEST(KitTest, ElidedVolumeNameKeepsItsVolumeSuffix) {
    for (const QString suffix : {".part1.rar", ".7z.001", ".z01"}) {
        const QString name = QStringLiteral(u"这是一个非常非常非常非常非常长的分卷名称") + suffix;
        ElidedLabel label(name);
        label.setKeepsVolumeSuffix(true);
        const int width = QFontMetrics(label.font()).horizontalAdvance(name) / 2;
        const QString shown = label.displayedLines(width).join(QString());
        EXPECT_TRUE(shown.endsWith(QChar(0x2026) + suffix) && shown.startsWith(QStringLiteral(u"这是")) &&
                    QFontMetrics(label.font()).horizontalAdvance(shown) <= width)
            << shown.toStdString();
        // Too narrow for the suffix: cut as any text.
        EXPECT_TRUE(label.displayedLines(20).join(QString()).contains(QChar(0x2026)));
    }
}

// A cut text can still be read whole: the label offers it as its tool tip.
TEST(KitTest, CutTextIsOfferedAsToolTip) {
    const QString text = QStringLiteral(u"已解压 3 个压缩包，1 个失败：一个名字很长的压缩包.zip：已损坏。");
    ElidedLabel label(text);
    label.show();
    const auto offersToolTipAt = [&](int width) {
        label.resize(width, 20);
        QHelpEvent event(QEvent::ToolTip, QPoint(5, 5), label.mapToGlobal(QPoint(5, 5)));
        QCoreApplication::sendEvent(&label, &event);
        return event.isAccepted();
    };
    const int whole = QFontMetrics(label.font()).horizontalAdvance(text) + 10;
    EXPECT_TRUE(offersToolTipAt(whole / 2));
    EXPECT_EQ(QToolTip::text(), text);
    EXPECT_FALSE(offersToolTipAt(whole));
}

TEST(KitTest, DashLengthsAreGivenInPenWidths) {
    EXPECT_EQ(DashedFrame::dashPattern(1.5, 8, 8), (QVector<qreal>{8 / 1.5, 8 / 1.5}));
    EXPECT_EQ(DashedFrame::dashPattern(2, 6, 4), (QVector<qreal>{3, 2}));
}

TEST(KitTest, FormatPickerSelectionFollowsTheModelNotTheClick) {
    FormatPicker picker;
    QSignalSpy chosen(&picker, &FormatPicker::formatChosen);
    picker.button(CompressionFormat::rar)->click();
    ASSERT_EQ(chosen.size(), 1);
    EXPECT_EQ(chosen.first().first().value<CompressionFormat>(), CompressionFormat::rar);
    // The model refused it: nothing told the picker otherwise, so ZIP stays marked.
    EXPECT_TRUE(picker.button(CompressionFormat::zip)->isChecked());
    EXPECT_FALSE(picker.button(CompressionFormat::rar)->isChecked());

    picker.setSelectedFormat(CompressionFormat::sevenZip);
    EXPECT_TRUE(picker.button(CompressionFormat::sevenZip)->isChecked());
    EXPECT_FALSE(picker.button(CompressionFormat::zip)->isChecked());
    EXPECT_EQ(picker.button(CompressionFormat::tarGzip)->toolTip(), QStringLiteral("TAR.GZ"));
}

// A page cut short for a moment keeps the reader's place, unless the reader scrolled meanwhile.
TEST(KitTest, ScrollPageTakesThePlaceAgainWhenThePageGrowsBack) {
    auto* content = new QWidget;
    auto* panel = new QWidget;
    (new QVBoxLayout(content))->addWidget(panel);
    ScrollPage page(content);
    page.resize(400, 500);
    page.show();
    QScrollBar* bar = page.verticalScrollBar();
    const auto panelHeight = [&](int height) {
        panel->setFixedHeight(height);
        for (int round = 0; round < 3; ++round) QCoreApplication::processEvents();
    };
    panelHeight(2000);
    bar->setValue(1200);
    panelHeight(100);
    EXPECT_EQ(bar->value(), bar->maximum());
    panelHeight(2000);
    EXPECT_EQ(bar->value(), 1200);
    panelHeight(600);
    ASSERT_GT(bar->maximum(), 100);
    bar->setValue(100);
    panelHeight(2000);
    EXPECT_EQ(bar->value(), 100);
}

// Blanks are no password (确定 off, Return does nothing); the answer comes trimmed; cancelling answers none.
TEST(KitTest, PasswordDialogAnswersTheTrimmedPasswordOrNone) {
    QWidget window;
    QList<std::optional<QString>> answers;
    const auto answered = [&answers](const std::optional<QString>& password) { answers << password; };
    QDialog* asking =
        PasswordDialog::ask(QStringLiteral(u"a.7z：密码错误或压缩包需要密码。"), &window, answered);
    auto* field = asking->findChild<QLineEdit*>();
    QPushButton* confirm = nullptr;
    for (QPushButton* button : asking->findChildren<QPushButton*>())
        if (button->text() == QStringLiteral(u"确定")) confirm = button;
    ASSERT_TRUE(field && confirm);
    field->setText(QStringLiteral("  "));
    EXPECT_FALSE(confirm->isEnabled());
    QTest::keyClick(field, Qt::Key_Return);
    EXPECT_TRUE(answers.isEmpty());
    field->setText(QStringLiteral(" secret "));
    confirm->click();
    EXPECT_EQ(answers, QList<std::optional<QString>>{QStringLiteral("secret")});

    PasswordDialog::ask(QStringLiteral("b.zip"), &window, answered)->reject();
    EXPECT_EQ(answers, (QList<std::optional<QString>>{QStringLiteral("secret"), std::nullopt}));
}

}  // namespace
