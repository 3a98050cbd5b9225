#include "platform/DefaultsStore.h"
#include "support/TempTree.h"

#include <gtest/gtest.h>
#include <QFileInfo>

namespace {

TEST(DefaultsStore, StoresExactBytesPrivately) {
    TempTree tree;
    DefaultsStore store(tree.path(QStringLiteral("config/velmora/defaults")));
    EXPECT_FALSE(store.data(QStringLiteral("settings")).has_value());

    ASSERT_TRUE(store.setData(QStringLiteral("settings"), QByteArrayLiteral("{\"a\":1}")));
    EXPECT_EQ(store.data(QStringLiteral("settings")), QByteArrayLiteral("{\"a\":1}"));

    EXPECT_EQ(fileMode(store.directory() + QStringLiteral("/settings.json")), 0600);
    EXPECT_EQ(fileMode(store.directory()), 0700);
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

TEST(DefaultsStore, UndecodableValueIsKeptBeforeReplacement) {
    TempTree tree;
    DefaultsStore store(tree.root());
    store.setData(QStringLiteral("book"), QByteArrayLiteral("not json"));
    store.keepUndecodableValue(QStringLiteral("book"));
    store.setData(QStringLiteral("book"), QByteArrayLiteral("[]"));

    EXPECT_EQ(tree.readFile(QStringLiteral("book.json.bad")), QByteArrayLiteral("not json"));
    EXPECT_EQ(store.data(QStringLiteral("book")), QByteArrayLiteral("[]"));
    store.remove(QStringLiteral("book"));
    EXPECT_FALSE(store.data(QStringLiteral("book")).has_value());
}

}  // namespace
