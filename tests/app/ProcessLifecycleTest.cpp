// How a real velmora process starts and ends: the command line's answers, who may own its socket,
// and what a terminated or killed run leaves behind.

#include "app/TwoProcessFixture.h"

#include <QDir>
#include <QDirIterator>
#include <QLocalSocket>
#include <QUrl>

#include <sys/stat.h>

namespace {

using ProcessLifecycleTest = TwoProcessTest;

// Live processes whose command line names the text; zombies count as gone.
QList<qint64> processesNaming(const QString& text) {
    QList<qint64> found;
    const QByteArray needle = QFile::encodeName(text);
    for (const QString& entry : QDir("/proc").entryList(QDir::Dirs)) {
        bool isPid = false;
        const qint64 pid = entry.toLongLong(&isPid);
        if (!isPid) continue;
        QFile cmdline("/proc/" + entry + "/cmdline");
        QFile stat("/proc/" + entry + "/stat");
        if (!cmdline.open(QIODevice::ReadOnly) || !stat.open(QIODevice::ReadOnly)) continue;
        const QByteArray state = stat.readAll();
        const qsizetype close = state.lastIndexOf(')');
        if (close < 0 || state.mid(close + 2, 1) == "Z") continue;
        if (cmdline.readAll().contains(needle)) found.append(pid);
    }
    return found;
}

bool waitFor(const std::function<bool()>& condition, int milliseconds) {
    const QDeadlineTimer deadline(milliseconds);
    while (!condition()) {
        if (deadline.hasExpired()) return false;
        QTest::qWait(20);
    }
    return true;
}

// Every file and folder below root, hidden ones included.
QStringList entriesBelow(const QString& root) {
    QStringList entries;
    QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) entries.append(QDir(root).relativeFilePath(it.next()));
    return entries;
}

constexpr qint64 kSourceBytes = 8000000;

// What the extraction has written so far, wherever below the folder it is.
qint64 extractedBytes(const QString& folder) {
    qint64 bytes = 0;
    QDirIterator it(folder, {"big.bin"}, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) bytes += QFileInfo(it.next()).size();
    return bytes;
}

TEST_F(ProcessLifecycleTest, CommandLineProblemsExitOneAndStartNothing) {
    const QString report = home.writeFile("report.txt", "r");
    const QByteArray encoded = QUrl::toPercentEncoding(report);
    // Opening a pipe waits for a writer: it is refused by its type, before anything opens it.
    const QString fifo = home.path("fifo.zip");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString fifoReason =
        QStringLiteral(u"“") + fifo + QStringLiteral(u"”是命名管道，不是文件或文件夹，无法使用。");
    const struct {
        QStringList arguments;
        QString reason;
    } cases[] = {
        {{"--bogus"}, QStringLiteral(u"未知选项：--bogus")},
        {{report, "-x"}, QStringLiteral(u"未知选项：-x")},
        {{"velmora://shred?path=" + encoded}, QStringLiteral(u"未知操作：shred")},
        {{"missing.zip"}, QStringLiteral(u"找不到文件：") + home.path("missing.zip")},
        {{"fifo.zip"}, fifoReason},
        {{"--service-extract", fifo}, fifoReason},
        {{"--service-compress", "/dev/zero"},
         QStringLiteral(u"“/dev/zero”是设备文件，不是文件或文件夹，无法使用。")},
        {{"velmora://extract?path=relative/t.zip"},
         QStringLiteral(u"链接中的路径不是绝对路径：relative/t.zip")},
        {{"https://example.com/a.zip"}, QStringLiteral(u"不支持的链接：https://example.com/a.zip")},
        {{"--service-compress"}, QStringLiteral(u"没有找到可压缩的文件。")},
    };
    // Without a primary nothing starts either: no lock is taken.
    for (const bool primaryRuns : {false, true}) {
        if (primaryRuns) startPrimary();
        for (const auto& c : cases) {
            const Result result = launch(c.arguments);
            EXPECT_EQ(result.exitCode, 1) << c.arguments.join(' ').toStdString();
            EXPECT_EQ(result.standardError.trimmed(), c.reason);
            EXPECT_EQ(lockOwner() > 0, primaryRuns);
        }
    }
    const Result help = launch({"--help", "--bogus"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.standardOutput.startsWith(QStringLiteral(u"用法：velmora")))
        << help.standardOutput.toStdString();
    // A name that begins with "-" is a file after "--".
    const QString dashed = home.writeFile("-notes", "n");
    EXPECT_EQ(launch({"--", dashed}).exitCode, 0);
    EXPECT_TRUE(waitForFile(home.path("-notes.zip")));
    EXPECT_FALSE(QFileInfo::exists(report + ".zip"));
    EXPECT_EQ(primaries.back()->state(), QProcess::Running);
}

// Another local user could prepare the shared temporary folder and receive every launch's request.
TEST_F(ProcessLifecycleTest, SocketLivesOnlyInAFolderNobodyElseMayEnter) {
    const QString elsewhere = home.makeFolder("elsewhere");
    const QString base = home.path(QStringLiteral("tmp/velmora-%1").arg(::getuid()));
    ASSERT_TRUE(QFile::link(elsewhere, base));
    QProcessEnvironment env = environment();
    env.remove("XDG_RUNTIME_DIR");
    const Result refused = launch({}, env);
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_TRUE(refused.standardError.contains(QStringLiteral(u"velmora 无法启动")))
        << refused.standardError.toStdString();
    EXPECT_TRUE(QDir(elsewhere).isEmpty());

    // A runtime folder others may enter is passed over for the private temporary base.
    ASSERT_TRUE(QFile::remove(base));
    QFile::setPermissions(home.path("run"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                                QFile::ReadOther | QFile::ExeOther);
    QProcess primary;
    primary.setProcessEnvironment(environment());
    primary.start(VELMORA_EXECUTABLE, QStringList{});
    const QString lock = base + QStringLiteral("/velmora-%1.lock").arg(::getuid());
    EXPECT_TRUE(waitFor([&] { return QFileInfo::exists(lock); }, kSafetyNetMs));
    EXPECT_FALSE(QFileInfo::exists(lockPath()));
    primary.kill();
    primary.waitForFinished();
}

TEST_F(ProcessLifecycleTest, AnOversizedRequestDropsItsConnection) {
    QProcess& primary = startPrimary();
    ASSERT_EQ(launch({}).exitCode, 0);  // listening now
    QLocalSocket socket;
    socket.connectToServer(socketPath());
    ASSERT_TRUE(socket.waitForConnected(kSafetyNetMs));
    const QByteArray chunk(64 * 1024, 'a');
    for (int i = 0; i < 32 && socket.state() == QLocalSocket::ConnectedState; ++i) {
        socket.write(chunk);
        socket.waitForBytesWritten(1000);
    }
    EXPECT_TRUE(socket.state() == QLocalSocket::UnconnectedState || socket.waitForDisconnected(kSafetyNetMs));
    EXPECT_EQ(primary.state(), QProcess::Running);
    EXPECT_EQ(launch({}).exitCode, 0);
}

// What holds velmora's socket path or lock without being velmora's is named at once and left alone:
// a file in place of the running primary's socket, and a lock that QLockFile keeps (the recorded name
// runs under the recorded id) for a program that is not velmora. Under velmora's name that id was
// reused, and the lock is taken over.
TEST_F(ProcessLifecycleTest, ASocketOrLockThatIsNotVelmorasIsNamed) {
    QProcess& primary = startPrimary();
    ASSERT_EQ(launch({}).exitCode, 0);
    const QByteArray socket = QFile::encodeName(socketPath());
    const struct {
        mode_t type;
        QString kind;
    } sockets[] = {{S_IFREG, QStringLiteral(u"普通文件")}, {S_IFIFO, QStringLiteral(u"命名管道")}};
    for (const auto& replaced : sockets) {
        ASSERT_EQ(::unlink(socket.constData()), 0);
        ASSERT_EQ(::mknod(socket.constData(), replaced.type | 0600, 0), 0);
        const Result result = launch({});
        EXPECT_EQ(result.exitCode, 1);
        EXPECT_EQ(result.standardError.trimmed(),
                  QStringLiteral(u"“") + socketPath() + QStringLiteral(u"”是") + replaced.kind +
                      QStringLiteral(u"，不是 velmora 的通信端口，请求无法交给正在运行的 velmora；请确认后删除它再试。"));
        struct stat info {};
        EXPECT_EQ(::lstat(socket.constData(), &info), 0);
        EXPECT_EQ(info.st_mode & S_IFMT, replaced.type);
        EXPECT_EQ(primary.state(), QProcess::Running);
    }
    primary.kill();
    primary.waitForFinished();

    QProcess other;
    other.start("/bin/sleep", {"600"});
    ASSERT_TRUE(other.waitForStarted());
    const QByteArray pid = QByteArray::number(other.processId());
    const struct {
        QByteArray recordedName;
        bool takenOver;
    } locks[] = {{"sleep", false}, {"velmora", true}};
    for (const auto& lock : locks) {
        SCOPED_TRACE(lock.recordedName.toStdString());
        const QByteArray contents = pid + "\n" + lock.recordedName + "\n";
        QFile::remove(lockPath());
        home.writeFile(QFileInfo(lockPath()).fileName().prepend("run/"), contents);
        if (lock.takenOver) {
            startPrimary();
            continue;
        }
        const Result result = launch({});
        EXPECT_EQ(result.exitCode, 1);
        EXPECT_EQ(result.standardError.trimmed(),
                  QStringLiteral(u"锁文件“") + lockPath() + QStringLiteral(u"”记录的进程 ") + QString::fromLatin1(pid) +
                      QStringLiteral(u"（sleep）不是 velmora；请确认后删除该文件再试。"));
        QFile written(lockPath());
        ASSERT_TRUE(written.open(QIODevice::ReadOnly));
        EXPECT_EQ(written.readAll(), contents);
    }
    EXPECT_EQ(other.state(), QProcess::Running);
    other.kill();
    other.waitForFinished();
}

// A logout's SIGTERM ends the work in order and leaves nothing, the first time, whatever windows are
// open; a SIGKILL takes the tools with it and the next start removes what it left.
TEST_F(ProcessLifecycleTest, AnEndedVelmoraLeavesNoToolAndTheNextStartLeavesNothing) {
    const QString data = home.makeFolder("data");
    const QString archive = data + "/big.7z";
    home.writeFile("source/big.bin", QByteArray());
    runTool("/bin/sh", {"-c", QStringLiteral("head -c %1 /dev/urandom > source/big.bin").arg(kSourceBytes)},
            home.root());
    runTool("/usr/bin/7zz", {"a", "-bd", "-m0=PPMd:mem=16m:o=2", archive, "big.bin"}, home.path("source"));
    const QString zip = home.path("notes.zip");
    runTool("/usr/bin/zip", {"-q", "-j", zip, home.writeFile("notes.txt", "n")});
    const QString tempBase = home.path(QStringLiteral("tmp/velmora-%1").arg(::getuid()));
    const QString extract = "velmora://extract?path=" + QUrl::toPercentEncoding(archive);

    const struct {
        int signal;
        bool plainStart;      // the main window opens, and the forwarded extraction leaves it open
        QStringList browsed;  // opened in browser windows before the extraction
    } cases[] = {{SIGTERM, false, {}}, {SIGTERM, true, {}}, {SIGINT, true, {zip, zip}}, {SIGKILL, false, {}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << c.signal << (c.plainStart ? " plain start " : " ") << c.browsed.size());
        QProcess& primary = startPrimary(c.plainStart ? QStringList() : QStringList{extract});
        for (const QString& browsed : c.browsed) ASSERT_EQ(launch({browsed}).exitCode, 0);
        if (c.plainStart) {
            ASSERT_EQ(launch({extract}).exitCode, 0);
        }
        // Held, so the extraction is still running when the signal comes; an orphaned tool would
        // stay behind, stopped.
        ASSERT_TRUE(holdRunningTool("7zz", "x", kSafetyNetMs, primary.processId()));
        ::kill(static_cast<pid_t>(primary.processId()), c.signal);
        ASSERT_TRUE(primary.waitForFinished(kSafetyNetMs));
        EXPECT_TRUE(waitFor([&] { return processesNaming(archive).isEmpty(); }, kSafetyNetMs));
        EXPECT_LT(extractedBytes(data), kSourceBytes);
        if (c.signal != SIGKILL) {
            EXPECT_EQ(primary.exitStatus(), QProcess::NormalExit);
            EXPECT_EQ(primary.exitCode(), 0);
            // Cleaned up on the way out, not left to the next start.
            EXPECT_EQ(entriesBelow(data), QStringList{"big.7z"});
        }
        QProcess& next = startPrimary();
        ASSERT_EQ(launch({}).exitCode, 0);  // the start's clean-up comes before it listens
        EXPECT_EQ(entriesBelow(data), QStringList{"big.7z"});
        EXPECT_TRUE(entriesBelow(tempBase).isEmpty()) << entriesBelow(tempBase).join(' ').toStdString();
        next.kill();
        next.waitForFinished();
        QDir(data + "/big").removeRecursively();
    }
}

}  // namespace
