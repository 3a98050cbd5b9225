#include "platform/WorkTree.h"

#include "platform/FileDescriptor.h"

#include <QList>

#include <cerrno>

#include <dirent.h>
#include <fcntl.h>
#include <linux/openat2.h>
#include <sys/stat.h>
#include <sys/syscall.h>
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

// The folder name in parent, opened with flags only while it is no link and no mount point: a bind
// mount of a folder of the same file system has the same device, so only the kernel's own refusal to
// cross a mount (EXDEV) tells it. Kernels before openat2, and sandboxes that refuse it (EPERM), are
// left the device check of the caller.
int openFolderHere(int parent, const char* name, int flags) {
    open_how how{};
    how.flags = quint64(flags | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    how.resolve = RESOLVE_NO_XDEV | RESOLVE_NO_SYMLINKS | RESOLVE_NO_MAGICLINKS | RESOLVE_BENEATH;
    const long descriptor = ::syscall(SYS_openat2, parent, name, &how, sizeof how);
    if (descriptor >= 0 || (errno != ENOSYS && errno != EPERM)) return int(descriptor);
    return ::openat(parent, name, flags | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
}

struct Removal {
    dev_t device;   // of the folder that holds the tree: nothing on another file system is touched
    int error = 0;  // the reason of the first removal that failed

    void note(int result) {
        if (result != 0 && errno != ENOENT && error == 0) error = errno;
    }
    void refuse(int reason) {
        if (error == 0) error = reason;
    }
};

// Removes name in the open folder parent with what it holds, on the tree's own file system only.
void removeAt(int parent, const char* name, Removal& removal) {
    struct stat info {};
    if (::fstatat(parent, name, &info, AT_SYMLINK_NOFOLLOW) != 0) return removal.note(-1);
    if (!S_ISDIR(info.st_mode)) return removal.note(::unlinkat(parent, name, 0));
    if (info.st_dev != removal.device) return removal.refuse(EXDEV);
    // The mode is fixed only once the folder is known to be the tree's own, never a mount's top.
    if (const FileDescriptor probe(openFolderHere(parent, name, O_PATH)); !probe.isOpen())
        return removal.note(-1);
    if ((info.st_mode & S_IRWXU) != S_IRWXU)
        ::fchmodat(parent, name, (info.st_mode & 07777) | S_IRWXU, AT_SYMLINK_NOFOLLOW);
    const FileDescriptor folder(openFolderHere(parent, name, O_RDONLY));
    struct stat opened {};
    if (folder.isOpen() && ::fstat(folder.get(), &opened) == 0 && opened.st_dev == info.st_dev &&
        opened.st_ino == info.st_ino) {
        for (const QByteArray& child : namesIn(folder.get()))
            removeAt(folder.get(), child.constData(), removal);
    }
    removal.note(::unlinkat(parent, name, AT_REMOVEDIR));
}

}  // namespace

namespace WorkTree {

int remove(const QByteArray& nativePath) {
    QByteArray path = nativePath;
    while (path.size() > 1 && path.endsWith('/')) path.chop(1);
    const qsizetype slash = path.lastIndexOf('/');
    const QByteArray parentPath = slash < 0    ? QByteArray(".")
                                  : slash == 0 ? QByteArray("/")
                                               : path.left(slash);
    const FileDescriptor parent(::open(parentPath.constData(), O_PATH | O_DIRECTORY | O_CLOEXEC));
    struct stat info {};
    if (!parent.isOpen() || ::fstat(parent.get(), &info) != 0) return errno == ENOENT ? 0 : errno;
    Removal removal{info.st_dev};
    removeAt(parent.get(), path.mid(slash + 1).constData(), removal);
    return removal.error;
}

}  // namespace WorkTree
