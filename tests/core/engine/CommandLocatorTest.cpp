#include "core/engine/CommandLocator.h"
#include "platform/AppBundle.h"
#include "support/TempTree.h"

#include <gtest/gtest.h>
#include <QFile>

namespace {

class CommandLocatorTest : public testing::Test {
protected:
    void SetUp() override { AppBundle::setResourcesPath(m_tree.path(QStringLiteral("share/velmora"))); }
    void TearDown() override { AppBundle::resetResourcesPath(); }

    QString executable(const QString& relative, bool executable = true) {
        const QString path = m_tree.writeFile(relative, "#!/bin/sh\n");
        QFile::setPermissions(
            path, executable ? QFileDevice::ReadOwner | QFileDevice::ExeOwner : QFileDevice::ReadOwner);
        return path;
    }

    TempTree m_tree;
};

TEST_F(CommandLocatorTest, BundledCopyBeatsSystemCopy) {
    const QString bundled = executable(QStringLiteral("share/velmora/Tools/7zz"));
    const QString system = executable(QStringLiteral("usr/bin/7zz"));
    EXPECT_EQ(CommandLocator::firstBundledOrExisting({"7zz"}, {system}), bundled);
}

TEST_F(CommandLocatorTest, ResourcesToolsBeatsTools) {
    executable(QStringLiteral("share/velmora/Tools/7zz"));
    const QString nested = executable(QStringLiteral("share/velmora/Resources/Tools/7zz"));
    EXPECT_EQ(CommandLocator::bundledTool(QStringLiteral("7zz")), nested);
}

TEST_F(CommandLocatorTest, NonExecutableAndFoldersAreSkipped) {
    executable(QStringLiteral("share/velmora/Tools/7zz"), false);
    m_tree.makeFolder(QStringLiteral("usr/local/bin/7zz"));
    const QString system = executable(QStringLiteral("usr/bin/7z"));
    EXPECT_EQ(CommandLocator::firstBundledOrExisting({"7zz"}, {m_tree.path("usr/local/bin/7zz"), system}),
              system);
}

TEST_F(CommandLocatorTest, SystemListOrderDecides) {
    const QString first = executable(QStringLiteral("usr/local/bin/unrar"));
    const QString second = executable(QStringLiteral("usr/bin/unrar"));
    EXPECT_EQ(CommandLocator::firstExisting({second, first}), second);
    EXPECT_EQ(CommandLocator::firstExisting({m_tree.path("missing"), first, second}), first);
}

TEST_F(CommandLocatorTest, NothingFoundIsEmpty) {
    EXPECT_FALSE(CommandLocator::firstBundledOrExisting({"7zz"}, {m_tree.path("usr/bin/7zz")}).has_value());
    AppBundle::setResourcesPath({});
    EXPECT_FALSE(CommandLocator::bundledTool(QStringLiteral("7zz")).has_value());
}

}  // namespace
