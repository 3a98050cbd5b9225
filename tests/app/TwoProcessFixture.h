#pragma once

#include "support/TempTree.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>
#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTest>

// Real velmora processes, each with its own home, runtime, state and temporary folders.

// Only a safety net: these tests judge what the processes did, and a busy machine may take long.
constexpr int kSafetyNetMs = 4 * 60 * 1000;

// The primary writes its outputs on its own time; files waited for together share one deadline.
inline bool waitForFile(const QString& path, const QDeadlineTimer& deadline = QDeadlineTimer(kSafetyNetMs)) {
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
        home.makeFolder("tmp");
    }

    QProcessEnvironment environment() const {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("HOME", home.root());
        env.insert("XDG_RUNTIME_DIR", home.path("run"));
        env.insert("XDG_CONFIG_HOME", home.path("config"));
        env.insert("XDG_STATE_HOME", home.path("state"));
        env.insert("TMPDIR", home.path("tmp"));
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
        const QDeadlineTimer deadline(kSafetyNetMs);
        while (lockOwner() != process->processId() && !deadline.hasExpired()) QTest::qWait(10);
        EXPECT_EQ(lockOwner(), process->processId());
        primaries.push_back(std::move(process));
        return *primaries.back();
    }

    struct Result {
        int exitCode;
        QString standardError;
        QString standardOutput;
    };

    Result launch(const QStringList& arguments, const QProcessEnvironment& env) {
        QProcess process;
        process.setProcessEnvironment(env);
        process.setWorkingDirectory(home.root());
        process.start(VELMORA_EXECUTABLE, arguments);
        EXPECT_TRUE(process.waitForFinished(kSafetyNetMs));
        return {process.exitCode(), QString::fromLocal8Bit(process.readAllStandardError()),
                QString::fromLocal8Bit(process.readAllStandardOutput())};
    }
    Result launch(const QStringList& arguments) { return launch(arguments, environment()); }
};
