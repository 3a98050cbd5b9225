// The file-manager helper and a running velmora, joined only by the URL that xdg-open carries.

#include "app/TwoProcessFixture.h"
#include "support/FakeTool.h"
#include "support/TempTree.h"

#include <gtest/gtest.h>
#include <unistd.h>
#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTest>

namespace {

class FinderSyncEndToEndTest : public testing::Test {
protected:
    void SetUp() override {
        // As the session sets it up: only its user may enter.
        QFile::setPermissions(m_home.makeFolder("run"),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        m_home.makeFolder("config");
    }

    void TearDown() override {
        m_primary.kill();
        m_primary.waitForFinished();
    }

    QProcessEnvironment environment() const {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("HOME", m_home.root());
        env.insert("XDG_RUNTIME_DIR", m_home.path("run"));
        env.insert("XDG_CONFIG_HOME", m_home.path("config"));
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("PATH", m_tools.root() + ":" + env.value("PATH"));
        env.remove("DBUS_SESSION_BUS_ADDRESS");
        env.remove("NAUTILUS_SCRIPT_SELECTED_FILE_PATHS");
        env.remove("CAJA_SCRIPT_SELECTED_FILE_PATHS");
        return env;
    }

    QString lockPath() const { return m_home.path(QStringLiteral("run/velmora-%1.lock").arg(::getuid())); }

    qint64 lockOwner() const {
        QFile lock(lockPath());
        if (!lock.open(QIODevice::ReadOnly)) return -1;
        return lock.readLine().trimmed().toLongLong();
    }

    void startPrimary() {
        m_primary.setProcessEnvironment(environment());
        m_primary.start(VELMORA_EXECUTABLE, {});
        ASSERT_TRUE(m_primary.waitForStarted());
        ASSERT_TRUE(QTest::qWaitFor([&] { return lockOwner() == m_primary.processId(); }, kSafetyNetMs));
    }

    // Runs the helper, or a shell that runs it, to its end: its exit status.
    int runHelper(const QString& program, const QStringList& arguments) const {
        QProcess helper;
        helper.setProcessEnvironment(environment());
        helper.start(program, arguments);
        return helper.waitForFinished(kSafetyNetMs) ? helper.exitCode() : -1;
    }

    TempTree m_home;
    TempTree m_tools;
    TempTree m_files;
    // Stands in for the desktop: the URL goes to velmora as a later launch would get it.
    // What velmora prints goes where the desktop would drop it.
    FakeTool m_xdgOpen{m_tools.root(), "xdg-open",
                       QStringLiteral("exec '%1' \"$1\" 2>>\"$0.stderr\"").arg(VELMORA_EXECUTABLE)};
    QProcess m_primary;
};

TEST_F(FinderSyncEndToEndTest, CompressFromTheFileManagerMakesTheArchive) {
    startPrimary();
    const QString file = m_files.writeFile(QStringLiteral(u"报告 #1+%41&x=y?"), "numbers");
    ASSERT_EQ(runHelper(VELMORA_FINDER_SYNC_PATH, {"compress", file}), 0);
    EXPECT_TRUE(QTest::qWaitFor([&] { return QFileInfo::exists(file + ".zip"); }, kSafetyNetMs));
    EXPECT_EQ(m_xdgOpen.recordedRuns().size(), 1);
}

// One file of the selection vanished: the rest is extracted, and nothing goes to the dropped stderr.
TEST_F(FinderSyncEndToEndTest, AVanishedFileDoesNotStopTheRestOfTheSelection) {
    startPrimary();
    const QString good = m_files.path("good.zip");
    ASSERT_EQ(QProcess::execute("/usr/bin/zip", {"-q", "-j", good, m_files.writeFile("x/1.txt", "1")}), 0);
    ASSERT_EQ(runHelper(VELMORA_FINDER_SYNC_PATH, {"extract", good, m_files.path("gone.zip")}), 0);
    EXPECT_TRUE(QTest::qWaitFor([&] { return QFileInfo::exists(m_files.path("good/1.txt")); }, kSafetyNetMs));
    EXPECT_EQ(QFileInfo(m_xdgOpen.path() + ".stderr").size(), 0);
}

// A name that is not UTF-8 (GBK, as unzip leaves Windows names) keeps its bytes from the helper to the
// archive.
TEST_F(FinderSyncEndToEndTest, ANameThatIsNotUtf8KeepsItsBytes) {
    startPrimary();
    const QByteArray file = QFile::encodeName(m_files.root()) + "/\xD6\xD0\xCE\xC4";
    ASSERT_EQ(
        ::rename(QFile::encodeName(m_files.writeFile("plain", "numbers")).constData(), file.constData()), 0);
    // Through a shell: QProcess would pass the name as UTF-8.
    ASSERT_EQ(
        runHelper("/bin/sh", {"-c", "exec \"$0\" compress \"$(printf '%s/\\326\\320\\316\\304' \"$1\")\"",
                              VELMORA_FINDER_SYNC_PATH, m_files.root()}),
        0);
    EXPECT_TRUE(QTest::qWaitFor([&] { return ::access((file + ".zip").constData(), F_OK) == 0; }, kSafetyNetMs));
    QProcess listing;
    listing.start("/bin/sh", {"-c", "unzip -Z1 \"$(printf '%s/\\326\\320\\316\\304.zip' \"$0\")\"",
                              m_files.root()});
    ASSERT_TRUE(listing.waitForFinished(kSafetyNetMs));
    EXPECT_EQ(listing.readAllStandardOutput(), QByteArray("\xD6\xD0\xCE\xC4\n"));
}

}  // namespace
