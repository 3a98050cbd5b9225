#include "platform/DefaultsStore.h"
#include "platform/PrivateFile.h"
#include "platform/SystemErrorText.h"
#include "platform/UserFiles.h"
#include "support/FullDisk.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cerrno>

namespace {

constexpr QFileDevice::Permissions kOwnerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner;

QFileDevice::Permissions permissions(const QString& path) {
    // The user bits Qt adds for the current owner are left out.
    return QFile::permissions(path) &
           ~(QFileDevice::ReadUser | QFileDevice::WriteUser | QFileDevice::ExeUser);
}

TEST(PrivateFileTest, WritesOwnerOnlyFilesAndReplacesReadableOnes) {
    QTemporaryDir folder;
    const QString path = folder.filePath("passwords.json");
    QFile existing(path);
    ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
    existing.write("old");
    existing.close();
    ASSERT_TRUE(QFile::setPermissions(path, kOwnerOnly | QFileDevice::ReadGroup | QFileDevice::ReadOther));

    EXPECT_EQ(PrivateFile::write(path, "secret"), std::nullopt);
    EXPECT_EQ(permissions(path), kOwnerOnly);
    QFile written(path);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_EQ(written.readAll(), "secret");
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files), QStringList("passwords.json"));

    const QString fresh = folder.filePath("fresh.json");
    EXPECT_EQ(PrivateFile::write(fresh, ""), std::nullopt);
    EXPECT_EQ(permissions(fresh), kOwnerOnly);
}

TEST(PrivateFileTest, MissingFolderGivesTheReasonAndWritesNothing) {
    QTemporaryDir folder;
    EXPECT_EQ(PrivateFile::write(folder.filePath("missing/passwords.json"), "x"),
              QStringLiteral(u"找不到文件或文件夹"));
    EXPECT_TRUE(QDir(folder.path()).isEmpty());
}

// The reasons a user reads are Chinese whatever the error, a file's failure included, and a refusal
// names the permission the call needed; a number without a wording of its own is named by its number.
TEST(SystemErrorTextTest, ErrorNumbersAreWordedInChinese) {
    const std::pair<int, const char16_t*> cases[] = {
        {EACCES, u"没有写入权限"},          {EPERM, u"没有写入权限"},
        {ENOSPC, u"磁盘空间不足"},          {EDQUOT, u"磁盘空间不足"},
        {ENOENT, u"找不到文件或文件夹"},    {ENAMETOOLONG, u"文件名太长"},
        {EROFS, u"文件系统为只读"},         {EEXIST, u"文件已存在"},
        {ENOTDIR, u"不是文件夹"},           {EIO, u"磁盘读写错误"},
        {EPROTO, u"系统错误（错误码 71）"},
    };
    using SystemErrorText::Access;
    for (const auto& [number, text] : cases)
        EXPECT_EQ(SystemErrorText::reason(number, Access::write), QString::fromUtf16(text)) << number;
    EXPECT_EQ(SystemErrorText::reason(EPERM, Access::read), QStringLiteral(u"没有读取权限"));
    EXPECT_EQ(SystemErrorText::reason(EACCES, Access::run), QStringLiteral(u"没有运行权限"));
    QFile missing(QStringLiteral("/velmora-nowhere/x"));
    ASSERT_FALSE(missing.open(QIODevice::ReadOnly));
    EXPECT_EQ(SystemErrorText::reasonOf(missing, Access::read), QStringLiteral(u"找不到文件或文件夹"));
    // The tools print a number's words in the C locale.
    EXPECT_EQ(SystemErrorText::errorNumberOf(QStringLiteral("Operation not permitted")), EPERM);
    EXPECT_EQ(SystemErrorText::errorNumberOf(QStringLiteral("No files to extract")), std::nullopt);
}

// Each way velmora writes its own files, on a disk that fills up after the first write.
TEST(PrivateFileTest, AFullDiskLeavesEveryOldFileAsItWas) {
    FullDisk disk;
    DefaultsStore defaults(disk.path("defaults"));
    const QString secret = disk.path("passwords.json");
    const QString entry = disk.path("applications/velmora.desktop");
    const QFileDevice::Permissions readable = kOwnerOnly | QFileDevice::ReadGroup | QFileDevice::ReadOther;
    ASSERT_EQ(PrivateFile::write(secret, "old secret"), std::nullopt);
    ASSERT_EQ(UserFiles::write(entry, "old entry", readable), std::nullopt);
    ASSERT_EQ(defaults.write("settings", "{}"), std::nullopt);

    disk.fill();
    const QByteArray larger(200 * 1024, 'n');
    EXPECT_EQ(PrivateFile::write(secret, larger), disk.reason());
    EXPECT_EQ(UserFiles::write(entry, "new", readable), disk.reason());
    EXPECT_EQ(defaults.write("settings", "{\"a\":1}"), disk.reason());
    disk.free();

    const auto contents = [](const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("missing");
    };
    EXPECT_EQ(contents(secret), "old secret");
    EXPECT_EQ(contents(entry), "old entry");
    EXPECT_EQ(defaults.data("settings"), "{}");
    // No half-written file is left behind.
    EXPECT_EQ(QDir(disk.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"passwords.json"});
    EXPECT_EQ(QDir(disk.path("defaults")).entryList(QDir::Files | QDir::Hidden),
              QStringList{"settings.json"});
}

}  // namespace
