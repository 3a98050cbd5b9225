#include "platform/WorkJournal.h"

#include "platform/PrivateTempDirectory.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QList>
#include <QUuid>

#include <cerrno>
#include <filesystem>
#include <system_error>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString kRecordSuffix = QStringLiteral(".record");

QByteArray nativePath(const QString& path) { return QFile::encodeName(path); }

bool makePrivateFolder(const QString& path) {
    if (!QDir().mkpath(path)) return false;
    return ::chmod(nativePath(path).constData(), 0700) == 0;
}

bool writeWhole(int fd, const QByteArray& bytes) {
    if (::ftruncate(fd, 0) != 0) return false;
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t written = ::pwrite(fd, bytes.constData() + done, bytes.size() - done, done);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        done += written;
    }
    return ::fsync(fd) == 0;
}

QByteArray readWhole(int fd) {
    QByteArray bytes;
    char buffer[4096];
    for (;;) {
        const ssize_t count = ::read(fd, buffer, sizeof buffer);
        if (count < 0 && errno == EINTR) continue;
        if (count <= 0) return bytes;
        bytes.append(buffer, count);
    }
}

bool isInside(const QString& path, const QString& folder) {
    return path.startsWith(folder + QLatin1Char('/')) && !path.contains(QStringLiteral("/../"));
}

// A tree is removed only where velmora alone puts things.
bool mayRemoveTree(const QString& path) {
    if (QFileInfo(path).fileName().startsWith(QStringLiteral(".velmora"))) return true;
    const std::optional<QString> base = PrivateTempDirectory::base();
    return base && isInside(path, *base);
}

bool removePath(const QString& path, WorkJournal::Kind kind) {
    const QByteArray native = nativePath(path);
    struct stat info {};
    if (::lstat(native.constData(), &info) != 0) return false;
    std::error_code error;
    if (kind == WorkJournal::Kind::Tree) {
        return mayRemoveTree(path) && std::filesystem::remove_all(native.constData(), error) > 0;
    }
    if (S_ISDIR(info.st_mode)) return ::rmdir(native.constData()) == 0;
    return S_ISREG(info.st_mode) && info.st_size == 0 && ::unlink(native.constData()) == 0;
}

struct RecordedPath {
    QString path;
    WorkJournal::Kind kind;
};

// Lines are "<T|P> <percent-encoded path>\n"; a line cut short by a crash has no line break and is
// left alone.
QList<RecordedPath> recordedPaths(const QByteArray& text) {
    QList<QByteArray> lines = text.split('\n');
    lines.removeLast();
    QList<RecordedPath> paths;
    for (const QByteArray& line : lines) {
        if (line.size() < 3 || line.at(1) != ' ' || (line.at(0) != 'T' && line.at(0) != 'P')) continue;
        const QString path = QFile::decodeName(QByteArray::fromPercentEncoding(line.mid(2)));
        if (!QDir::isAbsolutePath(path)) continue;
        paths.append({path, line.at(0) == 'T' ? WorkJournal::Kind::Tree : WorkJournal::Kind::Placeholder});
    }
    return paths;
}

// Trees before placeholders, and newest first: a reserved folder (recorded by one part of a run) is
// empty only once the private folders made inside it (recorded by another) are gone.
int removePaths(const QList<RecordedPath>& paths) {
    int removed = 0;
    for (const WorkJournal::Kind kind : {WorkJournal::Kind::Tree, WorkJournal::Kind::Placeholder}) {
        for (auto it = paths.crbegin(); it != paths.crend(); ++it) {
            if (it->kind == kind && removePath(it->path, kind)) ++removed;
        }
    }
    return removed;
}

}  // namespace

WorkJournal::Record::Record(int fd, QString path) : m_fd(fd), m_path(std::move(path)) {}

WorkJournal::Record::~Record() {
    ::unlink(nativePath(m_path).constData());
    ::close(m_fd);
}

void WorkJournal::Record::add(const QString& path, Kind kind) {
    m_lines += (kind == Kind::Tree ? "T " : "P ") + nativePath(path).toPercentEncoding("/") + '\n';
    writeWhole(m_fd, m_lines);
}

QString WorkJournal::directory() {
    QString stateHome = qEnvironmentVariable("XDG_STATE_HOME");
    if (!QDir::isAbsolutePath(stateHome)) stateHome = QDir::homePath() + QStringLiteral("/.local/state");
    return stateHome + QStringLiteral("/velmora/work");
}

std::unique_ptr<WorkJournal::Record> WorkJournal::open() {
    const QString folder = directory();
    if (!makePrivateFolder(folder)) return nullptr;
    const QString name = QUuid::createUuid().toString(QUuid::WithoutBraces);
    // Locked under a hidden name first and renamed after, so removeLeftovers never takes a record
    // between its creation and its lock for a dead one.
    const QString hidden = folder + QStringLiteral("/.") + name;
    const QString path = folder + QLatin1Char('/') + name + kRecordSuffix;
    const int fd = ::open(nativePath(hidden).constData(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0) return nullptr;
    if (::flock(fd, LOCK_EX) != 0 ||
        ::rename(nativePath(hidden).constData(), nativePath(path).constData()) != 0) {
        ::unlink(nativePath(hidden).constData());
        ::close(fd);
        return nullptr;
    }
    return std::unique_ptr<Record>(new Record(fd, path));
}

int WorkJournal::removeLeftovers() {
    const QDir folder(directory());
    QList<std::pair<int, QString>> heldRecords;
    QList<RecordedPath> paths;
    const QStringList names = folder.entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
    for (const QString& name : names) {
        const QString path = folder.filePath(name);
        const int fd = ::open(nativePath(path).constData(), O_RDWR | O_CLOEXEC | O_NOFOLLOW);
        if (fd < 0) continue;
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            ::close(fd);
            continue;
        }
        // Held until every path is gone, so no other start takes the same leftovers meanwhile.
        heldRecords.append({fd, path});
        if (name.endsWith(kRecordSuffix)) paths += recordedPaths(readWhole(fd));
    }
    const int removed = removePaths(paths);
    for (const auto& [fd, path] : heldRecords) {
        ::unlink(nativePath(path).constData());
        ::close(fd);
    }
    return removed;
}
