#include "core/base/ExclusiveRename.h"

#include "core/base/FileSystemError.h"
#include "core/base/ToolText.h"

#include <cerrno>
#include <filesystem>
#include <vector>

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

// Moves what folder holds into the empty folder into, item by item: a file by a rename, a folder made
// anew and filled the same way; into then takes folder's mode where the file system holds one. Names are
// bytes.
int moveContents(const std::filesystem::path& folder, const std::filesystem::path& into) {
    std::error_code code;
    std::vector<std::filesystem::path> children;
    for (std::filesystem::directory_iterator it(folder, code), end; !code && it != end; it.increment(code))
        children.push_back(it->path());
    if (code) return code.value();
    for (const std::filesystem::path& child : children) {
        const std::filesystem::path target = into / child.filename();
        int error = 0;
        if (isFolder(child.c_str())) {
            error = ::mkdir(target.c_str(), 0700) == 0 ? moveContents(child, target) : errno;
        } else if (systemCalls.rename(child.c_str(), target.c_str()) != 0) {
            error = errno;
        }
        if (error != 0) return error;
    }
    struct stat info {};
    if (::lstat(folder.c_str(), &info) == 0) ::chmod(into.c_str(), info.st_mode & 07777);
    return 0;
}

// fusefat lets no folder replace another, not even an empty one (EPERM), and a folder it renames loses
// what it holds. The placeholder, velmora's own, takes the folder's contents instead; when that fails, it
// is removed with what reached it.
int fillPlaceholder(const char* from, const char* to) {
    const int error = moveContents(from, to);
    std::error_code ignored;
    if (error != 0) std::filesystem::remove_all(to, ignored);  // never follows a link
    return error;
}

// For a file system without RENAME_NOREPLACE, where many lack hard links too (FUSE, network mounts):
// a plain rename may replace only this placeholder, as a folder may replace an empty folder and
// anything else a file.
int renameOverPlaceholder(const char* from, const char* to) {
    const bool folder = isFolder(from);
    if (!takeName(to, folder)) return errno;
    if (systemCalls.rename(from, to) == 0) return 0;
    const int error = errno;
    if (folder && error == EPERM) return fillPlaceholder(from, to);
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
