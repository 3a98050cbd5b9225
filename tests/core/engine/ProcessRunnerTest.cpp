#include "core/base/CancellationError.h"
#include "core/engine/ProcessRunner.h"
#include "core/engine/ProcessRunnerError.h"
#include "support/FakeTool.h"
#include "support/TempTree.h"

#include <gtest/gtest.h>
#include <QFile>
#include <QFileInfo>

#include <chrono>
#include <csignal>
#include <thread>

namespace {

const QString kShell = QStringLiteral("/bin/sh");

ProcessResult runShell(const QString& script, double timeout = 30,
                       const ProcessRunner::OutputHandler& handler = {},
                       const CancellationToken& token = {}) {
    return ProcessRunner::run(kShell, {QStringLiteral("-c"), script}, std::nullopt, timeout, handler, token);
}

TEST(ProcessRunner, ExitStatusesAreResults) {
    const ProcessResult quiet = runShell(QStringLiteral("exit 0"));
    EXPECT_EQ(quiet.status, 0);
    EXPECT_TRUE(quiet.output.isEmpty());
    EXPECT_TRUE(quiet.error.isEmpty());

    const ProcessResult failed = runShell(QStringLiteral("echo out; echo err >&2; exit 3"));
    EXPECT_EQ(failed.status, 3);
    EXPECT_EQ(failed.output, QStringLiteral("out\n"));
    EXPECT_EQ(failed.error, QStringLiteral("err\n"));
}

TEST(ProcessRunner, ArgumentsWorkingFolderAndEnvironmentReachTheTool) {
    TempTree tree;
    FakeTool tool(tree.root(), QStringLiteral("tool"),
                  QStringLiteral("pwd; echo \"$LC_ALL $TZ\"; if read line; then echo has-input; fi"));
    const QByteArray savedTimeZone = qgetenv("TZ");
    qunsetenv("TZ");
    const ProcessResult result = ProcessRunner::run(
        tool.path(), {QStringLiteral("a b"), QStringLiteral("*"), QString()}, tree.root(), 30, {}, {});
    if (!savedTimeZone.isNull()) qputenv("TZ", savedTimeZone);
    EXPECT_EQ(result.output,
              QFileInfo(tree.root()).canonicalFilePath() + QStringLiteral("\nC.UTF-8 :/etc/localtime\n"));
    EXPECT_EQ(tool.recordedRuns(), (QList<QStringList>{{"a b", "*"}}));
}

// A password reaches the tool as one line, then end of file, so a tool that asks again cannot wait.
TEST(ProcessRunner, StandardInputHoldsOnlyTheGivenLine) {
    const auto input = [](const std::optional<QString>& line) {
        return ProcessRunner::run(kShell, {QStringLiteral("-c"), QStringLiteral("cat; cat; echo end")},
                                  std::nullopt, 30, {}, {}, line)
            .output;
    };
    EXPECT_EQ(input(std::nullopt), QStringLiteral("end\n"));
    EXPECT_EQ(input(QStringLiteral(u"秘密 -p")), QStringLiteral(u"秘密 -p\nend\n"));
}

TEST(ProcessRunner, LargeOutputOnBothStreamsDoesNotDeadlock) {
    // 8 MiB on each stream at once: a runner that drained one pipe at a time would stall here.
    const ProcessResult result = runShell(QStringLiteral(
        "head -c 8388608 /dev/zero | tr '\\0' a >&2 & head -c 8388608 /dev/zero | tr '\\0' b; wait"));
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.output.size(), 8388608);
    EXPECT_EQ(result.error.size(), 8388608);
    EXPECT_EQ(result.output.count(QLatin1Char('b')), 8388608);
}

TEST(ProcessRunner, HandlerGetsOnlyNonEmptyChunks) {
    QStringList chunks;
    const auto collect = [&](const QString& chunk) { chunks << chunk; };
    runShell(QStringLiteral("printf '进度 10%%\\n'; printf 'x' >&2"), 30, collect);
    for (const QString& chunk : chunks) EXPECT_FALSE(chunk.isEmpty());
    EXPECT_TRUE(chunks.join(QString()).contains(QStringLiteral(u"进度 10%")));
    EXPECT_TRUE(chunks.contains(QStringLiteral("x")));

    chunks.clear();
    const ProcessResult invalid =
        runShell(QStringLiteral("printf '\\377\\376'; echo ok >&2; exit 2"), 30, collect);
    // Standard output is not valid UTF-8: it is kept, while the status and the other stream stand.
    EXPECT_EQ(invalid.output, QString(2, QChar::ReplacementCharacter));
    EXPECT_EQ(invalid.error, QStringLiteral("ok\n"));
    EXPECT_EQ(invalid.status, 2);
}

TEST(ProcessRunner, MissingOrNonExecutableProgramFailsToLaunch) {
    TempTree tree;
    const QString plain = tree.writeFile(QStringLiteral("plain"), "#!/bin/sh\n");
    for (const QString& program : {tree.path(QStringLiteral("missing")), plain}) {
        try {
            ProcessRunner::run(program, {}, std::nullopt, 30, {}, {});
            ADD_FAILURE() << "launched " << program.toStdString();
        } catch (const ProcessRunnerError& error) {
            EXPECT_EQ(error.kind(), ProcessRunnerError::Kind::launchFailed);
            EXPECT_TRUE(error.message().startsWith(QStringLiteral(u"无法启动外部工具：")));
            EXPECT_FALSE(error.message().contains(QFileInfo(program).fileName()));
        }
    }
}

// A limit on the whole run ends a tool that prints all along; a limit on silence lets it finish, and a
// tool that reads or computes all along without printing, and ends only a tool that sleeps. Neither message
// names the program file.
TEST(ProcessRunner, TimeLimitsCountTheWholeRunOrTheToolsSilence) {
    TempTree tree;
    FakeTool steady(tree.root(), QStringLiteral("steadytool"),
                    QStringLiteral("i=0; while [ $i -lt 25 ]; do echo $i; i=$((i+1)); sleep 0.1; done"));
    FakeTool silent(tree.root(), QStringLiteral("slowtool"), QStringLiteral("echo started; exec sleep 30"));
    // The shell reads its lines one byte at a time and prints them all at the end.
    FakeTool reading(
        tree.root(), QStringLiteral("readingtool"),
        QStringLiteral("seq 25 > \"$0.lines\"; while read -r line; do sleep 0.1; done < \"$0.lines\"; "
                       "cat \"$0.lines\""));
    // Computes for a while, reading and printing nothing, then prints its lines.
    FakeTool computing(tree.root(), QStringLiteral("computingtool"),
                       QStringLiteral("i=0; while [ $i -lt 2000000 ]; do i=$((i+1)); done; seq 25"));
    const std::tuple<QString, ProcessRunner::TimeLimit, std::optional<QString>> cases[] = {
        {steady.path(), 0.6, QStringLiteral(u"外部工具执行超时")},
        {steady.path(), ProcessRunner::TimeLimit::ofSilence(1.5), std::nullopt},  // finishes
        {silent.path(), 0.3, QStringLiteral(u"外部工具执行超时")},
        {silent.path(), ProcessRunner::TimeLimit::ofSilence(0.3),
         QStringLiteral(u"外部工具长时间没有响应，已停止")},
        {reading.path(), ProcessRunner::TimeLimit::ofSilence(1), std::nullopt},
        {computing.path(), ProcessRunner::TimeLimit::ofSilence(0.3), std::nullopt},
    };
    for (const auto& [tool, limit, message] : cases) {
        try {
            const ProcessResult result = ProcessRunner::run(tool, {}, std::nullopt, limit, {}, {});
            EXPECT_FALSE(message) << "finished";
            EXPECT_EQ(result.output.count(QLatin1Char('\n')), 25);
        } catch (const ProcessRunnerError& error) {
            EXPECT_EQ(error.kind(), ProcessRunnerError::Kind::timedOut);
            EXPECT_EQ(error.message(), message.value_or(QStringLiteral("finished"))) << tool.toStdString();
        }
    }
}

TEST(ProcessRunner, CancelBeforeLaunchStartsNothing) {
    TempTree tree;
    FakeTool tool(tree.root(), QStringLiteral("tool"), QString());
    CancellationToken token;
    token.cancel();
    EXPECT_THROW(ProcessRunner::run(tool.path(), {}, std::nullopt, 30, {}, token), CancellationError);
    EXPECT_TRUE(tool.recordedRuns().isEmpty());
}

// A killed process that nobody has reaped yet (no init in a container) still answers kill(pid, 0).
bool processIsAlive(pid_t pid) {
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly)) return false;
    const QByteArray fields = stat.readAll();
    return !fields.mid(fields.lastIndexOf(')') + 2, 1).startsWith('Z');
}

TEST(ProcessRunner, CancelDuringRunEndsTheWholeProcessGroup) {
    TempTree tree;
    const QString pidFile = tree.path(QStringLiteral("grandchild.pid"));
    CancellationToken token;
    std::thread canceller([&] {
        while (!QFileInfo::exists(pidFile) || QFileInfo(pidFile).size() == 0) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        token.cancel();
    });
    // The shell ignores SIGTERM, so only the SIGKILL after the grace period ends it.
    EXPECT_THROW(runShell(QStringLiteral("trap '' TERM; sleep 100 & echo $! > '%1'; wait").arg(pidFile), 60,
                          {}, token),
                 CancellationError);
    canceller.join();

    QFile file(pidFile);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const pid_t grandchild = file.readAll().trimmed().toInt();
    ASSERT_GT(grandchild, 0);
    // SIGKILL is delivered asynchronously; give the grandchild a moment to die.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (processIsAlive(grandchild) && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_FALSE(processIsAlive(grandchild));
}

TEST(ProcessRunner, ExitedToolIsNotHeldUpByAGrandchildHoldingItsPipes) {
    const auto started = std::chrono::steady_clock::now();
    const ProcessResult result = runShell(QStringLiteral("echo done; sleep 5 & exit 0"), 30);
    EXPECT_EQ(result.output, QStringLiteral("done\n"));
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(4));
}

}  // namespace
