#include "views/main/SplitCompressionPageRules.h"

#include <gtest/gtest.h>

namespace {

using namespace SplitCompressionPageRules;

constexpr qint64 kTB = Q_INT64_C(1000000000000);

SplitCompressionPreview preview(qint64 original, std::optional<qint64> estimate) {
    return {.baseName = "Backup",
            .format = CompressionFormat::sevenZip,
            .splitEnabled = true,
            .originalBytes = original,
            .estimatedCompressedBytes = estimate,
            .volumeSizeBytes = std::nullopt,
            .estimatedPartCount = 0};
}

struct SavingCase {
    const char* name;
    qint64 original;
    std::optional<qint64> estimate;
    const char16_t* expected;
};

class SavingDescriptionTest : public testing::TestWithParam<SavingCase> {};

TEST_P(SavingDescriptionTest, describesTheEstimatedSaving) {
    const SavingCase& c = GetParam();
    EXPECT_EQ(splitCompressionSavingDescription(preview(c.original, c.estimate)),
              QString::fromUtf16(c.expected));
}

INSTANTIATE_TEST_SUITE_P(Cases, SavingDescriptionTest,
                         testing::Values(SavingCase{"originalZero", 0, 10, u"压缩后确定"},
                                         SavingCase{"noEstimate", 100, std::nullopt, u"压缩后确定"},
                                         SavingCase{"sixtyPercent", 100, 40, u"约 60%"},
                                         SavingCase{"thirdRoundsDown", 3, 2, u"约 33%"},
                                         SavingCase{"halfRoundsAwayFromZero", 200, 99, u"约 51%"},
                                         SavingCase{"estimateAboveOriginal", 100, 150, u"预计无明显节省"},
                                         SavingCase{"estimateEqualsOriginal", 100, 100, u"预计无明显节省"},
                                         SavingCase{"estimateZero", 100, 0, u"约 100%"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(PreviewTextsTest, emptyListAndZeroEstimate) {
    const PreviewTexts empty = previewTexts(preview(0, std::nullopt));
    EXPECT_EQ(empty.originalSize, "-");
    EXPECT_EQ(empty.compressedSize, QStringLiteral(u"压缩后大小将在任务完成后确定"));
    EXPECT_EQ(empty.saving, QStringLiteral(u"压缩后确定"));
    EXPECT_EQ(empty.volumeSize, "-");
    // A part count of 0 still promises one volume in the summary.
    EXPECT_EQ(empty.outputSummary, QStringLiteral(u"预计生成 0 个分卷文件"));
    EXPECT_EQ(empty.partCount, QStringLiteral(u"0 个"));
    EXPECT_EQ(empty.primaryFileName, "Backup.7z.001");

    EXPECT_EQ(previewTexts(preview(100, 0)).compressedSize, QStringLiteral(u"约 -"));
}

TEST(PreviewTextsTest, splitAndSingleArchive) {
    SplitCompressionPreview split = preview(3'000'000, 1'000'000);
    split.volumeSizeBytes = 1 << 20;
    split.estimatedPartCount = 3;
    const PreviewTexts texts = previewTexts(split);
    EXPECT_EQ(texts.originalSize, "2.9 MB");
    EXPECT_EQ(texts.compressedSize, QStringLiteral(u"约 976.6 KB"));
    EXPECT_EQ(texts.volumeSize, "1 MB");
    EXPECT_EQ(texts.outputSummary, QStringLiteral(u"预计生成 3 个分卷文件"));
    EXPECT_EQ(texts.partCount, QStringLiteral(u"3 个"));
    EXPECT_EQ(texts.namingRule, "Backup.7z.001 ~ Backup.7z.003");
    EXPECT_EQ(texts.namingRange, QStringList({"Backup.7z.001", "Backup.7z.003"}));

    SplitCompressionPreview single = split;
    single.splitEnabled = false;
    single.format = CompressionFormat::zip;
    single.estimatedPartCount = 1;
    const PreviewTexts singleTexts = previewTexts(single);
    EXPECT_EQ(singleTexts.outputSummary, QStringLiteral(u"生成单个压缩包"));
    EXPECT_EQ(singleTexts.primaryFileName, "Backup.zip");
    EXPECT_EQ(singleTexts.namingRule, "Backup.zip");
    EXPECT_EQ(singleTexts.namingRange, QStringList{"Backup.zip"});
}

struct VolumeCase {
    const char* name;
    const char16_t* value;
    SplitCompressionUnit unit;
    bool warns;
};

class VolumeWarningTest : public testing::TestWithParam<VolumeCase> {};

TEST_P(VolumeWarningTest, warnsExactlyForSizesThePlannerRefuses) {
    const VolumeCase& c = GetParam();
    const std::optional<QString> warning = volumeSizeWarning(QString::fromUtf16(c.value), c.unit);
    EXPECT_EQ(warning.has_value(), c.warns);
    if (warning) {
        EXPECT_EQ(*warning, QStringLiteral(u"每卷大小必须大于 0。"));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, VolumeWarningTest,
    testing::Values(VolumeCase{"empty", u"", SplitCompressionUnit::gb, true},
                    VolumeCase{"blank", u"  ", SplitCompressionUnit::mb, true},
                    VolumeCase{"zero", u"0", SplitCompressionUnit::gb, true},
                    VolumeCase{"negative", u"-1", SplitCompressionUnit::mb, true},
                    VolumeCase{"letters", u"abc", SplitCompressionUnit::kb, true},
                    VolumeCase{"aboveOneTB", u"1001", SplitCompressionUnit::gb, true},
                    VolumeCase{"wayAboveOneTB", u"99999999999", SplitCompressionUnit::kb, true},
                    VolumeCase{"exactlyOneTB", u"1000", SplitCompressionUnit::gb, false},
                    VolumeCase{"two", u"2", SplitCompressionUnit::gb, false},
                    VolumeCase{"decimalComma", u"1,5", SplitCompressionUnit::gb, false},
                    VolumeCase{"oneKB", u"1", SplitCompressionUnit::kb, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(VolumeWarningTest, oneTBBoundaryInBytes) {
    // Just above 1 TB in KB.
    EXPECT_FALSE(volumeSizeWarning(QString::number(kTB / 1000), SplitCompressionUnit::kb));
    EXPECT_TRUE(volumeSizeWarning(QString::number(kTB / 1000 + 1), SplitCompressionUnit::kb));
}

struct HighlightCase {
    const char* name;
    const char16_t* selected;
    std::optional<qint64> volumeSize;
    QStringList expected;
};

class PresetHighlightTest : public testing::TestWithParam<HighlightCase> {};

TEST_P(PresetHighlightTest, litByTheVolumeSizeUnlessCustomWasPressed) {
    const HighlightCase& c = GetParam();
    QStringList titles;
    for (const SplitCompressionPreset& preset : SplitCompressionPreset::all()) {
        if (isPresetHighlighted(preset, QString::fromUtf16(c.selected), c.volumeSize)) titles << preset.title;
    }
    EXPECT_EQ(titles, c.expected);
}

constexpr qint64 kGB = Q_INT64_C(1000000000);

INSTANTIATE_TEST_SUITE_P(
    Cases, PresetHighlightTest,
    testing::Values(HighlightCase{"pressedPreset", u"2 GB", 2 * kGB, {"2 GB"}},
                    HighlightCase{"typedSizeOfNoPreset", u"2 GB", 3 * kGB, {}},
                    HighlightCase{"typedSizeOfAnotherPreset", u"2 GB", 500 * kGB / 1000, {"500 MB"}},
                    HighlightCase{"invalidSize", u"4 GB", std::nullopt, {}},
                    HighlightCase{"customKeepsItsLight", u"自定义", 4 * kGB, {QStringLiteral(u"自定义")}},
                    HighlightCase{"customWithInvalidSize", u"自定义", std::nullopt, {QStringLiteral(u"自定义")}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
