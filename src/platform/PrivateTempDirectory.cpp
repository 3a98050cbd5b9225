#include "platform/PrivateTempDirectory.h"

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

QString systemTempPath() {
    QMutexLocker lock(&gMutex);
    return gSystemTempOverride.isEmpty() ? QDir::tempPath() : gSystemTempOverride;
}

// Makes path a private directory of ours, or reports that it cannot be one.
bool ensurePrivateDirectory(const QString& path) {
    const QByteArray native = QFile::encodeName(path);
    if (::mkdir(native.constData(), 0700) != 0 && errno != EEXIST) return false;
    struct stat info {};
    if (::lstat(native.constData(), &info) != 0) return false;
    if (!S_ISDIR(info.st_mode) || info.st_uid != ::getuid()) return false;
    if ((info.st_mode & 0777) != 0700 && ::chmod(native.constData(), 0700) != 0) return false;
    return true;
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
    for (const QString& part : parts) {
        if (part == QStringLiteral("..") || part == QStringLiteral(".")) return std::nullopt;
        *path += QLatin1Char('/') + part;
        if (!ensurePrivateDirectory(*path)) return std::nullopt;
    }
    return path;
}

void PrivateTempDirectory::setSystemTempPathForTesting(const QString& path) {
    QMutexLocker lock(&gMutex);
    gSystemTempOverride = path;
}
