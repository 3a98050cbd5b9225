#include "core/base/EnumRawValues.h"
#include "core/base/SplitArchiveDetector.h"

#include <gtest/gtest.h>

#include <limits>

namespace SplitArchiveDetector {
// Readable failure output; gtest finds it next to Match.
void PrintTo(const Match& m, std::ostream* os) {
    *os << EnumRawValues::rawValue(m.format).toStdString() << " base=" << m.baseName.toStdString()
        << " index=" << m.index << " width=" << m.width
        << " primary=" << m.expectedPrimaryFileName.toStdString() << " isPrimary=" << m.isPrimary
        << " isSplitPart=" << m.isSplitPart << " display=" << m.displayName.toStdString();
}
}  // namespace SplitArchiveDetector

namespace {

using SplitArchiveDetector::detect;
using SplitArchiveDetector::Match;

TEST(SplitArchiveDetector, DetectsEachScheme) {
    using F = SplitArchiveFormat;
    const std::pair<QString, Match> cases[] = {
        {"Movie.7z.001", {F::sevenZip, "movie.7z", 1, 3, "movie.7z.001", true, true, "movie.7z"}},
        {"a.7z.7z.001", {F::sevenZip, "a.7z.7z", 1, 3, "a.7z.7z.001", true, true, "a.7z.7z"}},
        {"a.7z.000", {F::sevenZip, "a.7z", 0, 3, "a.7z.001", false, true, "a.7z"}},
        {"S.ZIP.002", {F::sevenZip, "s.zip", 2, 3, "s.zip.001", false, true, "s.zip"}},
        {"Show.part01.rar", {F::rarNew, "show", 1, 2, "show.part01.rar", true, true, "show.rar"}},
        {"show.part3.rar", {F::rarNew, "show", 3, 1, "show.part1.rar", false, true, "show.rar"}},
        {"x.rar", {F::rarOld, "x", 1, 2, "x.rar", true, false, "x.rar"}},
        {"x.r00", {F::rarOld, "x", 2, 2, "x.rar", false, true, "x.rar"}},
        {"x.r105", {F::rarOld, "x", 107, 3, "x.rar", false, true, "x.rar"}},
        {"X.ZIP", {F::zip, "x", SplitArchiveDetector::kZipPrimaryIndex, 2, "x.zip", true, false, "x.zip"}},
        {"x.z01", {F::zip, "x", 1, 2, "x.zip", false, true, "x.zip"}},
        // Too long for 64 bits with the shift of two: not a volume, and no later test matches.
        {"x.r9223372036854775806.zip",
         {F::zip, "x.r9223372036854775806", 999999, 2, "x.r9223372036854775806.zip", true, false,
          "x.r9223372036854775806.zip"}},
    };
    for (const auto& [name, expected] : cases) EXPECT_EQ(detect(name), expected) << name.toStdString();
}

TEST(SplitArchiveDetector, NamesWithoutAVolumeScheme) {
    const QString names[] = {
        "x.7z",
        "x.001",
        "x.tar.001",
        "x.tar.gz",
        "notes.txt",
        "x.7z.",
        "x.r" + QString(20, QLatin1Char('1')),  // does not fit 64 bits
        "x.r9223372036854775806",               // fits, but leaves no room for the index shift
        "x.z99999999999999999999",
        "x.7z.1\n",
        "x.part1.rar\n",
        "x.r00\n",
        "x.z01\n",
        "x.7z.1a",
        QStringLiteral(u"x.7z.١٢"),  // Arabic-Indic digits are not volume numbers
    };
    for (const QString& name : names) EXPECT_EQ(detect(name), std::nullopt) << name.toStdString();
}

// The end a cut name keeps whole, in the name's own case.
TEST(SplitArchiveDetector, VolumeSuffixIsTheEndThatNamesTheVolume) {
    const std::pair<QString, QString> cases[] = {
        {QStringLiteral(u"这是一个非常长的名字.part1.rar"), ".part1.rar"},
        {"a.7z.7z.001", ".7z.001"},
        {"S.ZIP.002", ".ZIP.002"},
        {"x.R00", ".R00"},
        {"x.tar.001", ""},
    };
    for (const auto& [name, suffix] : cases)
        EXPECT_EQ(SplitArchiveDetector::volumeSuffix(name), suffix) << name.toStdString();
}

TEST(SplitArchiveDetector, ExpectedNamesKeepTheWrittenWidth) {
    const std::tuple<QString, qint64, QString> cases[] = {
        {"Movie.7z.001", 12, "movie.7z.012"},
        {"a.7z.1", 10, "a.7z.10"},
        {"a.7z.1", 2, "a.7z.2"},
        {"show.part3.rar", 1, "show.part1.rar"},
        {"show.part003.rar", 1234, "show.part1234.rar"},
        {"x.r00", 1, "x.rar"},
        {"x.r00", 2, "x.r00"},
        {"x.r00", 3, "x.r01"},
        {"x.rar", 12, "x.r10"},
        {"x.r000", 3, "x.r001"},
        {"x.z01", 2, "x.z02"},
        {"x.zip", 3, "x.z03"},
        {"x.z001", 15, "x.z015"},
    };
    for (const auto& [name, index, expected] : cases) {
        const auto match = detect(name);
        ASSERT_TRUE(match.has_value()) << name.toStdString();
        EXPECT_EQ(match->expectedFileName(index), expected) << name.toStdString() << " " << index;
    }
}

// A set's name in its exact case, then ASCII digits at least as wide as asked.
TEST(SplitArchiveDetector, VolumeIndexOfANamedSet) {
    using F = SplitArchiveFormat;
    const std::optional<qint64> none;
    const std::tuple<F, QString, QString, int, std::optional<qint64>> cases[] = {
        {F::sevenZip, "B.7z", "B.7z.001", 1, 1},
        {F::sevenZip, "B.7z", "B.7z.9223372036854775807", 1, std::numeric_limits<qint64>::max()},
        {F::sevenZip, "B.7z", "b.7z.001", 1, none},
        {F::sevenZip, "B.7z", "B.7z.1a", 1, none},
        {F::sevenZip, "B.7z", "B.7z.+7", 1, none},
        {F::sevenZip, "B.7z", "B.7z.99999999999999999999", 1, none},
        {F::zip, "D", "D.z07", 2, 7},
        {F::zip, "D", "D.z100", 2, 100},
        {F::zip, "D", "D.z1", 2, none},
        {F::zip, "D", "D.z1", 1, 1},
        {F::zip, "D", "D.Z07", 2, none},
        {F::zip, "D", "D.z01\n", 2, none},
        {F::zip, "a+b (1)", "a+b (1).z01", 2, 1},
        {F::zip, "a+b (1)", "aab (1).z01", 2, none},
        {F::rarNew, "s", "s.part03.rar", 1, 3},
        {F::rarOld, "s", "s.r00", 1, 2},
        {F::rarOld, "s", "s.r9223372036854775806", 1, none},
    };
    for (const auto& [format, baseName, name, width, expected] : cases) {
        EXPECT_EQ(SplitArchiveDetector::volumeIndex(format, baseName, name, width), expected)
            << name.toStdString() << " " << width;
    }
}

TEST(SplitArchiveFormat, RawValuesRoundTrip) {
    for (SplitArchiveFormat format : SplitArchiveFormats::all()) {
        EXPECT_EQ(EnumRawValues::fromRawValue<SplitArchiveFormat>(EnumRawValues::rawValue(format)), format);
    }
    EXPECT_EQ(EnumRawValues::rawValue(SplitArchiveFormat::rarNew), QStringLiteral("rarNew"));
    EXPECT_FALSE(EnumRawValues::fromRawValue<SplitArchiveFormat>(QStringLiteral("RarNew")).has_value());
}

}  // namespace
