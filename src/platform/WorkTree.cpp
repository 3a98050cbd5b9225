#include "platform/WorkTree.h"

#include "platform/FileDescriptor.h"

#include <QList>

#include <cerrno>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The names in the open folder; the folder descriptor stays open.
QList<QByteArray> namesIn(int folder) {
    QList<QByteArray> names;
    const int listing = ::dup(folder);
    if (listing < 0) return names;
    DIR* stream = ::fdopendir(listing);
    if (!stream) {
        ::close(listing);
        return names;
    }
    while (const dirent* entry = ::readdir(stream)) {
        const QByteArray name(entry->d_name);
        if (name != "." && name != "..") names.append(name);
    }
    ::closedir(stream);
    return names;
}

// Removes name in the folder at parent (a descriptor, or AT_FDCWD for a path) with what it holds;
// error gets the reason of the first removal that failed.
void removeAt(int parent, const char* name, int& error) {
    const auto removed = [&](int result) {
        if (result != 0 && errno != ENOENT && error == 0) error = errno;
    };
    struct stat info {};
    if (::fstatat(parent, name, &info, AT_SYMLINK_NOFOLLOW) != 0) return removed(-1);
    if (!S_ISDIR(info.st_mode)) return removed(::unlinkat(parent, name, 0));
    if ((info.st_mode & S_IRWXU) != S_IRWXU) ::fchmodat(parent, name, (info.st_mode & 07777) | S_IRWXU, 0);
    const FileDescriptor folder(::openat(parent, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (folder.isOpen()) {
        for (const QByteArray& child : namesIn(folder.get()))
            removeAt(folder.get(), child.constData(), error);
    }
    removed(::unlinkat(parent, name, AT_REMOVEDIR));
}

}  // namespace

namespace WorkTree {

int remove(const QByteArray& nativePath) {
    int error = 0;
    removeAt(AT_FDCWD, nativePath.constData(), error);
    return error;
}

}  // namespace WorkTree
