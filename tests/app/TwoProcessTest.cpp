// The single-instance contract between real processes: a later launch hands its request to the
// primary and reports the primary's answer through its exit status.

#include "app/TwoProcessFixture.h"

#include <QDir>
#include <QUrl>

namespace {

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
    ASSERT_TRUE(primary.waitForFinished(30000));
    EXPECT_EQ(primary.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(primary.exitCode(), 0) << primary.readAllStandardError().toStdString();
}

// Launches that arrive together: each caller exits 0 without a word, and each is carried out once.
TEST_F(TwoProcessTest, ABurstOfLaunchesIsTakenWhole) {
    startPrimary();
    ASSERT_EQ(launch({}).exitCode, 0);  // listening now
    constexpr int kLaunches = 200;
    QProcess callers[kLaunches];
    for (int i = 0; i < kLaunches; ++i) {
        callers[i].setProcessEnvironment(environment());
        callers[i].start(VELMORA_EXECUTABLE,
                         {"--service-compress", home.writeFile(QStringLiteral("burst/f%1").arg(i), "x")});
    }
    for (QProcess& caller : callers) {
        ASSERT_TRUE(caller.waitForFinished(60000));
        EXPECT_EQ(caller.exitCode(), 0);
        EXPECT_EQ(caller.readAllStandardError(), QByteArray());
    }
    for (int i = 0; i < kLaunches; ++i)
        EXPECT_TRUE(waitForFile(home.path(QStringLiteral("burst/f%1.zip").arg(i))));
    EXPECT_EQ(QDir(home.path("burst")).entryList({"*.zip"}, QDir::Files).size(), kLaunches);
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
        for (int done = 0; i == kLaunches / 2 && done < i; ++done) ASSERT_TRUE(waitForFile(zip(done)));
        if (i == kLaunches / 2) ::kill(static_cast<pid_t>(primary.processId()), SIGTERM);
        callers[i].setProcessEnvironment(environment());
        callers[i].start(VELMORA_EXECUTABLE,
                         {"--service-compress", home.writeFile(QStringLiteral("quit/f%1").arg(i), "x")});
    }
    ASSERT_TRUE(primary.waitForFinished(30000));
    EXPECT_EQ(primary.exitCode(), 0);
    QProcess* next = nullptr;
    for (QProcess& caller : callers) {
        ASSERT_TRUE(QTest::qWaitFor(
            [&] { return caller.state() == QProcess::NotRunning || lockOwner() == caller.processId(); },
            60000));
        if (caller.state() != QProcess::NotRunning)
            next = &caller;
        else
            EXPECT_EQ(caller.exitCode(), 0) << caller.readAllStandardError().toStdString();
    }
    ASSERT_NE(next, nullptr);
    for (int i = 0; i < kLaunches; ++i) EXPECT_TRUE(waitForFile(zip(i))) << i;
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
        EXPECT_TRUE(process.waitForFinished(30000));
        EXPECT_EQ(process.readAllStandardError(), QByteArray());
        return process.exitCode();
    };
    ASSERT_EQ(launchRaw("--service-compress", "\\326\\320\\316\\304"), 0);
    const QByteArray archive = folder + "/\xD6\xD0\xCE\xC4.zip";
    ASSERT_TRUE(QTest::qWaitFor([&] { return ::access(archive.constData(), F_OK) == 0; }, 60000));
    ASSERT_EQ(::rename(archive.constData(), (folder + "/\xC4\xCE.zip").constData()), 0);
    ASSERT_EQ(launchRaw("--service-extract", "\\304\\316.zip"), 0);
    EXPECT_TRUE(QTest::qWaitFor([&] { return ::access((folder + "/\xC4\xCE").constData(), F_OK) == 0; }, 60000));
}

}  // namespace

// Names after "--" that look like Qt's options: the first instance once died in Qt's option parser
// ("Could not find the Qt platform plugin "notes.txt"").
TEST_F(TwoProcessTest, NamesLikeQtOptionsNeverReachQt) {
    const QStringList lines[] = {{"--", "-platform", "notes.txt"},
                                 {"--service-compress", "--", "-platform", "notes.txt"},
                                 {"--service-compress", "--", "-reverse"}};
    int round = 0;
    for (const QStringList& line : lines) {
        SCOPED_TRACE(line.join(' ').toStdString());
        const QString folder = home.makeFolder(QStringLiteral("round%1").arg(++round));
        home.writeFile(QStringLiteral("round%1/-platform").arg(round), "p");
        home.writeFile(QStringLiteral("round%1/notes.txt").arg(round), "n");
        home.writeFile(QStringLiteral("round%1/-reverse").arg(round), "r");
        auto primary = std::make_unique<QProcess>();
        primary->setProcessEnvironment(environment());
        primary->setWorkingDirectory(folder);
        primary->start(VELMORA_EXECUTABLE, line);
        ASSERT_TRUE(primary->waitForStarted());
        QProcess& started = *primaries.emplace_back(std::move(primary));
        // A later launch is served, so the first instance runs its application.
        const QString report = home.writeFile(QStringLiteral("round%1/report").arg(round), "numbers");
        const QDeadlineTimer deadline(60000);
        while (lockOwner() != started.processId() && started.state() == QProcess::Running &&
               !deadline.hasExpired())
            QTest::qWait(10);
        EXPECT_EQ(launch({"--service-compress", report}).exitCode, 0);
        EXPECT_TRUE(waitForFile(report + ".zip"));
        EXPECT_EQ(started.state(), QProcess::Running) << started.readAllStandardError().toStdString();
        if (line.first() == "--service-compress") {
            const QString named = folder + (line.last() == "-reverse" ? "/-reverse.zip" : "/notes.zip");
            EXPECT_TRUE(QFileInfo::exists(named) || QFileInfo::exists(folder + "/Archive.zip"));
        }
        started.kill();
        started.waitForFinished();
    }
}
