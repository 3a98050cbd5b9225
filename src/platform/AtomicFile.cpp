#include "platform/AtomicFile.h"

#include "platform/SystemErrorText.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <cerrno>

namespace AtomicFile {

namespace {

std::optional<QString> writeAll(int descriptor, const QByteArray& bytes) {
    const char* next = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t written = ::write(descriptor, next, static_cast<size_t>(left));
        if (written < 0) {
            if (errno == EINTR) continue;
            return SystemErrorText::reason(errno, SystemErrorText::Access::write);
        }
        next += written;
        left -= written;
    }
    return std::nullopt;
}

// Every step that can report a failure does, fsync and close included: a file system may report a
// full disk only there.
std::optional<QString> fill(int descriptor, const QByteArray& bytes, mode_t mode) {
    if (::fchmod(descriptor, mode) != 0)
        return SystemErrorText::reason(errno, SystemErrorText::Access::write);
    if (std::optional<QString> failure = writeAll(descriptor, bytes)) return failure;
    if (::fsync(descriptor) != 0) return SystemErrorText::reason(errno, SystemErrorText::Access::write);
    return std::nullopt;
}

// The rename is durable only once the folder is synced. The new file is in place by then, so a folder
// that cannot be synced (some file systems do not support it) is no failure of the write.
void syncFolder(const QByteArray& folder) {
    const int descriptor = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (descriptor < 0) return;
    ::fsync(descriptor);
    ::close(descriptor);
}

}  // namespace

std::optional<QString> write(const QString& path, const QByteArray& bytes, mode_t mode) {
    const QFileInfo link(path);
    const QFileInfo target(link.isSymLink() ? link.symLinkTarget() : path);
    const QByteArray folder = QFile::encodeName(target.absolutePath());
    const QByteArray finalName = QFile::encodeName(target.absoluteFilePath());
    QByteArray temporary = folder + "/." + QFile::encodeName(target.fileName()) + ".XXXXXX";

    // mkostemp makes the file 0600, so a secret is never readable by others, not even for a moment.
    const int descriptor = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (descriptor < 0) return SystemErrorText::reason(errno, SystemErrorText::Access::write);
    std::optional<QString> failure = fill(descriptor, bytes, mode);
    if (::close(descriptor) != 0 && !failure)
        failure = SystemErrorText::reason(errno, SystemErrorText::Access::write);
    if (!failure && ::rename(temporary.constData(), finalName.constData()) != 0)
        failure = SystemErrorText::reason(errno, SystemErrorText::Access::write);
    if (failure) {
        ::unlink(temporary.constData());
        return failure;
    }
    syncFolder(folder);
    return std::nullopt;
}

std::optional<QString> targetOfTemporary(const QString& fileName) {
    // mkostemp fills in six letters or digits.
    static const QRegularExpression temporary(QStringLiteral("^\\.(.+)\\.[A-Za-z0-9]{6}$"));
    const QRegularExpressionMatch match = temporary.match(fileName);
    if (!match.hasMatch()) return std::nullopt;
    return match.captured(1);
}

}  // namespace AtomicFile
