#include "core/base/CompressionFormat.h"
#include "core/base/CompressionLevel.h"
#include "core/base/EnumRawValues.h"
#include "core/engine/ArchiveError.h"

#include <gtest/gtest.h>

namespace {

TEST(ArchiveError, MessagesAreExact) {
    const std::pair<ArchiveError, QString> cases[] = {
        {ArchiveError::unsupportedFormat(QStringLiteral("abc")), QStringLiteral(u"暂不支持 .abc 格式。")},
        {ArchiveError::unsupportedFormat({}), QStringLiteral(u"暂不支持 . 格式。")},
        {ArchiveError::destinationExists(QStringLiteral("/tmp/out/相册")),
         QStringLiteral(u"目标文件夹已存在：相册")},
        {ArchiveError::fileNotFound(QStringLiteral("/tmp/a.zip")), QStringLiteral(u"文件不存在：/tmp/a.zip")},
        {ArchiveError::dependencyMissing(QStringLiteral(u"7Z 解压工具不可用，请重新安装 velmora。")),
         QStringLiteral(u"7Z 解压工具不可用，请重新安装 velmora。")},
        {ArchiveError::commandFailed(QStringLiteral("boom")), QStringLiteral("boom")},
        {ArchiveError::extractFailed(QStringLiteral("x")), QStringLiteral(u"解压失败：x")},
        {ArchiveError::compressFailed(QStringLiteral("y")), QStringLiteral(u"压缩失败：y")},
        {ArchiveError::corruptedArchive(), QStringLiteral(u"压缩包可能已损坏，无法读取。")},
        {ArchiveError::wrongPassword(), QStringLiteral(u"密码错误或压缩包需要密码。")},
        {ArchiveError::permissionDenied(), QStringLiteral(u"没有足够权限访问文件或目标文件夹。")},
        {ArchiveError::noInputFiles(), QStringLiteral(u"请选择需要压缩的文件。")},
        {ArchiveError::diskFull(), QStringLiteral(u"磁盘空间不足。")},
        {ArchiveError::destinationNotWritable(), QStringLiteral(u"没有写入权限。")},
        {ArchiveError::destinationNotWritable(QStringLiteral("/srv/out")),
         QStringLiteral(u"没有写入权限：/srv/out")},
        {ArchiveError::missingVolume(QStringLiteral("a.7z.002")), QStringLiteral(u"缺少分卷：a.7z.002")},
    };
    for (const auto& [error, expected] : cases) EXPECT_EQ(error.message(), expected);
    EXPECT_STREQ(ArchiveError::wrongPassword().what(), "密码错误或压缩包需要密码。");
}

TEST(CompressionFormat, RawValuesExtensionsAndOrder) {
    QStringList raw;
    for (CompressionFormat format : CompressionFormats::all()) raw << EnumRawValues::rawValue(format);
    EXPECT_EQ(raw, (QStringList{"zip", "sevenZip", "rar", "tarGzip"}));
    QStringList extensions;
    QStringList shown;
    for (CompressionFormat format : CompressionFormats::all()) {
        extensions << CompressionFormats::fileExtension(format);
        shown << CompressionFormats::displayName(format);
    }
    EXPECT_EQ(extensions, (QStringList{"zip", "7z", "rar", "tar.gz"}));
    EXPECT_EQ(shown, (QStringList{"ZIP", "7Z", "RAR", "TAR.GZ"}));
    EXPECT_EQ(EnumRawValues::fromRawValue<CompressionFormat>(QStringLiteral("sevenZip")),
              CompressionFormat::sevenZip);
    EXPECT_FALSE(EnumRawValues::fromRawValue<CompressionFormat>(QStringLiteral("7z")).has_value());
}

// Stored files hold the names exactly; Qt's own lookup would also take a scoped name.
TEST(EnumRawValues, OnlyTheDeclaredNameReadsBack) {
    for (const QString text :
         {"Standard", "CompressionLevels::standard", "CompressionLevel::standard", "standard ", ""}) {
        EXPECT_FALSE(EnumRawValues::fromRawValue<CompressionLevel>(text).has_value()) << text.toStdString();
    }
}

TEST(CompressionLevel, SwitchesPerLevel) {
    const std::tuple<CompressionLevel, QString, int, QString, QString> cases[] = {
        {CompressionLevel::fastest, "fastest", 1, "-1", QStringLiteral(u"最快")},
        {CompressionLevel::standard, "standard", 5, "-6", QStringLiteral(u"标准")},
        {CompressionLevel::maximum, "maximum", 9, "-9", QStringLiteral(u"高压缩")},
    };
    for (const auto& [level, raw, sevenZip, zip, shown] : cases) {
        EXPECT_EQ(CompressionLevels::displayName(level), shown);
        EXPECT_EQ(EnumRawValues::rawValue(level), raw);
        EXPECT_EQ(EnumRawValues::fromRawValue<CompressionLevel>(raw), level);
        EXPECT_EQ(CompressionLevels::sevenZipLevelNumber(level), sevenZip);
        EXPECT_EQ(CompressionLevels::zipLevelSwitch(level), zip);
    }
    EXPECT_FALSE(EnumRawValues::fromRawValue<CompressionLevel>(QStringLiteral("ultra")).has_value());
}

}  // namespace
