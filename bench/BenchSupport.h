#pragma once

#include "core/state/ArchiveTask.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <chrono>
#include <vector>

// What every benchmark needs to time velmora's path against the bare tool in the same run.
namespace BenchSupport {

using Clock = std::chrono::steady_clock;

double millisecondsSince(Clock::time_point start);
double median(std::vector<double> values);

// The 7-Zip program velmora would run; ends the benchmark when there is none.
QString requiredSevenZip();

// Gives this process the locale and time zone velmora starts its tools with, so that a tool started
// directly runs under the same conditions as one started by ProcessRunner.
void useToolEnvironment();

// Starts program directly (standard input and output on /dev/null, in workingFolder when given),
// waits for it and returns the elapsed milliseconds. A failed run ends the benchmark, with the command on
// standard error, so no figure of a failed run is printed.
double timeDirectRun(const QString& program, const QStringList& arguments, const QString& workingFolder = {});

struct StoredZip {
    QString path;
    QByteArray directory;  // the central directory's bytes
};

// Writes a ZIP64 archive of small stored text files with these UTF-8 names, directly: local headers
// with data, the central directory and the end records. No tool is needed, and it takes a moment.
StoredZip writeStoredZip(const QString& path, const QList<QByteArray>& names);

// Writes a TAR (POSIX ustar) of empty files with these UTF-8 names, each under 100 bytes, directly.
void writeTar(const QString& path, const QList<QByteArray>& names);

// A task of extracting `name`, made now.
ArchiveTask extractionTask(const QString& name, ArchiveActivityStatus status, double progress);

// Stores `count` finished tasks under the workbench's key in the defaults folder, as a long-used
// store would have them (every page run adds one, and nothing removes them on its own).
void storeFinishedTasks(const QString& defaultsFolder, int count);

}  // namespace BenchSupport
