#include "BenchSupport.h"

#include "core/engine/ArchiveTools.h"

#include <QFile>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

namespace BenchSupport {

double millisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

QString requiredSevenZip() {
    const std::optional<QString> sevenZip = ArchiveTools::SevenZip::locate();
    if (!sevenZip) {
        std::fprintf(stderr, "no 7-Zip program found\n");
        std::exit(1);
    }
    return *sevenZip;
}

void useToolEnvironment() {
    ::setenv("LC_ALL", "C.UTF-8", 1);
    ::setenv("TZ", ":/etc/localtime", 0);
}

double timeDirectRun(const QString& program, const QStringList& arguments, const QString& workingFolder) {
    std::vector<QByteArray> strings{QFile::encodeName(program)};
    for (const QString& argument : arguments) strings.push_back(argument.toUtf8());
    std::vector<char*> argv;
    for (QByteArray& string : strings) argv.push_back(string.data());
    argv.push_back(nullptr);
    const QByteArray folder = QFile::encodeName(workingFolder);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    if (!workingFolder.isEmpty()) posix_spawn_file_actions_addchdir_np(&actions, folder.constData());
    const auto start = Clock::now();
    pid_t pid = 0;
    int status = -1;
    if (posix_spawn(&pid, argv.front(), &actions, nullptr, argv.data(), environ) == 0)
        waitpid(pid, &status, 0);
    const double elapsed = millisecondsSince(start);
    posix_spawn_file_actions_destroy(&actions);
    if (status != 0) std::fprintf(stderr, "%s failed (status %d)\n", argv.front(), status);
    return elapsed;
}

}  // namespace BenchSupport
