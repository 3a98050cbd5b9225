#include "core/engine/CompressionTarget.h"

#include "core/base/FileNameHelper.h"
#include "core/base/FileSystemError.h"
#include "core/split/SplitCompressionError.h"

#include <QFile>
#include <QFileInfo>
#include <QUuid>

#include <cerrno>
#include <filesystem>
#include <system_error>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cstdio>

namespace {

QByteArray nativePath(const QString& path) { return QFile::encodeName(path); }

bool exists(const QString& path) {
    struct stat info {};
    return ::lstat(nativePath(path).constData(), &info) == 0;
}

// Only while it is still the empty file this run made: once the archive took its place, it stays.
void removePlaceholder(const QString& path) {
    struct stat info {};
    const QByteArray native = nativePath(path);
    if (::lstat(native.constData(), &info) == 0 && S_ISREG(info.st_mode) && info.st_size == 0)
        ::unlink(native.constData());
}

void removeTree(const QString& path) {
    std::error_code error;
    std::filesystem::remove_all(nativePath(path).constData(), error);
}

// Fails with EEXIST instead of replacing what is there. File systems without renameat2's flag get a
// link, which never replaces either, and an unlink.
int renameWithoutReplacing(const QByteArray& source, const QByteArray& target) {
    if (::renameat2(AT_FDCWD, source.constData(), AT_FDCWD, target.constData(), RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS) return -1;
    if (::link(source.constData(), target.constData()) != 0) return -1;
    return ::unlink(source.constData());
}

}  // namespace

CompressionTarget::CompressionTarget(const QString& reservedURL, const QString& extension,
                                     WhenTaken whenTaken, WorkJournal::Record* journal)
    : m_journal(journal) {
    reserve(reservedURL, extension, whenTaken);
    const QString folder = QFileInfo(m_finalURL).path();
    const QString workFolder = folder + QStringLiteral("/.velmoraCompression-") +
                               QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper();
    if (m_journal) m_journal->add(workFolder, WorkJournal::Kind::Tree);
    if (::mkdir(nativePath(workFolder).constData(), 0700) != 0) {
        const int error = errno;
        removePlaceholder(m_finalURL);
        throw FileSystemError::fromErrorNumber(FileSystemError::Kind::createFailed, workFolder, error);
    }
    m_workFolder = workFolder;
}

CompressionTarget::~CompressionTarget() {
    if (!m_workFolder.isEmpty()) removeTree(m_workFolder);
    if (!m_committed) removePlaceholder(m_finalURL);
}

void CompressionTarget::reserve(const QString& reservedURL, const QString& extension, WhenTaken whenTaken) {
    const QString folder = QFileInfo(reservedURL).path();
    const QString name = FileNameHelper::lastPathComponent(reservedURL);
    for (int number = 0;; ++number) {
        const QString candidate =
            folder + QLatin1Char('/') + (number == 0 ? name : numberedName(name, extension, number));
        // Only a name that looks free goes into the journal: a leftover clean-up must never find a
        // name that was someone else's.
        const bool taken = exists(candidate);
        if (!taken) {
            if (m_journal) m_journal->add(candidate, WorkJournal::Kind::Placeholder);
            const int fd = ::open(nativePath(candidate).constData(),
                                  O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
            if (fd >= 0) {
                ::close(fd);
                m_finalURL = candidate;
                return;
            }
            if (errno != EEXIST)
                throw FileSystemError::fromErrorNumber(FileSystemError::Kind::createFailed, candidate, errno);
        }
        if (whenTaken == WhenTaken::fail)
            throw SplitCompressionError::existingOutput(FileNameHelper::lastPathComponent(candidate));
    }
}

QString CompressionTarget::workURL(const QString& fileName) const {
    return m_workFolder + QLatin1Char('/') + fileName;
}

QStringList CompressionTarget::commit(const QStringList& workFiles) {
    const QString folder = QFileInfo(m_finalURL).path();
    const QString reservedName = FileNameHelper::lastPathComponent(m_finalURL);
    QStringList finals;
    QStringList moved;
    const auto undo = [&] {
        for (const QString& path : moved) ::unlink(nativePath(path).constData());
    };
    for (const QString& file : workFiles) {
        const QString name = FileNameHelper::lastPathComponent(file);
        finals << folder + QLatin1Char('/') + name;
        if (name == reservedName) continue;
        if (renameWithoutReplacing(nativePath(file), nativePath(finals.last())) != 0) {
            const int error = errno;
            undo();
            if (error == EEXIST) throw SplitCompressionError::existingOutput(name);
            throw FileSystemError::fromErrorNumber(FileSystemError::Kind::createFailed, finals.last(), error);
        }
        moved << finals.last();
    }
    // The reserved name last, over its own placeholder: the archive appears whole or not at all.
    const QString reservedWork = workURL(reservedName);
    if (workFiles.contains(reservedWork) &&
        ::rename(nativePath(reservedWork).constData(), nativePath(m_finalURL).constData()) != 0) {
        const int error = errno;
        undo();
        throw FileSystemError::fromErrorNumber(FileSystemError::Kind::createFailed, m_finalURL, error);
    }
    if (!workFiles.contains(reservedWork)) removePlaceholder(m_finalURL);
    m_committed = true;
    return finals;
}

QString CompressionTarget::numberedName(const QString& fileName, const QString& extension, int number) {
    const QString numberText = QLatin1Char(' ') + QString::number(number);
    const QString suffix = QLatin1Char('.') + extension;
    if (!extension.isEmpty() && fileName.size() > suffix.size() &&
        fileName.endsWith(suffix, Qt::CaseInsensitive)) {
        return fileName.chopped(suffix.size()) + numberText + fileName.right(suffix.size());
    }
    const QString ownExtension = FileNameHelper::pathExtension(fileName);
    if (ownExtension.isEmpty()) return fileName + numberText;
    return FileNameHelper::deletingPathExtension(fileName) + numberText + QLatin1Char('.') + ownExtension;
}
