#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QTemporaryDir>
#include <unistd.h>

#include <sys/types.h>

// A temporary folder that tests fill with files: paths are relative to its root.
class TempTree {
public:
    TempTree();
    ~TempTree();

    QString root() const { return m_dir.path(); }
    QString path(const QString& relative) const { return m_dir.path() + QLatin1Char('/') + relative; }

    // Writes a file, creating its parent folders, and returns its absolute path.
    QString writeFile(const QString& relative, const QByteArray& contents);
    QString makeFolder(const QString& relative);
    QByteArray readFile(const QString& relative) const;

private:
    QTemporaryDir m_dir;
};

// Every regular file below root, hidden ones included, by relative path, with a digest of its bytes.
QMap<QString, QByteArray> contentsBelow(const QString& root);

// Runs a program to completion for making fixtures; fails the current test when it exits non-zero.
void runTool(const QString& program, const QStringList& arguments, const QString& workingFolder = {});

// Stops (SIGSTOP) a tool that `parent` (this process, or a velmora it started) runs as
// `program command …`, so the work it does cannot end before the test stops it, however fast or
// loaded the machine is; a stopped tool still dies of the SIGKILL that ends a stop's grace. Looks
// until one is caught, handling events meanwhile without sleeping, so a short run is caught too.
// Returns its pid (SIGCONT lets it go on), or 0 when none ran within the time.
pid_t holdRunningTool(const QByteArray& program, const QByteArray& command, int timeoutMs = 120000,
                      qint64 parent = ::getpid());

// The permission bits (st_mode & 0777) of a path, not following links; -1 when it does not exist.
int fileMode(const QString& path);

// Counts the opens of a file by any process from now on (inotify), to tell how often an operation read
// it. An open's event is queued before the open returns, so those of an operation that has returned
// are all in; each open is followed by its close, so no two events in a row are alike and merged.
class OpenCount {
public:
    explicit OpenCount(const QString& path);
    ~OpenCount();
    OpenCount(const OpenCount&) = delete;
    OpenCount& operator=(const OpenCount&) = delete;

    // The opens since the count began or was last taken.
    int take();

private:
    int m_descriptor;
};
