#include "platform/ByteCountFormatter.h"
#include "views/kit/CapsuleProgressBar.h"
#include "views/kit/WorkbenchTexts.h"

#include <gtest/gtest.h>
#include <limits>

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInfinity = std::numeric_limits<double>::infinity();

TEST(WorkbenchTextsTest, PercentIsCutTowardZeroAndSafeForAnyValue) {
    const struct {
        double progress;
        QString text;
    } cases[] = {
        {0, "0%"},         {0.5, "50%"},       {0.987, "98%"}, {0.29, "28%"},
        {0.999, "99%"},    {1, "100%"},        {1.2, "120%"},  {kNaN, "0%"},
        {kInfinity, "0%"}, {-kInfinity, "0%"}, {-0.4, "0%"},   {1e300, "1000000000%"},
    };
    for (const auto& testCase : cases) {
        EXPECT_EQ(WorkbenchTexts::percentText(testCase.progress), testCase.text) << testCase.progress;
    }
}

TEST(WorkbenchTextsTest, ProgressBarFillIsHeldWithinTheTrack) {
    const struct {
        double progress;
        double fraction;
    } cases[] = {{0, 0}, {0.5, 0.5}, {1, 1}, {1.2, 1}, {-0.1, 0}, {kNaN, 0}, {kInfinity, 0}};
    for (const auto& testCase : cases) {
        EXPECT_EQ(CapsuleProgressBar::filledFraction(testCase.progress), testCase.fraction)
            << testCase.progress;
    }
}

TEST(WorkbenchTextsTest, SizeTextsShowADashForNothing) {
    EXPECT_EQ(WorkbenchTexts::sizeText(0), "-");
    EXPECT_EQ(WorkbenchTexts::sizeText(12'300'000), ByteCountFormatter::fileStyle(12'300'000));
    EXPECT_EQ(WorkbenchTexts::estimateText(0), "-");
    EXPECT_EQ(WorkbenchTexts::estimateText(2'000),
              QStringLiteral(u"约 ") + ByteCountFormatter::fileStyle(2'000));
}

TEST(WorkbenchTextsTest, FileTypeFollowsTheExtensionOnly) {
    const struct {
        QString path;
        QString text;
    } cases[] = {
        {"/data/photos", QStringLiteral(u"文件夹")},
        {"/src/Makefile", QStringLiteral(u"文件夹")},
        {"/data/.hidden", QStringLiteral(u"文件夹")},
        {"/data/report.tar.gz", QStringLiteral(u"TAR.GZ 文件")},
        {"/data/picture.jpeg", QStringLiteral(u"JPEG 文件")},
        {"/data/Backup.ZIP", QStringLiteral(u"ZIP 文件")},
        // A volume is its set's kind, as the summary says.
        {"/data/set.7z.001", QStringLiteral(u"7Z 文件")},
        {"/data/set.r00", QStringLiteral(u"RAR 文件")},
        {"/data/notes.001", QStringLiteral(u"001 文件")},
    };
    for (const auto& testCase : cases) EXPECT_EQ(WorkbenchTexts::fileTypeText(testCase.path), testCase.text);
}

TEST(WorkbenchTextsTest, PasswordIsUnavailableOnlyForAFormatWithoutEncryption) {
    for (CompressionFormat format : CompressionFormats::all()) {
        const std::optional<QString> note = WorkbenchTexts::passwordUnavailableNote(format);
        if (format == CompressionFormat::tarGzip) {
            EXPECT_EQ(note, QStringLiteral(u"TAR.GZ 格式不支持加密，需要密码请改用 ZIP 或 7Z。"));
        } else {
            EXPECT_EQ(note, std::nullopt) << CompressionFormats::displayName(format).toStdString();
        }
    }
}

TEST(WorkbenchTextsTest, SelectedArchiveFormatsAreDistinctAndSorted) {
    const struct {
        QStringList paths;
        QString text;
    } cases[] = {
        {{}, "-"},
        {{"/a/README"}, "-"},
        {{"/a/a.zip", "/a/b.ZIP", "/a/c.tar.gz"}, "TAR.GZ, ZIP"},
        {{"/a/one.zip", "/a/two.zip", "/a/three.rar"}, "RAR, ZIP"},
        {{"/a/x.7z.001"}, "7Z"},
        {{"/a/a.part1.rar", "/a/b.r00"}, "RAR"},
        {{"/a/a.z01", "/a/b.zip.001"}, "ZIP"},
        {{"/a/disk.iso", "/a/README", "/a/x.7z"}, "7Z, ISO"},
    };
    for (const auto& testCase : cases) {
        EXPECT_EQ(WorkbenchTexts::selectedArchiveFormats(testCase.paths), testCase.text)
            << testCase.paths.join(' ').toStdString();
    }
}

TEST(WorkbenchTextsTest, GridColumnsFitTheMinimumWidthAndSpacing) {
    const struct {
        int width;
        int columns;
    } cases[] = {{947, 4}, {934, 4}, {933, 3}, {458, 2}, {220, 1}, {100, 1}, {0, 1}};
    for (const auto& testCase : cases) {
        EXPECT_EQ(WorkbenchTexts::gridColumns(testCase.width, 220, 18), testCase.columns) << testCase.width;
    }
}

TEST(WorkbenchTextsTest, CurrentTaskIsTheFirstRunningOne) {
    auto task = [](ArchiveActivityStatus status, const QString& name) {
        ArchiveTask result;
        result.id = QUuid::createUuid();
        result.status = status;
        result.name = name;
        return result;
    };
    using Status = ArchiveActivityStatus;
    const QList<ArchiveTask> mixed = {task(Status::completed, "a"), task(Status::paused, "b"),
                                      task(Status::running, "c"), task(Status::running, "d")};
    ASSERT_TRUE(WorkbenchTexts::firstRunningTask(mixed).has_value());
    EXPECT_EQ(WorkbenchTexts::firstRunningTask(mixed)->name, "c");
    EXPECT_FALSE(WorkbenchTexts::firstRunningTask({task(Status::paused, "a"), task(Status::failed, "b")}));
    EXPECT_FALSE(WorkbenchTexts::firstRunningTask({}));
}

}  // namespace
