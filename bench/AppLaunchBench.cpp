// Launch times of the application, offscreen with stores in a temporary folder:
//  cold start: from exec of velmora until its main window is shown (a second velmora, started as
//              soon as the first listens, is answered once the window is shown), target <= 400 ms; again with
//              20,000 finished tasks stored, target <= 1 s;
//  forwarded request: from the start of a second velmora, asked to preview a small ZIP archive, until
//              it exits, which it does once the primary has handled the request and answered,
//              target <= 150 ms.
// Both are printed beside the start of a bare program (/bin/true), which shows how busy the machine is.
// A run that fails ends the benchmark with its reason and no figure.

#include "BenchSupport.h"

#include <unistd.h>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <QUrl>
#include <cstdio>
#include <cstdlib>
#include <optional>

namespace {

constexpr int kRuns = 9;

struct Sandbox {
    QTemporaryDir home;

    QProcessEnvironment environment() const {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("HOME"), home.path());
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), home.path());
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), home.path() + QStringLiteral("/config"));
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        return env;
    }
    QString socketPath() const { return home.path() + QStringLiteral("/velmora-%1.socket").arg(::getuid()); }
};

using BenchSupport::median;

// Ends the benchmark: which run failed and why.
[[noreturn]] void failed(const QString& run, const QString& reason) {
    std::fprintf(stderr, "%s failed: %s\n", qPrintable(run), qPrintable(reason));
    std::exit(1);
}

// Milliseconds from start to exit of one program run that must succeed.
double timedRun(const QString& run, const QString& program, const QStringList& arguments,
                const QProcessEnvironment& environment) {
    QProcess process;
    process.setProcessEnvironment(environment);
    QElapsedTimer clock;
    clock.start();
    process.start(program, arguments);
    if (!process.waitForFinished(30000)) failed(run, process.errorString());
    const double elapsed = static_cast<double>(clock.nsecsElapsed()) / 1e6;
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        failed(run, QStringLiteral("exit code %1: ").arg(process.exitCode()) +
                        QString::fromUtf8(process.readAllStandardError()).trimmed());
    }
    return elapsed;
}

// Starts a primary and returns the milliseconds until it has shown its main window. It listens before
// it builds its windows and answers what it was sent once its loop runs, after they are shown: a
// second velmora, started as soon as the socket is there, is answered then.
double startPrimary(const Sandbox& sandbox, QProcess& primary, const QString& run) {
    QElapsedTimer clock;
    primary.setProcessEnvironment(sandbox.environment());
    clock.start();
    primary.start(QStringLiteral(VELMORA_EXECUTABLE), {});
    while (!QFileInfo::exists(sandbox.socketPath())) {
        if (primary.state() == QProcess::NotRunning)
            failed(run, QStringLiteral("velmora ended before it listened: ") +
                            QString::fromUtf8(primary.readAllStandardError()));
        if (clock.elapsed() > 30000) failed(run, QStringLiteral("no socket after 30 s"));
        QThread::usleep(200);
    }
    timedRun(run, QStringLiteral(VELMORA_EXECUTABLE), {}, sandbox.environment());
    return static_cast<double>(clock.nsecsElapsed()) / 1e6;
}

void stop(QProcess& process) {
    process.kill();
    process.waitForFinished();
}

}  // namespace

int main(int argc, char* argv[]) {
    QCoreApplication application(argc, argv);

    std::vector<double> coldStarts;
    for (int run = 0; run < kRuns; ++run) {
        Sandbox sandbox;
        QProcess primary;
        coldStarts.push_back(startPrimary(sandbox, primary, QStringLiteral("cold start %1").arg(run + 1)));
        stop(primary);
    }

    std::vector<double> longUsedStarts;
    for (int run = 0; run < kRuns; ++run) {
        Sandbox sandbox;
        BenchSupport::storeFinishedTasks(sandbox.home.path() + QStringLiteral("/config/velmora/defaults"),
                                         20000);
        QProcess primary;
        longUsedStarts.push_back(
            startPrimary(sandbox, primary, QStringLiteral("cold start with 20,000 tasks %1").arg(run + 1)));
        stop(primary);
    }

    Sandbox sandbox;
    const QString archive = sandbox.home.filePath(QStringLiteral("small.zip"));
    BenchSupport::writeStoredZip(archive, {"a.txt", "docs/b.txt"});
    const QString request = QStringLiteral("velmora://preview?path=") +
                            QString::fromLatin1(QUrl::toPercentEncoding(archive));
    QProcess primary;
    startPrimary(sandbox, primary, QStringLiteral("primary for forwarded requests"));
    std::vector<double> forwards;
    std::vector<double> bareStarts;
    for (int run = 0; run < kRuns; ++run) {
        forwards.push_back(timedRun(QStringLiteral("forwarded request %1").arg(run + 1),
                                    QStringLiteral(VELMORA_EXECUTABLE), {request}, sandbox.environment()));
        bareStarts.push_back(timedRun(QStringLiteral("bare start %1").arg(run + 1), QStringLiteral("/bin/true"),
                                      {}, sandbox.environment()));
    }
    stop(primary);

    std::printf("cold start to main window shown: median %.1f ms over %d runs (target <= 400 ms)\n",
                median(coldStarts), kRuns);
    std::printf("... with 20,000 tasks stored:       median %.1f ms over %d runs (target <= 1000 ms)\n",
                median(longUsedStarts), kRuns);
    std::printf("forwarded request handled:       median %.1f ms over %d runs (target <= 150 ms)\n",
                median(forwards), kRuns);
    std::printf("bare program start (/bin/true):  median %.1f ms\n", median(bareStarts));
    return 0;
}
