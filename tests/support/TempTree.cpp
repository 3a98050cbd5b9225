#include "support/TempTree.h"

#include <gtest/gtest.h>
#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QProcess>

#include <filesystem>
#include <csignal>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

TempTree::TempTree() {
    // Carrying on would turn every relative path into one at the file system's root (a fake "/7zz" over
    // nothing, or over a real tool), as happened once on a full disk: stop the whole run instead.
    if (!m_dir.isValid()) qFatal("cannot create a temporary folder: %s", qPrintable(m_dir.errorString()));
}

// QDir cannot remove names that are not UTF-8, which several tests extract: remove the tree as bytes.
TempTree::~TempTree() {
    std::error_code error;
    std::filesystem::remove_all(QFile::encodeName(m_dir.path()).constData(), error);
}

QString TempTree::writeFile(const QString& relative, const QByteArray& contents) {
    const QString absolute = path(relative);
    QDir().mkpath(QFileInfo(absolute).absolutePath());
    QFile file(absolute);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << absolute.toStdString();
    file.write(contents);
    return absolute;
}

QString TempTree::makeFolder(const QString& relative) {
    const QString absolute = path(relative);
    QDir().mkpath(absolute);
    return absolute;
}

QByteArray TempTree::readFile(const QString& relative) const {
    QFile file(path(relative));
    if (!file.open(QIODevice::ReadOnly)) return {};
    return file.readAll();
}

void runTool(const QString& program, const QStringList& arguments, const QString& workingFolder) {
    QProcess process;
    process.setProgram(program);
    process.setArguments(arguments);
    if (!workingFolder.isEmpty()) process.setWorkingDirectory(workingFolder);
    process.setStandardInputFile(QProcess::nullDevice());
    // rar and zip read non-ASCII arguments (passwords, names) in the caller's locale; the fixtures are
    // UTF-8 whatever the suite runs under.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    process.setProcessEnvironment(environment);
    process.start();
    ASSERT_TRUE(process.waitForFinished(120000)) << program.toStdString();
    ASSERT_EQ(process.exitCode(), 0) << program.toStdString() << ": "
                                     << process.readAllStandardError().toStdString()
                                     << process.readAllStandardOutput().toStdString();
}

int fileMode(const QString& path) {
    struct stat info {};
    if (::lstat(QFile::encodeName(path).constData(), &info) != 0) return -1;
    return static_cast<int>(info.st_mode & 0777);
}

QMap<QString, QByteArray> contentsBelow(const QString& root) {
    QMap<QString, QByteArray> contents;
    QDirIterator it(root, QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        QFile file(path);
        file.open(QIODevice::ReadOnly);
        contents.insert(QDir(root).relativeFilePath(path),
                        QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256).toHex());
    }
    return contents;
}

namespace {

// Whether the process behind a /proc folder is parent's child running `program command …`.
bool isRunningToolOf(const QString& process, qint64 parent, const QByteArray& program, const QByteArray& command) {
    QFile status(process + QStringLiteral("/status"));
    QFile commandLine(process + QStringLiteral("/cmdline"));
    if (!status.open(QIODevice::ReadOnly) || !commandLine.open(QIODevice::ReadOnly)) return false;
    const QByteArray fields = status.readAll();
    const QList<QByteArray> arguments = commandLine.readAll().split('\0');
    return fields.contains("PPid:\t" + QByteArray::number(parent) + '\n') && !fields.contains("State:\tZ") &&
           arguments.size() > 1 && arguments[0].endsWith('/' + program) && arguments[1] == command;
}

bool isStopped(const QString& process) {
    QFile status(process + QStringLiteral("/status"));
    return status.open(QIODevice::ReadOnly) && status.readAll().contains("State:\tT");
}

}  // namespace

pid_t holdRunningTool(const QByteArray& program, const QByteArray& command, int timeoutMs, qint64 parent) {
    const QDeadlineTimer deadline(timeoutMs);
    while (!deadline.hasExpired()) {
        for (const QString& name : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
            const QString process = QStringLiteral("/proc/") + name;
            if (!name.front().isDigit() || !isRunningToolOf(process, parent, program, command)) continue;
            // Stopped, not a tool that ended between the look and the signal.
            if (::kill(name.toInt(), SIGSTOP) == 0 && isStopped(process)) return name.toInt();
        }
        QCoreApplication::processEvents();
    }
    return 0;
}

OpenCount::OpenCount(const QString& path) : m_descriptor(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC)) {
    EXPECT_GE(m_descriptor, 0);
    EXPECT_GE(::inotify_add_watch(m_descriptor, QFile::encodeName(path).constData(),
                                  IN_OPEN | IN_CLOSE_WRITE | IN_CLOSE_NOWRITE),
              0)
        << path.toStdString();
}

OpenCount::~OpenCount() { ::close(m_descriptor); }

int OpenCount::take() {
    int opens = 0;
    alignas(inotify_event) char buffer[4096];
    for (ssize_t length; (length = ::read(m_descriptor, buffer, sizeof buffer)) > 0;) {
        for (const char* event = buffer; event < buffer + length;) {
            const auto* header = reinterpret_cast<const inotify_event*>(event);
            if (header->mask & IN_OPEN) ++opens;
            event += sizeof(inotify_event) + header->len;
        }
    }
    return opens;
}
