#include "platform/PrivateTempDirectory.h"
#include "support/TempTree.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <unistd.h>

namespace {

class PrivateTempDirectoryTest : public testing::Test {
protected:
    // Without a runtime folder, where a base that is refused would otherwise go instead.
    void SetUp() override {
        PrivateTempDirectory::setSystemTempPathForTesting(m_tree.root());
        qunsetenv("XDG_RUNTIME_DIR");
    }
    void TearDown() override {
        PrivateTempDirectory::setSystemTempPathForTesting({});
        if (!m_runtime.isEmpty()) qputenv("XDG_RUNTIME_DIR", m_runtime);
    }
    QString expectedBase() const { return m_tree.path(QStringLiteral("velmora-%1").arg(::getuid())); }

    TempTree m_tree;
    const QByteArray m_runtime = qgetenv("XDG_RUNTIME_DIR");
};

TEST_F(PrivateTempDirectoryTest, FoldersAreOwnerOnly) {
    const std::optional<QString> folder =
        PrivateTempDirectory::makeFolder(QStringLiteral("velmoraPreviews/X"));
    ASSERT_TRUE(folder.has_value());
    EXPECT_EQ(*folder, expectedBase() + QStringLiteral("/velmoraPreviews/X"));
    for (const QString& path :
         {expectedBase(), expectedBase() + QStringLiteral("/velmoraPreviews"), *folder}) {
        EXPECT_EQ(fileMode(path), 0700) << path.toStdString();
    }
}

TEST_F(PrivateTempDirectoryTest, LoosenedBaseIsTightenedAgain) {
    QDir().mkpath(expectedBase());
    QFile::setPermissions(expectedBase(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                              QFileDevice::ExeOwner | QFileDevice::ReadOther |
                                              QFileDevice::ExeOther);
    ASSERT_TRUE(PrivateTempDirectory::base().has_value());
    EXPECT_EQ(fileMode(expectedBase()), 0700);
}

TEST_F(PrivateTempDirectoryTest, PlantedLinkOrFileIsRefused) {
    const QString elsewhere = m_tree.makeFolder(QStringLiteral("elsewhere"));
    ASSERT_TRUE(QFile::link(elsewhere, expectedBase()));
    EXPECT_FALSE(PrivateTempDirectory::base().has_value());
    QFile::remove(expectedBase());

    m_tree.writeFile(QStringLiteral("velmora-%1").arg(::getuid()), "x");
    EXPECT_FALSE(PrivateTempDirectory::makeFolder(QStringLiteral("velmoraCompression")).has_value());
}

TEST_F(PrivateTempDirectoryTest, RelativeFolderCannotClimbOut) {
    EXPECT_FALSE(PrivateTempDirectory::makeFolder(QStringLiteral("../escape")).has_value());
    EXPECT_FALSE(QFileInfo::exists(m_tree.path(QStringLiteral("escape"))));
}

}  // namespace
