#include "core/split/SplitCompressionError.h"
#include "core/split/SplitCompressionPlanner.h"
#include "core/split/SplitCompressionPreset.h"
#include "core/split/SplitCompressionSourceItem.h"
#include "support/TempTree.h"

#include <gtest/gtest.h>

namespace {

using namespace SplitCompressionPlanner;

// Volume sizes are decimal, as every page shows sizes.
constexpr qint64 kMB = Q_INT64_C(1000000);
constexpr qint64 kGB = Q_INT64_C(1000000000);
constexpr qint64 kGiB = Q_INT64_C(1) << 30;

TEST(SplitCompressionPlanner, VolumeSizeText) {
    const std::tuple<QString, SplitCompressionUnit, qint64> accepted[] = {
        {" 1,5 \n", SplitCompressionUnit::gb, 1500000000},
        {"1000", SplitCompressionUnit::gb, Q_INT64_C(1000000000000)},
        {"2", SplitCompressionUnit::mb, 2 * kMB},
        {"50", SplitCompressionUnit::mb, 50000000},
        {"0.5", SplitCompressionUnit::kb, 500},
        {"0.001", SplitCompressionUnit::kb, 1},
        {"1e2", SplitCompressionUnit::kb, 100000},
    };
    for (const auto& [text, unit, expected] : accepted) {
        EXPECT_EQ(bytes(text, unit), expected) << text.toStdString();
    }
    const std::pair<QString, SplitCompressionUnit> refused[] = {
        {"1001", SplitCompressionUnit::gb},   {"0", SplitCompressionUnit::mb},
        {"-1", SplitCompressionUnit::mb},     {"", SplitCompressionUnit::mb},
        {"1.5.2", SplitCompressionUnit::mb},  {"abc", SplitCompressionUnit::mb},
        {"0.0001", SplitCompressionUnit::kb}, {"inf", SplitCompressionUnit::kb},
        {"nan", SplitCompressionUnit::kb},    {"2 GB", SplitCompressionUnit::gb},
    };
    for (const auto& [text, unit] : refused) {
        EXPECT_THROW(bytes(text, unit), SplitCompressionError) << text.toStdString();
    }
}

TEST(SplitCompressionPlanner, PartCounts) {
    const std::tuple<qint64, std::optional<qint64>, bool, int> cases[] = {
        {10 * kGiB, 4 * kGiB, true, 3},
        {4 * kGiB, 4 * kGiB, true, 1},
        {0, 4 * kGiB, true, 0},
        {1, std::nullopt, true, 1},
        {1, 0, true, 1},
        {10 * kGiB, 4 * kGiB, false, 1},
        {0, 4 * kGiB, false, 0},
        {4 * kGiB + 1, 4 * kGiB, true, 2},
    };
    for (const auto& [original, volume, splitEnabled, expected] : cases) {
        EXPECT_EQ(estimatedPartCount(original, volume, splitEnabled), expected) << original;
    }
    // Sources that fill their volumes exactly give one more when nothing compresses: archive headers.
    const std::tuple<qint64, qint64> bounds[] = {
        {0, 0}, {1, 65537}, {150 * kMB, 150 * kMB + 146484 + 65536}, {4 * kGB, 4 * kGB + 3906250 + 65536}};
    for (const auto& [original, largest] : bounds) EXPECT_EQ(largestArchiveBytes(original), largest) << original;
    EXPECT_EQ(estimatedPartCount(largestArchiveBytes(150 * kMB), 50 * kMB, true), 4);
}

TEST(SplitCompressionPlanner, BaseNamesAndOutputNames) {
    EXPECT_EQ(sanitizedBaseName("  My/Report:2024 \n"), "My-Report-2024");
    EXPECT_EQ(sanitizedBaseName("a//b"), "a--b");
    EXPECT_EQ(sanitizedBaseName(" \t "), QStringLiteral(u"压缩文件"));

    const std::tuple<CompressionFormat, int, bool, QStringList> names[] = {
        {CompressionFormat::zip, 3, true, {"x.z01", "x.z02", "x.zip"}},
        {CompressionFormat::zip, 1, true, {"x.zip"}},
        {CompressionFormat::sevenZip, 0, true, {"x.7z.001"}},
        {CompressionFormat::sevenZip, 3, true, {"x.7z.001", "x.7z.002", "x.7z.003"}},
        {CompressionFormat::sevenZip, 3, false, {"x.7z"}},
        {CompressionFormat::tarGzip, 3, true, {"x.tar.gz"}},
        {CompressionFormat::rar, 3, true, {"x.rar"}},
    };
    for (const auto& [format, parts, splitEnabled, expected] : names) {
        EXPECT_EQ(expectedPartFileNames(format, " x ", parts, splitEnabled), expected) << parts;
    }
    EXPECT_EQ(primaryOutputFileName(CompressionFormat::sevenZip, "x", true), "x.7z.001");
    EXPECT_EQ(primaryOutputFileName(CompressionFormat::zip, "x", true), "x.zip");
    EXPECT_EQ(primaryOutputFileName(CompressionFormat::tarGzip, "a:b", false), "a-b.tar.gz");
    EXPECT_EQ(namingRuleDescription(CompressionFormat::sevenZip, "x", 3, true), "x.7z.001 ~ x.7z.003");
    EXPECT_EQ(namingRuleDescription(CompressionFormat::zip, "x", 1, true), "x.zip");
    EXPECT_EQ(namingRuleDescription(CompressionFormat::zip, "x", 0, false), "x.zip");
}

TEST(SplitCompressionPlanner, SpaceSizes) {
    EXPECT_EQ(estimatedRequiredSpaceBytes(kGiB, std::nullopt), 1342177280);
    EXPECT_EQ(estimatedRequiredSpaceBytes(10 * kGiB, std::nullopt), Q_INT64_C(12670153523));
    EXPECT_EQ(estimatedRequiredSpaceBytes(kGiB, 2 * kGiB), Q_INT64_C(2534030705));
    TempTree tree;
    EXPECT_GT(availableCapacityBytes(tree.root()).value_or(0), 0);
    EXPECT_FALSE(availableCapacityBytes(tree.path("missing")));
}

TEST(SplitCompressionPlanner, PresetValuesAndPresets) {
    const std::tuple<qint64, QString, SplitCompressionUnit> cases[] = {
        {4 * kGB, "4", SplitCompressionUnit::gb},  {kGB + kGB / 2, "1500", SplitCompressionUnit::mb},
        {100000, "100", SplitCompressionUnit::kb}, {1000, "1", SplitCompressionUnit::kb},
        {0, "0", SplitCompressionUnit::gb},        {1500, "1", SplitCompressionUnit::kb},
        {4 * kGiB, "4294967", SplitCompressionUnit::kb}, {999, "1", SplitCompressionUnit::kb},
    };
    for (const auto& [count, number, unit] : cases) {
        EXPECT_EQ(presetValue(count), std::make_pair(number, unit)) << count;
    }
    const std::vector<SplitCompressionPreset>& presets = SplitCompressionPreset::all();
    ASSERT_EQ(presets.size(), 7u);
    EXPECT_EQ(presets.front(), (SplitCompressionPreset{"500 MB", 500 * kMB}));
    EXPECT_EQ(presets[5], (SplitCompressionPreset{"10 GB", 10 * kGB}));
    EXPECT_EQ(presets.back(), (SplitCompressionPreset{QStringLiteral(u"自定义"), std::nullopt}));
    for (const SplitCompressionPreset& preset : presets) {
        if (!preset.bytes) continue;
        const auto [number, unit] = presetValue(*preset.bytes);
        EXPECT_EQ(number + " " + SplitCompressionUnits::rawValue(unit), preset.title);
    }
    EXPECT_EQ(supportedCreationFormats(),
              (std::vector<CompressionFormat>{CompressionFormat::sevenZip, CompressionFormat::zip}));
}

TEST(SplitCompressionPlanner, DefaultBaseNamesAndTypeDescriptions) {
    TempTree tree;
    const QString file = tree.writeFile("report.final.pdf", "");
    const QString folder = tree.makeFolder("Photos.2024");
    EXPECT_EQ(defaultBaseName({file}), "report.final");
    EXPECT_EQ(defaultBaseName({folder}), "Photos.2024");
    EXPECT_EQ(defaultBaseName({file, folder}), QStringLiteral(u"压缩文件"));
    EXPECT_EQ(defaultBaseName({}), QStringLiteral(u"压缩文件"));

    EXPECT_EQ((SplitCompressionSourceItem{"1", folder, 0, true, true}).typeDescription(),
              QStringLiteral(u"文件夹"));
    EXPECT_EQ((SplitCompressionSourceItem{"2", file, 0, false, true}).typeDescription(),
              QStringLiteral(u"PDF 文件"));
    EXPECT_EQ((SplitCompressionSourceItem{"3", "/x/README", 0, false, true}).typeDescription(),
              QStringLiteral(u"文件"));
}

TEST(SplitCompressionPlanner, ConflictingOutputs) {
    TempTree tree;
    for (const QString name :
         {"x.zip", "x.z01", "x.z1", "x.Z02", "y.z01", "x.z100", "x.7z.001", "x.7z.bak", "x.7z"}) {
        tree.writeFile(name, "old");
    }
    const auto conflicts = [&](CompressionFormat format, bool splitEnabled) {
        QStringList names;
        for (const QString& path : outputConflictURLs(format, " x ", tree.root(), splitEnabled)) {
            names << path.mid(tree.root().size() + 1);
        }
        names.sort();
        return names;
    };
    EXPECT_EQ(conflicts(CompressionFormat::zip, true), (QStringList{"x.z01", "x.z100", "x.zip"}));
    EXPECT_EQ(conflicts(CompressionFormat::sevenZip, true), (QStringList{"x.7z.001", "x.7z.bak"}));
    EXPECT_EQ(conflicts(CompressionFormat::sevenZip, false), (QStringList{"x.7z"}));
    EXPECT_EQ(conflicts(CompressionFormat::tarGzip, false), QStringList{});
    EXPECT_EQ(conflicts(CompressionFormat::tarGzip, true), QStringList{});
    EXPECT_TRUE(outputConflictURLs(CompressionFormat::zip, "x", tree.path("missing"), true).isEmpty());
}

}  // namespace
