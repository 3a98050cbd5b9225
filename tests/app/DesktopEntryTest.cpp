#include <gtest/gtest.h>
#include <QDir>
#include <QProcess>

namespace {

// Every desktop entry the project installs passes the freedesktop validator.
TEST(DesktopEntryTest, EntriesValidate) {
    const QDir resources(VELMORA_RESOURCES_DIR);
    const QStringList entries = resources.entryList({"*.desktop"}, QDir::Files);
    ASSERT_FALSE(entries.isEmpty());
    for (const QString& entry : entries) {
        QProcess validator;
        validator.start("desktop-file-validate", {resources.filePath(entry)});
        ASSERT_TRUE(validator.waitForFinished()) << "desktop-file-validate is missing (desktop-file-utils)";
        EXPECT_EQ(validator.exitCode(), 0)
            << entry.toStdString() << ": " << validator.readAllStandardOutput().toStdString();
    }
}

}  // namespace
