#include "platform/PrivateFile.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

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
    const std::optional<QString> error = PrivateFile::write(folder.filePath("missing/passwords.json"), "x");
    ASSERT_TRUE(error.has_value());
    EXPECT_FALSE(error->isEmpty());
    EXPECT_TRUE(QDir(folder.path()).isEmpty());
}

}  // namespace
