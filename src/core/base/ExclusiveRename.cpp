#include "core/base/ExclusiveRename.h"

#include "core/base/FileSystemError.h"
#include "core/base/ToolText.h"

#include <cerrno>

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

namespace ExclusiveRename {

namespace {

int renameNoReplace(const char* from, const char* to) {
    return ::renameat2(AT_FDCWD, from, AT_FDCWD, to, RENAME_NOREPLACE);
}

// Not following a link: a link to a folder is not a folder here.
bool isFolder(const char* path) {
    struct stat info {};
    return ::lstat(path, &info) == 0 && S_ISDIR(info.st_mode);
}

// An empty folder or file that takes the name only when nothing (not even a dangling link) has it.
bool takeName(const char* path, bool folder) {
    if (folder) return ::mkdir(path, 0700) == 0;
    const int file = ::open(path, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (file < 0) return false;
    ::close(file);
    return true;
}

// For a file system without RENAME_NOREPLACE, where many lack hard links too (FUSE, network mounts):
// a plain rename may replace only this placeholder, as a folder may replace an empty folder and
// anything else a file.
int renameOverPlaceholder(const char* from, const char* to) {
    const bool folder = isFolder(from);
    if (!takeName(to, folder)) return errno;
    if (systemCalls.rename(from, to) == 0) return 0;
    const int error = errno;
    folder ? ::rmdir(to) : ::unlink(to);
    return error;
}

// A folder that could not be put in place could not be created there; anything else is a file that
// could not be saved.
FileSystemError moveFailed(const QString& item, const QString& to, int error) {
    using enum FileSystemError::Kind;
    const bool folder = isFolder(ToolText::encodedName(item).constData());
    return FileSystemError::fromErrorNumber(folder ? createFailed : saveFailed, to, error);
}

}  // namespace

SystemCalls systemCalls{renameNoReplace, ::rename};

int rename(const QString& from, const QString& to) {
    const QByteArray source = ToolText::encodedName(from);
    const QByteArray target = ToolText::encodedName(to);
    if (systemCalls.renameNoReplace(source.constData(), target.constData()) == 0) return 0;
    if (errno != EINVAL && errno != ENOSYS) return errno;
    return renameOverPlaceholder(source.constData(), target.constData());
}

QString toFreeName(const QString& item, const QString& folder,
                   const std::function<QString(qint64)>& nameFor) {
    for (qint64 number = 0;; ++number) {
        const QString to = folder + QLatin1Char('/') + nameFor(number);
        const int error = rename(item, to);
        if (error == 0) return to;
        if (error != EEXIST) throw moveFailed(item, to, error);
    }
}

}  // namespace ExclusiveRename
