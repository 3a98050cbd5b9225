#include "core/base/ExclusiveRename.h"

#include "core/base/FileSystemError.h"
#include "core/base/ToolText.h"

#include <cerrno>

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

namespace ExclusiveRename {

int rename(const QString& from, const QString& to) {
    const QByteArray source = ToolText::encodedName(from);
    const QByteArray target = ToolText::encodedName(to);
    if (::renameat2(AT_FDCWD, source.constData(), AT_FDCWD, target.constData(), RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS) return errno;
    // Not following a link: a link to a folder is not a folder here.
    struct stat info {};
    if (::lstat(source.constData(), &info) == 0 && S_ISDIR(info.st_mode)) {
        if (::mkdir(target.constData(), 0700) != 0) return errno;
        return ::rename(source.constData(), target.constData()) == 0 ? 0 : errno;
    }
    if (::link(source.constData(), target.constData()) != 0) return errno;
    ::unlink(source.constData());
    return 0;
}

QString toFreeName(const QString& item, const QString& folder,
                   const std::function<QString(qint64)>& nameFor) {
    for (qint64 number = 0;; ++number) {
        const QString to = folder + QLatin1Char('/') + nameFor(number);
        const int error = rename(item, to);
        if (error == 0) return to;
        if (error != EEXIST)
            throw FileSystemError::fromErrorNumber(FileSystemError::Kind::createFailed, to, error);
    }
}

}  // namespace ExclusiveRename
