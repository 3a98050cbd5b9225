#include "platform/DefaultsWriter.h"
#include "support/TempTree.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>

namespace {

// A write waiting behind a slow one is replaced by a newer value of its key, and a direct write
// drops it: the stored value is always the newest one asked for, whatever the threads' timing.
TEST(DefaultsWriter, TheNewestValueWins) {
    TempTree tree;
    const DefaultsStore defaults(tree.path(QStringLiteral("defaults")));
    const QString key = QStringLiteral("k");
    std::mutex mutex;
    std::condition_variable released;
    bool release = false;
    {
        DefaultsWriter writer(defaults);
        // Holds the writing thread until the queue below is in place.
        writer.writeLater(QStringLiteral("other"), [&] {
            std::unique_lock lock(mutex);
            released.wait(lock, [&] { return release; });
            return QByteArray("other");
        });
        writer.writeLater(key, [] { return QByteArray("first"); });
        writer.writeLater(key, [] { return QByteArray("second"); });
        {
            const std::lock_guard lock(mutex);
            release = true;
        }
        released.notify_all();
        EXPECT_EQ(writer.writeNow(key, "direct"), std::nullopt);
        EXPECT_EQ(defaults.data(key), QByteArray("direct"));
        writer.writeLater(key, [] { return QByteArray("later"); });
    }
    EXPECT_EQ(defaults.data(key), QByteArray("later"));
    EXPECT_EQ(defaults.data(QStringLiteral("other")), QByteArray("other"));
}

// Each background write is reported from the writing thread, a failure with its reason; a direct write
// returns its own.
TEST(DefaultsWriter, WritesAreReported) {
    TempTree tree;
    const DefaultsStore defaults(tree.path(QStringLiteral("defaults")));
    const QString blocked = QStringLiteral("blocked");
    tree.makeFolder(QStringLiteral("defaults/blocked.json"));  // where the value's file would be
    std::mutex mutex;
    QStringList reports;
    {
        DefaultsWriter writer(defaults, [&](const QString& key, const std::optional<QString>& failure) {
            const std::lock_guard lock(mutex);
            reports << key + (failure ? QStringLiteral(" failed") : QStringLiteral(" written"));
        });
        writer.writeLater(blocked, [] { return QByteArray("later"); });
        writer.waitForWrites();
        EXPECT_NE(writer.writeNow(blocked, "direct"), std::nullopt);
        writer.writeLater(QStringLiteral("open"), [] { return QByteArray("open"); });
    }
    EXPECT_EQ(reports, (QStringList{"blocked failed", "open written"}));
    EXPECT_EQ(defaults.data(QStringLiteral("open")), QByteArray("open"));
}

}  // namespace
