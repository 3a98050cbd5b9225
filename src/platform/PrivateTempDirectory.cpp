#include "platform/PrivateTempDirectory.h"

#include "platform/SystemErrorText.h"
#include "platform/WorkJournal.h"
#include "platform/WorkTree.h"

#include <QDir>
#include <QFile>
#include <QMutex>
#include <QStringList>

#include <cerrno>

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
QMutex gMutex;
QString gSystemTempOverride;
// Destroyed only once its folders are gone: until then the record must outlive the process, whose end
// releases its lock.
WorkJournal::Record* gProcessRecord = nullptr;
QStringList gRecordedFolders;
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

QString userName(uid_t uid) {
    passwd entry{};
    passwd* found = nullptr;
    char buffer[1024];
    if (::getpwuid_r(uid, &entry, buffer, sizeof buffer, &found) == 0 && found)
        return QString::fromLocal8Bit(found->pw_name);
    return QString::number(uid);
}

// Makes path a private directory of ours, or says why it cannot be one.
std::optional<QString> privateDirectoryProblem(const QString& path) {
    const QByteArray native = QFile::encodeName(path);
    if (::mkdir(native.constData(), 0700) != 0 && errno != EEXIST)
        return SystemErrorText::reason(errno, SystemErrorText::Access::write);
    struct stat info {};
    if (::lstat(native.constData(), &info) != 0)
        return SystemErrorText::reason(errno, SystemErrorText::Access::write);
    if (info.st_uid != ::getuid()) return QStringLiteral(u"已被用户 %1 占用").arg(userName(info.st_uid));
    if (S_ISLNK(info.st_mode)) return QStringLiteral(u"是一个链接");
    if (!S_ISDIR(info.st_mode)) return QStringLiteral(u"不是文件夹");
    if ((info.st_mode & 0777) != 0700 && ::chmod(native.constData(), 0700) != 0)
        return SystemErrorText::reason(errno, SystemErrorText::Access::write);
    return std::nullopt;
}

bool ensurePrivateDirectory(const QString& path) { return !privateDirectoryProblem(path); }

// The system temp's base first: the runtime folder is often a small tmpfs.
QStringList candidateBases() {
    QStringList bases{systemTempPath() + QStringLiteral("/velmora-") + QString::number(::getuid())};
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (QDir::isAbsolutePath(runtime) && PrivateTempDirectory::isPrivate(runtime))
        bases.append(runtime + QStringLiteral("/velmora-temp"));
    return bases;
}

// Whether the folder is recorded, or need not be.
bool recordFolder(const QString& path) {
    QMutexLocker lock(&gRecordMutex);
    if (gProcessRecord && gProcessRecord->add(path, WorkJournal::Kind::Tree) != 0) return false;
    if (gProcessRecord) gRecordedFolders.append(path);
    return true;
}
}  // namespace

std::optional<QString> PrivateTempDirectory::base() {
    for (const QString& path : candidateBases()) {
        if (ensurePrivateDirectory(path)) return path;
    }
    return std::nullopt;
}

std::optional<PrivateTempDirectory::Problem> PrivateTempDirectory::problem() {
    std::optional<Problem> first;
    for (const QString& path : candidateBases()) {
        const std::optional<QString> reason = privateDirectoryProblem(path);
        if (!reason) return std::nullopt;
        if (!first) first = Problem{path, *reason};
    }
    return first;
}

std::optional<QString> PrivateTempDirectory::makeFolder(const QString& relativeFolder) {
    std::optional<QString> path = base();
    if (!path) return std::nullopt;
    const QStringList parts = relativeFolder.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    if (parts.contains(QStringLiteral("..")) || parts.contains(QStringLiteral("."))) return std::nullopt;
    if (!parts.isEmpty() && !recordFolder(*path + QLatin1Char('/') + parts.join(QLatin1Char('/'))))
        return std::nullopt;
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

void PrivateTempDirectory::removeRecordedFolders() {
    QMutexLocker lock(&gRecordMutex);
    bool removed = true;
    for (const QString& folder : std::as_const(gRecordedFolders))
        removed = WorkTree::remove(QFile::encodeName(folder)) == 0 && removed;
    gRecordedFolders.clear();
    // A folder that stayed is left to the next start, which needs the record for it.
    if (removed) delete gProcessRecord;
    gProcessRecord = nullptr;
}

void PrivateTempDirectory::setSystemTempPathForTesting(const QString& path) {
    QMutexLocker lock(&gMutex);
    gSystemTempOverride = path;
}
