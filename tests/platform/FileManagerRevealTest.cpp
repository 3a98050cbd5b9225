// Reveal talks to a file manager over a private session bus started for this test.

#include "platform/FileManagerReveal.h"

#include <gtest/gtest.h>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDeadlineTimer>
#include <QProcess>
#include <QTest>

namespace {

// Stands in for the file manager: records what it was asked to show.
class FakeFileManager : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.FileManager1")

public:
    QStringList shown;

public Q_SLOTS:
    void ShowItems(const QStringList& uris, const QString&) { shown = uris; }
};

bool waitUntil(const std::function<bool()>& condition) {
    const QDeadlineTimer deadline(10000);
    while (!condition() && !deadline.hasExpired()) QTest::qWait(10);
    return condition();
}

TEST(FileManagerRevealTest, ShowsItemsOrFallsBackToTheParentFolder) {
    QProcess bus;
    bus.start("dbus-daemon", {"--session", "--nofork", "--print-address=1"});
    ASSERT_TRUE(bus.waitForReadyRead(10000)) << "dbus-daemon is missing";
    const QByteArray address = bus.readLine().trimmed();
    // The session connection is made on first use, so it is this private bus.
    qputenv("DBUS_SESSION_BUS_ADDRESS", address);
    QObject context;

    QStringList opened;
    const auto openFolder = [&](const QString& folder) { opened.append(folder); };
    FileManagerReveal::reveal({"/data/photos/a b.jpg", "/data/photos/c.jpg"}, openFolder, &context);
    ASSERT_TRUE(waitUntil([&] { return !opened.isEmpty(); }));
    EXPECT_EQ(opened, QStringList{"/data/photos"});

    QDBusConnection fileManagerSide =
        QDBusConnection::connectToBus(QString::fromUtf8(address), "file-manager");
    FakeFileManager fileManager;
    ASSERT_TRUE(fileManagerSide.registerObject("/org/freedesktop/FileManager1", &fileManager,
                                               QDBusConnection::ExportAllSlots));
    ASSERT_TRUE(fileManagerSide.registerService(FileManagerReveal::serviceName()));
    opened.clear();
    FileManagerReveal::reveal({QStringLiteral(u"/data/照片/a b.jpg")}, openFolder, &context);
    ASSERT_TRUE(waitUntil([&] { return !fileManager.shown.isEmpty(); }));
    EXPECT_EQ(fileManager.shown, QStringList{"file:///data/%E7%85%A7%E7%89%87/a%20b.jpg"});
    // The call's watcher goes once the answer is in; only then would a fallback have run.
    ASSERT_TRUE(waitUntil([&] { return context.children().isEmpty(); }));
    EXPECT_TRUE(opened.isEmpty());

    QDBusConnection::disconnectFromBus("file-manager");
    bus.kill();
    bus.waitForFinished();
}

}  // namespace

#include "FileManagerRevealTest.moc"
