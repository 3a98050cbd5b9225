#include "platform/PrivateTempDirectory.h"

#include "platform/WorkJournal.h"

#include <QDir>
#include <QFile>
#include <QMutex>
#include <QStringList>

#include <cerrno>

#include <sys/stat.h>
#include <unistd.h>

namespace {
QMutex gMutex;
QString gSystemTempOverride;
// Never destroyed: the record must outlive the process, whose end releases its lock.
WorkJournal::Record* gProcessRecord = nullptr;
QMutex gRecordMutex;

QString systemTempPath() {
    QMutexLocker lock(&gMutex);
    return gSystemTempOverride.isEmpty() ? QDir::tempPath() : gSystemTempOverride;
}

// The permission bits of path when it is a real directory of ours; lstat, so a link never counts.
std::optional<mode_t> ownDirectoryMode(const QByteArray& native) {
    struct stat info {};
    if (::lstat(native.constData(), &info) != 0) return std::nullopt;
    if (!S_ISDIR(info.st_mode) || info.st_uid != ::getuid()) return std::nullopt;
    return info.st_mode & 0777;
}

// Makes path a private directory of ours, or reports that it cannot be one.
bool ensurePrivateDirectory(const QString& path) {
    const QByteArray native = QFile::encodeName(path);
    if (::mkdir(native.constData(), 0700) != 0 && errno != EEXIST) return false;
    const std::optional<mode_t> mode = ownDirectoryMode(native);
    return mode && (*mode == 0700 || ::chmod(native.constData(), 0700) == 0);
}

void recordFolder(const QString& path) {
    QMutexLocker lock(&gRecordMutex);
    if (gProcessRecord) gProcessRecord->add(path, WorkJournal::Kind::Tree);
}
}  // namespace

std::optional<QString> PrivateTempDirectory::base() {
    const QString path = systemTempPath() + QStringLiteral("/velmora-") + QString::number(::getuid());
    if (!ensurePrivateDirectory(path)) return std::nullopt;
    return path;
}

std::optional<QString> PrivateTempDirectory::makeFolder(const QString& relativeFolder) {
    std::optional<QString> path = base();
    if (!path) return std::nullopt;
    const QStringList parts = relativeFolder.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    if (parts.contains(QStringLiteral("..")) || parts.contains(QStringLiteral("."))) return std::nullopt;
    if (!parts.isEmpty()) recordFolder(*path + QLatin1Char('/') + parts.join(QLatin1Char('/')));
    for (const QString& part : parts) {
        *path += QLatin1Char('/') + part;
        if (!ensurePrivateDirectory(*path)) return std::nullopt;
    }
    return path;
}

bool PrivateTempDirectory::isPrivate(const QString& path) {
    const std::optional<mode_t> mode = ownDirectoryMode(QFile::encodeName(path));
    return mode && *mode == 0700;
}

void PrivateTempDirectory::recordFoldersInJournal() {
    QMutexLocker lock(&gRecordMutex);
    if (!gProcessRecord) gProcessRecord = WorkJournal::open().release();
}

void PrivateTempDirectory::setSystemTempPathForTesting(const QString& path) {
    QMutexLocker lock(&gMutex);
    gSystemTempOverride = path;
}
