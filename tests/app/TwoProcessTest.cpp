// The single-instance contract between real processes: a later launch hands its request to the
// primary and reports the primary's answer through its exit status.

#include "support/TempTree.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>
#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTest>
#include <QUrl>

namespace {

// The primary writes its outputs on its own time.
bool waitForFile(const QString& path) {
    const QDeadlineTimer deadline(60000);
    while (!QFileInfo::exists(path) && !deadline.hasExpired()) QTest::qWait(20);
    return QFileInfo::exists(path);
}

class TwoProcessTest : public testing::Test {
protected:
    TempTree home;
    std::vector<std::unique_ptr<QProcess>> primaries;

    void TearDown() override {
        for (auto& primary : primaries) {
            primary->kill();
            primary->waitForFinished();
        }
    }

    void SetUp() override {
        // As the session sets it up: only its user may enter.
        QFile::setPermissions(home.makeFolder("run"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        home.makeFolder("config");
    }

    QProcessEnvironment environment() const {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("HOME", home.root());
        env.insert("XDG_RUNTIME_DIR", home.path("run"));
        env.insert("XDG_CONFIG_HOME", home.path("config"));
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.remove("DBUS_SESSION_BUS_ADDRESS");
        return env;
    }

    QString socketPath() const { return home.path(QStringLiteral("run/velmora-%1.socket").arg(::getuid())); }
    QString lockPath() const { return home.path(QStringLiteral("run/velmora-%1.lock").arg(::getuid())); }

    qint64 lockOwner() const {
        QFile lock(lockPath());
        if (!lock.open(QIODevice::ReadOnly)) return -1;
        return lock.readLine().trimmed().toLongLong();
    }

    // Starts a primary and waits until it holds the lock; later launches wait for its socket.
    QProcess& startPrimary(const QStringList& arguments = {}) {
        auto process = std::make_unique<QProcess>();
        process->setProcessEnvironment(environment());
        process->start(VELMORA_EXECUTABLE, arguments);
        EXPECT_TRUE(process->waitForStarted());
        const QDeadlineTimer deadline(30000);
        while (lockOwner() != process->processId() && !deadline.hasExpired()) QTest::qWait(10);
        EXPECT_EQ(lockOwner(), process->processId());
        primaries.push_back(std::move(process));
        return *primaries.back();
    }

    struct Result {
        int exitCode;
        QString standardError;
    };

    Result launch(const QStringList& arguments) {
        QProcess process;
        process.setProcessEnvironment(environment());
        process.setWorkingDirectory(home.root());
        process.start(VELMORA_EXECUTABLE, arguments);
        EXPECT_TRUE(process.waitForFinished(30000));
        return {process.exitCode(), QString::fromLocal8Bit(process.readAllStandardError())};
    }
};

TEST_F(TwoProcessTest, LaterLaunchesForwardAndACrashedPrimaryIsReplaced) {
    QProcess& primary = startPrimary();
    const QString report = home.writeFile(QStringLiteral(u"文档 #1/report"), "numbers");

    const Result compress = launch({"velmora://compress?path=" + QUrl::toPercentEncoding(report)});
    EXPECT_EQ(compress.exitCode, 0) << compress.standardError.toStdString();
    EXPECT_TRUE(waitForFile(report + ".zip"));

    const Result service = launch({"--service-extract"});
    EXPECT_EQ(service.exitCode, 1);
    EXPECT_TRUE(service.standardError.contains(QStringLiteral(u"没有找到可解压的文件。")))
        << service.standardError.toStdString();
    EXPECT_EQ(launch({"--background-login"}).exitCode, 0);

    ::kill(static_cast<pid_t>(primary.processId()), SIGKILL);
    primary.waitForFinished();
    // Lock and socket of the dead primary are still on disk; the next launch takes them over.
    ASSERT_TRUE(QFileInfo::exists(lockPath()));
    ASSERT_TRUE(QFileInfo::exists(socketPath()));
    // Its own request goes the same way as a forwarded one.
    const QString notes = home.writeFile("notes", "n");
    QProcess& next = startPrimary({"velmora://compress?path=" + QUrl::toPercentEncoding(notes)});
    EXPECT_TRUE(waitForFile(notes + ".zip"));
    EXPECT_EQ(next.state(), QProcess::Running);
    EXPECT_EQ(launch({"velmora://noop?path=%2Ftmp"}).exitCode, 1);
    EXPECT_EQ(next.state(), QProcess::Running);
}

}  // namespace
