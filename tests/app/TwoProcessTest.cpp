// The single-instance contract between real processes: a later launch hands its request to the
// primary and reports the primary's answer through its exit status.

#include "app/RequestRouter.h"
#include "app/SingleInstance.h"
#include "app/TwoProcessFixture.h"

#include <QDir>
#include <QSet>
#include <QUrl>
#include <atomic>
#include <thread>

namespace {

// Whether the process holds a connected local socket: a launch that has reached the primary's queue.
bool hasConnectedSocket(qint64 pid) {
    QSet<QByteArray> inodes;
    const QString fds = QStringLiteral("/proc/%1/fd").arg(pid);
    for (const QString& fd : QDir(fds).entryList(QDir::System | QDir::NoDotAndDotDot)) {
        const QString target = QFile::symLinkTarget(fds + "/" + fd);
        const qsizetype open = target.indexOf("socket:[");
        if (open >= 0) inodes.insert(target.mid(open + 8).chopped(1).toUtf8());
    }
    QFile sockets("/proc/net/unix");
    if (inodes.isEmpty() || !sockets.open(QIODevice::ReadOnly)) return false;
    // Num RefCount Protocol Flags Type St Inode [Path]; state 03 is connected.
    for (const QByteArray& line : sockets.readAll().split('\n')) {
        const QList<QByteArray> fields = line.simplified().split(' ');
        if (fields.size() >= 7 && fields[5] == "03" && inodes.contains(fields[6])) return true;
    }
    return false;
}

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

// The autostart entry runs "--background-login": with no velmora running it becomes the primary,
// hidden, serves later launches, and ends cleanly.
TEST_F(TwoProcessTest, ALoginStartWithoutAPrimaryBecomesIt) {
    QProcess& primary = startPrimary({"--background-login"});
    const QString report = home.writeFile("report", "numbers");
    const Result compress = launch({"velmora://compress?path=" + QUrl::toPercentEncoding(report)});
    EXPECT_EQ(compress.exitCode, 0) << compress.standardError.toStdString();
    EXPECT_TRUE(waitForFile(report + ".zip"));
    EXPECT_EQ(launch({"--background-login"}).exitCode, 0);
    EXPECT_EQ(primary.state(), QProcess::Running);
    EXPECT_EQ(lockOwner(), primary.processId());

    ::kill(static_cast<pid_t>(primary.processId()), SIGTERM);
    ASSERT_TRUE(primary.waitForFinished(kSafetyNetMs));
    EXPECT_EQ(primary.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(primary.exitCode(), 0) << primary.readAllStandardError().toStdString();
}

// Launches that arrive together, to a running primary or just after it was killed (one of them then
// becomes the primary): every other caller exits 0 without a word, and each is carried out once.
TEST_F(TwoProcessTest, ABurstOfLaunchesIsTakenWhole) {
    const struct {
        bool primaryKilled;
        int launches;
    } cases[] = {{false, 200}, {true, 50}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.primaryKilled ? "after SIGKILL" : "primary running");
        QProcess& primary = startPrimary();
        ASSERT_EQ(launch({}).exitCode, 0);  // listening now
        if (c.primaryKilled) {
            ::kill(static_cast<pid_t>(primary.processId()), SIGKILL);
            primary.waitForFinished();
        }
        const QString folder = c.primaryKilled ? "killed" : "running";
        std::vector<std::unique_ptr<QProcess>> callers;
        for (int i = 0; i < c.launches; ++i) {
            callers.push_back(std::make_unique<QProcess>());
            callers.back()->setProcessEnvironment(environment());
            callers.back()->start(VELMORA_EXECUTABLE, {"--service-compress",
                                                       home.writeFile(folder + QStringLiteral("/f%1").arg(i), "x")});
        }
        QProcess* next = nullptr;
        const QDeadlineTimer deadline(kSafetyNetMs);
        for (const auto& caller : callers) {
            ASSERT_TRUE(QTest::qWaitFor(
                [&] { return caller->state() == QProcess::NotRunning || lockOwner() == caller->processId(); },
                int(deadline.remainingTime())));
            if (caller->state() != QProcess::NotRunning) {
                next = caller.get();
                continue;
            }
            EXPECT_EQ(caller->exitCode(), 0);
            EXPECT_EQ(caller->readAllStandardError(), QByteArray());
        }
        EXPECT_EQ(next != nullptr, c.primaryKilled);
        for (int i = 0; i < c.launches; ++i)
            EXPECT_TRUE(waitForFile(home.path(folder + QStringLiteral("/f%1.zip").arg(i)), deadline)) << i;
        EXPECT_EQ(QDir(home.path(folder)).entryList({"*.zip"}, QDir::Files).size(), c.launches);
        QProcess& ending = next ? *next : primary;
        ending.kill();
        ending.waitForFinished();
    }
}

// A stopped primary (SIGSTOP) answers nothing: its launches wait in its queue, and once it resumes
// each is answered and carried out once.
TEST_F(TwoProcessTest, LaunchesToAStoppedPrimaryAreCarriedOutWhenItResumes) {
    QProcess& primary = startPrimary();
    ASSERT_EQ(launch({}).exitCode, 0);
    const auto pid = static_cast<pid_t>(primary.processId());
    ::kill(pid, SIGSTOP);
    constexpr int kLaunches = 8;
    std::unique_ptr<QProcess> callers[kLaunches];
    for (int i = 0; i < kLaunches; ++i) {
        callers[i] = std::make_unique<QProcess>();
        callers[i]->setProcessEnvironment(environment());
        callers[i]->start(VELMORA_EXECUTABLE,
                          {"--service-compress", home.writeFile(QStringLiteral("stopped/f%1").arg(i), "x")});
    }
    for (const auto& caller : callers)
        ASSERT_TRUE(QTest::qWaitFor([&] { return hasConnectedSocket(caller->processId()); }, kSafetyNetMs));
    ::kill(pid, SIGCONT);
    const QDeadlineTimer deadline(kSafetyNetMs);
    for (const auto& caller : callers) {
        ASSERT_TRUE(caller->waitForFinished(int(deadline.remainingTime())));
        EXPECT_EQ(caller->exitCode(), 0);
        EXPECT_EQ(caller->readAllStandardError(), QByteArray());
    }
    for (int i = 0; i < kLaunches; ++i)
        EXPECT_TRUE(waitForFile(home.path(QStringLiteral("stopped/f%1.zip").arg(i)), deadline)) << i;
    EXPECT_EQ(QDir(home.path("stopped")).entryList({"*.zip"}, QDir::Files).size(), kLaunches);
}

// The protocol itself, with a primary in this process whose event loop runs only when the test lets
// it: a launch out of patience withdraws its request, which the primary then never carries out; one it
// answers in time is carried out at once, and a refused one not at all.
TEST_F(TwoProcessTest, OnlyARequestWhoseAnswerReachedItsSenderIsCarriedOut) {
    SingleInstance primary(home.path("run"));
    ASSERT_TRUE(primary.tryClaim());
    QStringList carriedOut;
    ASSERT_TRUE(primary.listen({
        .refusal = &RequestRouter::refusal,
        .carryOut = [&](const LaunchRequest& request) { carriedOut << request.arguments; },
        .declines = [] { return false; },
    }));
    const auto request = [](LaunchRequest::Verb verb, const QString& name) {
        return LaunchRequest{.verb = verb, .arguments = {name}, .cwd = "/"};
    };
    const struct {
        LaunchRequest request;
        bool loopRuns;
        std::optional<QString> error;
    } cases[] = {
        {request(LaunchRequest::Verb::open, "/late"), false,
         QStringLiteral(u"velmora 正在运行，但没有响应；请求已撤回，不会执行。")},
        {request(LaunchRequest::Verb::open, "/kept"), true, std::nullopt},
        {request(LaunchRequest::Verb::serviceExtract, "https://example.com/a.zip"), true,
         QStringLiteral(u"没有找到可解压的文件。")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.request.arguments.first().toStdString());
        std::atomic<bool> done = false;
        SingleInstance::Outcome outcome;
        std::thread sender([&] {
            using std::chrono::milliseconds;
            outcome = SingleInstance(home.path("run"), c.loopRuns ? SingleInstance::kPatience : milliseconds(200))
                          .claimOrForward(c.request);
            done = true;
        });
        if (c.loopRuns) {
            EXPECT_TRUE(QTest::qWaitFor([&] { return done.load(); }, kSafetyNetMs));
        }
        sender.join();
        EXPECT_FALSE(outcome.isPrimary);
        EXPECT_EQ(outcome.error, c.error);
    }
    // The withdrawn request came first in the queue and was met first.
    EXPECT_EQ(carriedOut, QStringList{"/kept"});
}

// Launches while the primary quits (after half of them, whose work is done): none is taken and dropped;
// one the quitting primary does not take waits for it to end, then becomes the next primary or is served.
TEST_F(TwoProcessTest, LaunchesDuringAQuitAreServedByTheNextPrimary) {
    QProcess& primary = startPrimary();
    ASSERT_EQ(launch({}).exitCode, 0);
    constexpr int kLaunches = 200;
    QProcess callers[kLaunches];
    const auto zip = [&](int i) { return home.path(QStringLiteral("quit/f%1.zip").arg(i)); };
    for (int i = 0; i < kLaunches; ++i) {
        const QDeadlineTimer done(kSafetyNetMs);
        for (int made = 0; i == kLaunches / 2 && made < i; ++made) ASSERT_TRUE(waitForFile(zip(made), done));
        if (i == kLaunches / 2) ::kill(static_cast<pid_t>(primary.processId()), SIGTERM);
        callers[i].setProcessEnvironment(environment());
        callers[i].start(VELMORA_EXECUTABLE,
                         {"--service-compress", home.writeFile(QStringLiteral("quit/f%1").arg(i), "x")});
    }
    ASSERT_TRUE(primary.waitForFinished(kSafetyNetMs));
    EXPECT_EQ(primary.exitCode(), 0);
    QProcess* next = nullptr;
    const QDeadlineTimer deadline(kSafetyNetMs);
    for (QProcess& caller : callers) {
        ASSERT_TRUE(QTest::qWaitFor(
            [&] { return caller.state() == QProcess::NotRunning || lockOwner() == caller.processId(); },
            int(deadline.remainingTime())));
        if (caller.state() != QProcess::NotRunning)
            next = &caller;
        else
            EXPECT_EQ(caller.exitCode(), 0) << caller.readAllStandardError().toStdString();
    }
    ASSERT_NE(next, nullptr);
    for (int i = 0; i < kLaunches; ++i) EXPECT_TRUE(waitForFile(zip(i), deadline)) << i;
    next->kill();
    next->waitForFinished();
}

// A name that is not UTF-8 (GBK) on the command line keeps its bytes to the tools, both ways.
TEST_F(TwoProcessTest, ANameThatIsNotUtf8KeepsItsBytes) {
    startPrimary();
    const QByteArray folder = QFile::encodeName(home.root());
    ASSERT_EQ(::rename(QFile::encodeName(home.writeFile("plain", "x")).constData(),
                       (folder + "/\xD6\xD0\xCE\xC4").constData()), 0);
    // Through a shell: QProcess would pass the name as UTF-8.
    const auto launchRaw = [&](const QString& option, const QString& name) {
        QProcess process;
        process.setProcessEnvironment(environment());
        process.start("/bin/sh", {"-c", "exec \"$0\" " + option + " \"$(printf \"$1\")\"", VELMORA_EXECUTABLE,
                                  home.root() + "/" + name});
        EXPECT_TRUE(process.waitForFinished(kSafetyNetMs));
        EXPECT_EQ(process.readAllStandardError(), QByteArray());
        return process.exitCode();
    };
    ASSERT_EQ(launchRaw("--service-compress", "\\326\\320\\316\\304"), 0);
    const QByteArray archive = folder + "/\xD6\xD0\xCE\xC4.zip";
    ASSERT_TRUE(QTest::qWaitFor([&] { return ::access(archive.constData(), F_OK) == 0; }, kSafetyNetMs));
    ASSERT_EQ(::rename(archive.constData(), (folder + "/\xC4\xCE.zip").constData()), 0);
    ASSERT_EQ(launchRaw("--service-extract", "\\304\\316.zip"), 0);
    EXPECT_TRUE(QTest::qWaitFor([&] { return ::access((folder + "/\xC4\xCE").constData(), F_OK) == 0; }, kSafetyNetMs));
}

}  // namespace
