#include "views/kit/DashedFrame.h"
#include "views/kit/ElidedLabel.h"
#include "views/kit/FormatPicker.h"
#include "views/kit/Theme.h"

#include <gtest/gtest.h>
#include <QAbstractButton>
#include <QHBoxLayout>
#include <QSignalSpy>

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

}  // namespace
