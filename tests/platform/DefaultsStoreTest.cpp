#include "platform/DefaultsStore.h"
#include "support/TempTree.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFileInfo>
#include <QTimeZone>

#include <sys/stat.h>

namespace {

// Every folder made on the way is the owner's alone, whatever the umask.
TEST(DefaultsStore, StoresExactBytesPrivately) {
    TempTree tree;
    DefaultsStore store(tree.path(QStringLiteral("config/velmora/defaults")));
    EXPECT_FALSE(store.data(QStringLiteral("settings")).has_value());

    const mode_t umask = ::umask(0);
    const bool stored = store.setData(QStringLiteral("settings"), QByteArrayLiteral("{\"a\":1}"));
    ::umask(umask);
    ASSERT_TRUE(stored);
    EXPECT_EQ(store.data(QStringLiteral("settings")), QByteArrayLiteral("{\"a\":1}"));

    EXPECT_EQ(fileMode(store.directory() + QStringLiteral("/settings.json")), 0600);
    for (const char* folder : {"config", "config/velmora", "config/velmora/defaults"})
        EXPECT_EQ(fileMode(tree.path(folder)), 0700) << folder;
}

TEST(DefaultsStore, IdenticalBytesAreNotRewritten) {
    TempTree tree;
    DefaultsStore store(tree.root());
    store.setData(QStringLiteral("k"), QByteArrayLiteral("[]"));
    const QString path = tree.path(QStringLiteral("k.json"));
    QFile::setPermissions(path, QFileDevice::ReadOwner);  // a rewrite would replace this file

    EXPECT_TRUE(store.setData(QStringLiteral("k"), QByteArrayLiteral("[]")));
    EXPECT_EQ(fileMode(path), 0400);
}

TEST(DefaultsStore, KeptCopiesAreTimeStampedAndKeptOncePerDamage) {
    TempTree tree;
    DefaultsStore store(tree.root());
    const QDateTime nine = QDateTime(QDate(2026, 12, 9), QTime(21, 3, 0), Qt::UTC);

    const DefaultsStore::KeptCopy first = store.keepAside("book", "not json", nine);
    EXPECT_EQ(first.path, tree.path("book.json.bad-20261209T210300Z"));
    EXPECT_EQ(first.failure, std::nullopt);
    // The same damage read again, later, is the copy already kept.
    EXPECT_EQ(store.keepAside("book", "not json", nine.addSecs(60)).path, first.path);
    // Other damage in the same second gets a name of its own; nothing kept earlier is replaced.
    const DefaultsStore::KeptCopy second = store.keepAside("book", "[1]", nine);
    EXPECT_EQ(second.path, tree.path("book.json.bad-20261209T210300Z-2"));
    EXPECT_EQ(tree.readFile("book.json.bad-20261209T210300Z"), "not json");
    EXPECT_EQ(tree.readFile("book.json.bad-20261209T210300Z-2"), "[1]");
    EXPECT_EQ(fileMode(second.path), 0600);
}

// The new files of writes a kill cut short (one may hold a new password) go at a start; nothing else does.
TEST(DefaultsStore, StaleTemporariesOfItsOwnWritesGo) {
    TempTree tree;
    const DefaultsStore store(tree.root());
    const QStringList stale{".archivePasswordBook.json.aB3xY9", ".settings.json.Zz0000",
                            ".book.json.bad-20261209T210300Z-2.q1W2e3"};
    QStringList others{"settings.json",           ".settings.json.bad",   ".notes.txt.aB3xY9",
                       ".settings.json.toolong1", "settings.json.aB3xY9", "book.json.bad-20261209T210300Z"};
    for (const QString& name : stale + others) tree.writeFile(name, "x");
    store.removeStaleTemporaries();
    others.sort();
    EXPECT_EQ(QDir(tree.root()).entryList(QDir::Files | QDir::Hidden, QDir::Name), others);
}

// A key's file that is there but cannot be read (here a folder in its place, which root cannot read
// either) is reported and never written over.
TEST(DefaultsStore, UnreadableFileIsNeverReplaced) {
    TempTree tree;
    DefaultsStore store(tree.root());
    tree.makeFolder("book.json");
    const DefaultsStore::Stored stored = store.read("book");
    EXPECT_FALSE(stored.bytes.has_value());
    ASSERT_TRUE(stored.readFailure.has_value());

    const std::optional<QString> failure = store.write("book", "[]");
    ASSERT_TRUE(failure.has_value());
    EXPECT_TRUE(failure->startsWith(QStringLiteral(u"无法读取原有文件"))) << failure->toStdString();
    EXPECT_TRUE(QFileInfo(tree.path("book.json")).isDir());
}

}  // namespace
