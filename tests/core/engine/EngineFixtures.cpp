#include "EngineFixtures.h"

#include "core/base/CancellationError.h"
#include "platform/PrivateTempDirectory.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>

#include <cerrno>
#include <csignal>
#include <thread>

#include <fcntl.h>
#include <stdio.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {
struct SampleFile {
    const char* path;
    const char* contents;
};

const SampleFile kSampleFiles[] = {
    {"readme.txt", "top level\n"},
    {"docs/notes.txt", "nested notes\n"},
    {"数据/报告 一.txt", "中文内容\n"},
    {".hidden", "dot file\n"},
};

int failedRenameError = 0;
std::function<int(int, const QString&)> renameStep;
int renameCalls = 0;

int failWith(int error) {
    errno = error;
    return -1;
}

bool waitUntilStarted(const FakeTool& tool) {
    QDeadlineTimer deadline(30000);
    while (!QFile::exists(tool.path() + QStringLiteral(".argv"))) {
        if (deadline.hasExpired()) return false;
        QThread::msleep(5);
    }
    return true;
}
}  // namespace

void writeSample(TempTree& tree, const QString& folder) {
    for (const SampleFile& file : kSampleFiles) {
        tree.writeFile(folder + QLatin1Char('/') + QString::fromUtf8(file.path), file.contents);
    }
}

void expectSample(const QString& root) {
    for (const SampleFile& file : kSampleFiles) {
        QFile extracted(root + QLatin1Char('/') + QString::fromUtf8(file.path));
        ASSERT_TRUE(extracted.open(QIODevice::ReadOnly)) << extracted.fileName().toStdString();
        EXPECT_EQ(extracted.readAll(), QByteArray(file.contents)) << extracted.fileName().toStdString();
    }
}

void SampleArchiveTest::SetUp() { writeSample(m_tree, QStringLiteral("src")); }

QString SampleArchiveTest::archiveOfSample(const QString& program, const QStringList& switches,
                                           const QString& name) {
    const QString archive = m_tree.path(name);
    QDir().mkpath(QFileInfo(archive).path());
    runTool(program, QStringList(switches) << archive << QStringLiteral("."),
            m_tree.path(QStringLiteral("src")));
    return archive;
}

std::optional<ArchiveError> thrownArchiveError(const std::function<void()>& operation) {
    try {
        operation();
    } catch (const ArchiveError& error) {
        return error;
    }
    return std::nullopt;
}

std::optional<QString> thrownMessage(const std::function<void()>& operation) {
    try {
        operation();
    } catch (const VelmoraError& error) {
        return error.message();
    }
    return std::nullopt;
}

bool stopsWithCancellation(const FakeTool& tool,
                           const std::function<void(const CancellationToken&)>& operation) {
    const CancellationToken token;
    bool cancelled = false;
    std::thread worker([&] {
        try {
            operation(token);
        } catch (const CancellationError&) {
            cancelled = true;
        }
    });
    const bool started = waitUntilStarted(tool);
    token.cancel();
    worker.join();
    EXPECT_TRUE(started) << tool.path().toStdString();
    return cancelled;
}

QMap<QString, QByteArray> treeContents(const QString& folder) {
    QMap<QString, QByteArray> contents;
    QDirIterator entries(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                         QDirIterator::Subdirectories);
    while (entries.hasNext()) {
        const QString path = entries.next();
        const QString relative = QDir(folder).relativeFilePath(path);
        if (entries.fileInfo().isDir()) {
            contents.insert(relative + QLatin1Char('/'), {});
            continue;
        }
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
        contents.insert(relative, file.readAll());
    }
    return contents;
}

QMap<QString, QByteArray> extractedContents(const QString& archive, const QString& password) {
    QTemporaryDir output;
    if (archive.endsWith(QStringLiteral(".tar.gz"))) {
        runTool(kTar, {QStringLiteral("-xzf"), archive, QStringLiteral("-C"), output.path()});
    } else {
        runTool(kSevenZip, {QStringLiteral("x"), QStringLiteral("-y"), QStringLiteral("-p") + password,
                            QStringLiteral("-o") + output.path(), archive});
    }
    return treeContents(output.path());
}

int toolStatus(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.setStandardInputFile(QProcess::nullDevice());
    process.start(program, arguments);
    EXPECT_TRUE(process.waitForFinished(120000));
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}

void CompressionTest::SetUp() {
    m_temp = std::make_unique<TempTree>();
    PrivateTempDirectory::setSystemTempPathForTesting(m_temp->root());
    if (qEnvironmentVariableIsSet("XDG_STATE_HOME")) m_stateHome = qgetenv("XDG_STATE_HOME");
    qputenv("XDG_STATE_HOME", QFile::encodeName(m_temp->path(QStringLiteral("state"))));
}

void CompressionTest::TearDown() {
    PrivateTempDirectory::setSystemTempPathForTesting({});
    if (m_stateHome) {
        qputenv("XDG_STATE_HOME", *m_stateHome);
    } else {
        qunsetenv("XDG_STATE_HOME");
    }
}

QStringList CompressionTest::stagingFolders() const {
    const std::optional<QString> base = PrivateTempDirectory::base();
    if (!base) return {};
    return QDir(*base + QStringLiteral("/velmoraCompression"))
        .entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
}

QStringList withStagingAsDestination(QStringList run, const QString& destination) {
    const QRegularExpression staging(QRegularExpression::escape(destination) +
                                     QStringLiteral("/\\.velmoraExtraction-[0-9a-f-]{36}"));
    for (QString& argument : run) argument.replace(staging, destination);
    return run;
}

WithoutRenameNoReplace::WithoutRenameNoReplace(int renameError, bool fat)
    : m_saved(ExclusiveRename::systemCalls) {
    auto& calls = ExclusiveRename::systemCalls;
    calls.renameNoReplace = [](const char*, const char*) { return failWith(EINVAL); };
    failedRenameError = renameError;
    if (renameError != 0) calls.rename = [](const char*, const char*) { return failWith(failedRenameError); };
    if (fat) {
        calls.rename = [](const char* from, const char* to) {
            const bool folder = QFileInfo(QFile::decodeName(from)).isDir();
            if (folder && QFileInfo(QFile::decodeName(to)).isDir()) return failWith(EPERM);
            const int result = ::rename(from, to);
            if (result == 0 && folder) {
                QDir moved(QFile::decodeName(to));
                moved.removeRecursively();
                moved.mkpath(QStringLiteral("."));
            }
            return result;
        };
    }
}

WithoutRenameNoReplace::WithoutRenameNoReplace(std::function<int(int, const QString&)> step)
    : WithoutRenameNoReplace() {
    renameStep = std::move(step);
    renameCalls = 0;
    ExclusiveRename::systemCalls.rename = [](const char* from, const char* to) {
        const int error = renameStep(++renameCalls, QFile::decodeName(to));
        return error == 0 ? ::rename(from, to) : failWith(error);
    };
}

int WithoutRenameNoReplace::calls() { return renameCalls; }

WithoutRenameNoReplace::~WithoutRenameNoReplace() { ExclusiveRename::systemCalls = m_saved; }

bool killedAfterMoves(int moves, const std::function<void()>& work) {
    static int movesLeft = 0;
    const pid_t child = ::fork();
    if (child == 0) {
        movesLeft = moves;
        ExclusiveRename::systemCalls.renameNoReplace = [](const char* from, const char* to) {
            const int result = ::renameat2(AT_FDCWD, from, AT_FDCWD, to, RENAME_NOREPLACE);
            if (result == 0 && --movesLeft == 0) ::kill(::getpid(), SIGKILL);
            return result;
        };
        try {
            work();
        } catch (...) {
        }
        ::_exit(0);
    }
    int status = 0;
    return ::waitpid(child, &status, 0) == child && WIFSIGNALED(status);
}
