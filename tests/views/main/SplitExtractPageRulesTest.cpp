#include "core/base/EnumRawValues.h"
#include "views/main/SplitExtractPageRules.h"

#include "core/split/SplitArchiveExtractionCoordinator.h"

#include <gtest/gtest.h>

namespace {

using namespace SplitExtractPageRules;
using State = SplitArchiveValidationState;
using Tone = Theme::Colour;

TEST(ValidationToneTest, everyVerdictHasItsColour) {
    const std::vector<std::pair<State, Tone>> cases{
        {State::complete, Tone::green},
        {State::unsupported, Tone::secondary},
        {State::scanning, Tone::blue},
        {State::missingParts, Tone::orange},
        {State::duplicateParts, Tone::orange},
        {State::namingMismatch, Tone::orange},
        {State::missingPrimary, Tone::orange},
        {State::unreadableParts, Tone::orange},
        {State::outputNotWritable, Tone::orange},
        {State::insufficientDiskSpace, Tone::orange},
    };
    ASSERT_EQ(cases.size(), SplitArchiveValidationStates::allCases().size());
    for (const auto& [state, tone] : cases)
        EXPECT_EQ(validationColour(state), tone) << EnumRawValues::rawValue(state).toStdString();
}

// The badge names the set's kind: 7-Zip's numbering of a ZIP is a ZIP set.
TEST(FormatBadgeTest, bothRarNamingsShareOneBadge) {
    const std::vector<std::tuple<SplitArchiveFormat, QString, QString>> cases{
        {SplitArchiveFormat::sevenZip, "/d/a.7z.002", QStringLiteral(u"7Z 分卷压缩包")},
        {SplitArchiveFormat::sevenZip, "/d/a.zip.001", QStringLiteral(u"ZIP 分卷压缩包")},
        {SplitArchiveFormat::rarNew, "/d/a.part2.rar", QStringLiteral(u"RAR 分卷压缩包")},
        {SplitArchiveFormat::rarOld, "/d/a.r00", QStringLiteral(u"RAR 分卷压缩包")},
        {SplitArchiveFormat::zip, "/d/a.z01", QStringLiteral(u"ZIP 分卷压缩包")},
        {SplitArchiveFormat::unsupported, "/d/a.7z.001", QStringLiteral(u"不支持的分卷格式")},
    };
    for (const auto& [format, volume, text] : cases) {
        const SplitArchiveDescriptor descriptor{.originalURL = volume, .format = format};
        EXPECT_EQ(SplitArchiveExtractionCoordinator::archiveFormatText(descriptor), text)
            << volume.toStdString();
    }
}

SplitArchivePart part(qint64 byteSize, SplitArchivePartStatus status = SplitArchivePartStatus::found()) {
    return {.id = "p", .expectedFileName = "set.7z.002", .byteSize = byteSize, .status = status};
}

TEST(TotalSizeTest, sumsEveryPartAndShowsADashForNothing) {
    SplitArchiveDescriptor descriptor;
    EXPECT_EQ(splitArchiveTotalSizeDescription(descriptor), "-");
    descriptor.parts = {part(0), part(0, SplitArchivePartStatus::missing("set.7z.002"))};
    EXPECT_EQ(splitArchiveTotalSizeDescription(descriptor), "-");
    // A missing volume counts with the size stored for it.
    descriptor.parts = {part(1'500'000), part(500'000, SplitArchivePartStatus::missing("set.7z.002"))};
    EXPECT_EQ(splitArchiveTotalSizeDescription(descriptor), "2.0 MB");
}

TEST(InfoPanelTest, primaryNameFallsBackToTheArchiveName) {
    SplitArchiveDescriptor descriptor{.archiveName = "set.7z"};
    EXPECT_EQ(primaryName(descriptor), "set.7z");
    descriptor.primaryPartURL = "/data/sets/set.7z.001";
    EXPECT_EQ(primaryName(descriptor), "set.7z.001");
    EXPECT_EQ(missingCountColour(0), Tone::green);
    EXPECT_EQ(missingCountColour(2), Tone::orange);
}

TEST(DropZoneTest, contentFollowsThePageState) {
    const std::vector<std::pair<SplitArchivePageState, DropZoneContent>> cases{
        {SplitArchivePageState::initial(), DropZoneContent::prompt},
        {SplitArchivePageState::scanning(), DropZoneContent::scanning},
        {SplitArchivePageState::regularArchiveDetected("/a.zip"), DropZoneContent::notSplitArchive},
        {SplitArchivePageState::recognized(), DropZoneContent::prompt},
        {SplitArchivePageState::incomplete(), DropZoneContent::prompt},
        {SplitArchivePageState::failed("x"), DropZoneContent::prompt},
    };
    for (const auto& [state, content] : cases) EXPECT_EQ(dropZoneContent(state), content);
    EXPECT_EQ(emptyInfo(SplitArchivePageState::scanning()).text,
              QStringLiteral(u"正在扫描同目录中的关联分卷…"));
    EXPECT_EQ(emptyInfo(SplitArchivePageState::failed("x")).text, QStringLiteral(u"还没有选择分卷压缩包"));
}

struct PartCase {
    const char* name;
    SplitArchivePart part;
    PartRowLook look;
};

class PartRowLookTest : public testing::TestWithParam<PartCase> {};

TEST_P(PartRowLookTest, looksByStateAndRole) { EXPECT_EQ(partRowLook(GetParam().part), GetParam().look); }

const QString kFolder = QStringLiteral("/data/sets/");

INSTANTIATE_TEST_SUITE_P(
    Cases, PartRowLookTest,
    testing::Values(
        PartCase{"foundPrimary",
                 {.expectedFileName = "set.7z.001", .url = kFolder + "set.7z.001", .isPrimary = true},
                 {"set.7z.001", "", "document-zip", "check-circle-filled", Tone::accent, Tone::accent, 0.75}},
        PartCase{"foundOther",
                 {.expectedFileName = "set.7z.002", .url = kFolder + "set.7z.002"},
                 {"set.7z.002", "", "document-zip", "check-circle", Tone::green, Tone::green, 0.1}},
        PartCase{"missingShowsTheExpectedName",
                 {.expectedFileName = "set.7z.003", .status = SplitArchivePartStatus::missing("set.7z.003")},
                 {"set.7z.003", QStringLiteral(u"缺少 set.7z.003"), "question-square", "cross-circle",
                  Tone::orange, Tone::orange, 0.55}},
        PartCase{"missingPrimaryKeepsTheAccentBorder",
                 {.expectedFileName = "set.7z.001",
                  .isPrimary = true,
                  .status = SplitArchivePartStatus::missing("set.7z.001")},
                 {"set.7z.001", QStringLiteral(u"缺少 set.7z.001"), "question-square", "cross-circle",
                  Tone::orange, Tone::accent, 0.75}},
        PartCase{"duplicateShowsItsMessage",
                 {.expectedFileName = "set.7z.002",
                  .url = kFolder + "copy/set.7z.002",
                  .status = SplitArchivePartStatus::duplicate("dup")},
                 {"set.7z.002", "dup", "warning-triangle-filled", "exclamation-circle", Tone::orange,
                  Tone::orange, 0.55}},
        PartCase{"warningShowsItsMessage",
                 {.expectedFileName = "set.7z.002",
                  .url = kFolder + "set.7z.002",
                  .status = SplitArchivePartStatus::warning("unreadable")},
                 {"set.7z.002", "unreadable", "warning-triangle-filled", "exclamation-circle", Tone::orange,
                  Tone::orange, 0.55}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
