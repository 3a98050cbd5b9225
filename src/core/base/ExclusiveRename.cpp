#include "core/base/ExclusiveRename.h"

#include "core/base/FileSystemError.h"
#include "platform/ToolText.h"

#include <cerrno>
#include <filesystem>
#include <optional>
#include <utility>
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

// What velmora made to hold a name: its identity as lstat gave it.
struct Placeholder {
    dev_t device;
    ino_t inode;
};

std::optional<Placeholder> identityOf(const char* path) {
    struct stat info {};
    if (::lstat(path, &info) != 0) return std::nullopt;
    return Placeholder{info.st_dev, info.st_ino};
}

// Whether path is still the placeholder velmora made and still empty: anything put there since (the
// user's file, a folder with something in it) is somebody else's.
bool isStillOurs(const char* path, const Placeholder& placeholder) {
    struct stat info {};
    if (::lstat(path, &info) != 0 || info.st_dev != placeholder.device || info.st_ino != placeholder.inode)
        return false;
    if (S_ISREG(info.st_mode)) return info.st_size == 0;
    std::error_code code;
    return S_ISDIR(info.st_mode) && std::filesystem::is_empty(path, code) && !code;
}

void removeIfOurs(const char* path, const Placeholder& placeholder) {
    if (isStillOurs(path, placeholder)) isFolder(path) ? ::rmdir(path) : ::unlink(path);
}

// An empty folder or file that takes the name only when nothing (not even a dangling link) has it,
// recorded before anything can be moved over it. Sets errno when there is none.
std::optional<Placeholder> takeName(const char* path, bool folder, WorkJournal::Record* journal) {
    if (folder) {
        if (::mkdir(path, 0700) != 0) return std::nullopt;
    } else {
        const int file = ::open(path, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (file < 0) return std::nullopt;
        ::close(file);
    }
    const std::optional<Placeholder> made = identityOf(path);
    int error = made ? 0 : errno;
    if (made && journal)
        error = journal->addNameHolder(ToolText::escapedName(path), made->device, made->inode);
    if (error == 0) return made;
    folder ? ::rmdir(path) : ::unlink(path);
    errno = error;
    return std::nullopt;
}

// Moves what folder holds into the empty folder into, item by item: a file by a rename, a folder made
// anew and filled the same way; into then takes folder's mode where the file system holds one. Names are
// bytes. Each file moved in and folder made is added to moved, in order, with its identity.
int moveContents(const std::filesystem::path& folder, const std::filesystem::path& into,
                 std::vector<std::pair<std::filesystem::path, Placeholder>>& moved) {
    std::error_code code;
    std::vector<std::filesystem::path> children;
    for (std::filesystem::directory_iterator it(folder, code), end; !code && it != end; it.increment(code))
        children.push_back(it->path());
    if (code) return code.value();
    for (const std::filesystem::path& child : children) {
        const std::filesystem::path target = into / child.filename();
        const bool childFolder = isFolder(child.c_str());
        const int error = childFolder ? (::mkdir(target.c_str(), 0700) == 0 ? 0 : errno)
                                      : (systemCalls.rename(child.c_str(), target.c_str()) == 0 ? 0 : errno);
        if (error != 0) return error;
        if (const std::optional<Placeholder> made = identityOf(target.c_str()))
            moved.emplace_back(target, *made);
        if (childFolder) {
            if (const int inner = moveContents(child, target, moved)) return inner;
        }
    }
    struct stat info {};
    if (::lstat(folder.c_str(), &info) == 0) ::chmod(into.c_str(), info.st_mode & 07777);
    return 0;
}

// Takes out again, newest first, what moveContents moved in and is still as it left it: a file by its
// identity, a folder only once empty, so whatever else arrived there meanwhile stays.
void takeOut(const std::vector<std::pair<std::filesystem::path, Placeholder>>& moved) {
    for (auto it = moved.crbegin(); it != moved.crend(); ++it) {
        const std::optional<Placeholder> now = identityOf(it->first.c_str());
        if (!now || now->device != it->second.device || now->inode != it->second.inode) continue;
        isFolder(it->first.c_str()) ? ::rmdir(it->first.c_str()) : ::unlink(it->first.c_str());
    }
}

// fusefat lets no folder replace another, not even an empty one (EPERM), and a folder it renames loses
// what it holds. The placeholder, velmora's own, takes the folder's contents instead; when that fails,
// what reached it is taken out again, and the placeholder goes once empty.
int fillPlaceholder(const char* from, const char* to, const Placeholder& placeholder) {
    std::vector<std::pair<std::filesystem::path, Placeholder>> moved;
    const int error = moveContents(from, to, moved);
    if (error == 0) return 0;
    takeOut(moved);
    removeIfOurs(to, placeholder);
    return error;
}

// For a file system without RENAME_NOREPLACE, where many lack hard links too (FUSE, network mounts):
// a plain rename may replace only this placeholder, as a folder may replace an empty folder and
// anything else a file.
int renameOverPlaceholder(const char* from, const char* to, WorkJournal::Record* journal) {
    const bool folder = isFolder(from);
    const std::optional<Placeholder> placeholder = takeName(to, folder, journal);
    if (!placeholder) return errno;
    // Something put under the name since is not replaced: the name counts as taken.
    if (!isStillOurs(to, *placeholder)) return EEXIST;
    if (systemCalls.rename(from, to) == 0) return 0;
    const int error = errno;
    if (folder && error == EPERM) return fillPlaceholder(from, to, *placeholder);
    removeIfOurs(to, *placeholder);
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

int rename(const QString& from, const QString& to, WorkJournal::Record* journal) {
    const QByteArray source = ToolText::encodedName(from);
    const QByteArray target = ToolText::encodedName(to);
    if (systemCalls.renameNoReplace(source.constData(), target.constData()) == 0) return 0;
    if (errno != EINVAL && errno != ENOSYS) return errno;
    return renameOverPlaceholder(source.constData(), target.constData(), journal);
}

QString toFreeName(const QString& item, const QString& folder, const std::function<QString(qint64)>& nameFor,
                   WorkJournal::Record* journal, const CancellationToken& token) {
    QString to;
    for (qint64 number = 0; number < kMaxNames; ++number) {
        token.throwIfCancelled();
        to = folder + QLatin1Char('/') + nameFor(number);
        // Unrecorded, a kill right after the move would leave its tree's moves where they went.
        if (number > 0 && journal)
            journal->addMovedTo(ToolText::encodedName(item), ToolText::encodedName(to));
        const int error = rename(item, to, journal);
        if (error == 0) return to;
        if (error != EEXIST) throw moveFailed(item, to, error);
    }
    throw moveFailed(item, to, EEXIST);
}

}  // namespace ExclusiveRename
