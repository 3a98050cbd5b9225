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

}  // namespace
