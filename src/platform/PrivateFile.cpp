#include "platform/PrivateFile.h"

#include "platform/AtomicFile.h"

#include <QFile>

#include <cerrno>

#include <sys/stat.h>

namespace PrivateFile {

std::optional<QString> write(const QString& path, const QByteArray& bytes) {
    return AtomicFile::write(path, bytes, S_IRUSR | S_IWUSR);
}

int makeFolder(const QString& path) {
    const QByteArray native = QFile::encodeName(path);
    // Each level from the top: mkdir's mode passes through the umask, so each one made is set after.
    qsizetype end = 0;
    while (end >= 0) {
        end = native.indexOf('/', end + 1);
        const QByteArray level = end < 0 ? native : native.left(end);
        struct stat info {};
        if (::stat(level.constData(), &info) == 0 && !S_ISDIR(info.st_mode)) return ENOTDIR;
        if (::stat(level.constData(), &info) == 0) continue;
        if (::mkdir(level.constData(), 0700) != 0 && errno != EEXIST) return errno;
        if (::chmod(level.constData(), 0700) != 0) return errno;
    }
    return ::chmod(native.constData(), 0700) == 0 ? 0 : errno;
}

}  // namespace PrivateFile
