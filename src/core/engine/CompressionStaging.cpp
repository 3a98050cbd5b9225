#include "core/engine/CompressionStaging.h"

#include "core/base/FileNameHelper.h"
#include "core/base/FileSystemError.h"
#include "core/base/FileTree.h"
#include "core/base/InputItem.h"
#include "platform/ToolText.h"
#include "core/engine/ArchiveError.h"
#include "core/engine/ArchiveTools.h"
#include "core/engine/ExtractionSteps.h"
#include "platform/FileDescriptor.h"
#include "platform/PrivateTempDirectory.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUuid>

#include <algorithm>
#include <cerrno>
#include <utility>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace CompressionStaging {

namespace {
constexpr size_t kCopyChunk = size_t(64) << 20;
constexpr size_t kFallbackBuffer = size_t(1) << 20;

// Something of the user's could not be read: a permission problem is the user's to fix, named with the
// item, anything else is reported as the failing read.
[[noreturn]] void throwReadFailure(const QString& path, int errorNumber) {
    if (errorNumber == EACCES || errorNumber == EPERM)
        throw ArchiveError::permissionDenied(path, SystemErrorText::Access::read);
    throw FileSystemError::fromErrorNumber(FileSystemError::Kind::readFailed, path, errorNumber);
}

[[noreturn]] void throwWriteFailure(const QString& path, int errorNumber) {
    throw FileSystemError::fromErrorNumber(FileSystemError::Kind::copyFailed, path, errorNumber);
}

QString parentOf(const QString& path) { return QFileInfo(QDir::cleanPath(path)).path(); }

bool pathExists(const QString& path) {
    struct stat info {};
    return ::lstat(ToolText::encodedName(path).constData(), &info) == 0;
}

void copyWithReadWrite(int input, int output, const QString& source, const CancellationToken& token) {
    std::vector<char> buffer(kFallbackBuffer);
    for (;;) {
        token.throwIfCancelled();
        const ssize_t count = ::read(input, buffer.data(), buffer.size());
        if (count == 0) return;
        if (count < 0) {
            if (errno == EINTR) continue;
            throwReadFailure(source, errno);
        }
        for (ssize_t written = 0; written < count;) {
            const ssize_t step = ::write(output, buffer.data() + written, size_t(count - written));
            if (step < 0 && errno != EINTR) throwWriteFailure(source, errno);
            if (step > 0) written += step;
        }
    }
}

// The kernel copies (or clones) the data where it can; other file systems get a plain loop.
void copyData(int input, int output, const QString& source, const CancellationToken& token) {
    for (bool first = true;; first = false) {
        token.throwIfCancelled();
        const ssize_t count = ::copy_file_range(input, nullptr, output, nullptr, kCopyChunk, 0);
        if (count > 0) continue;
        if (count == 0) return;
        if (errno == EINTR) continue;
        const bool unsupported = errno == EXDEV || errno == ENOSYS || errno == EINVAL || errno == EOPNOTSUPP;
        if (first && unsupported) return copyWithReadWrite(input, output, source, token);
        throwWriteFailure(source, errno);
    }
}

// A hard link costs no copying and shares the original's mode and times. Other file systems, or a file
// the system will not let us link (protected_hardlinks), get a copy.
void stageRegularFile(const QByteArray& source, const QByteArray& target, const struct stat& info,
                      const CancellationToken& token) {
    if (::link(source.constData(), target.constData()) == 0) return;
    const QString shownSource = ToolText::escapedName(source);
    FileDescriptor input(::open(source.constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW));
    if (input.get() < 0) throwReadFailure(shownSource, errno);
    FileDescriptor output(::open(target.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
    if (output.get() < 0) throwWriteFailure(shownSource, errno);
    copyData(input.get(), output.get(), shownSource, token);
    // Archives record permissions and modification times, so the copy keeps the original's.
    ::fchmod(output.get(), info.st_mode & 0777);
    const struct timespec times[2] = {info.st_atim, info.st_mtim};
    ::futimens(output.get(), times);
    if (output.close() != 0) throwWriteFailure(shownSource, errno);
}

void copySymbolicLink(const QByteArray& source, const QByteArray& target, const struct stat& info) {
    QByteArray linkTarget(std::max<qsizetype>(info.st_size, 256), Qt::Uninitialized);
    for (;;) {
        const ssize_t length = ::readlink(source.constData(), linkTarget.data(), size_t(linkTarget.size()));
        if (length < 0) throwReadFailure(ToolText::escapedName(source), errno);
        if (length < linkTarget.size()) {
            linkTarget.truncate(length);
            break;
        }
        linkTarget.resize(linkTarget.size() * 2);
    }
    if (::symlink(linkTarget.constData(), target.constData()) != 0)
        throwWriteFailure(ToolText::escapedName(source), errno);
    const struct timespec times[2] = {info.st_atim, info.st_mtim};
    ::utimensat(AT_FDCWD, target.constData(), times, AT_SYMLINK_NOFOLLOW);
}

// Private while it is filled; keepFolderMetadata gives it the original's mode.
void makeFolder(const QByteArray& source, const QByteArray& target) {
    if (::mkdir(target.constData(), 0700) != 0) throwWriteFailure(ToolText::escapedName(source), errno);
}

// After the folder's contents: each entry added changes its time, and a read-only folder takes none.
void keepFolderMetadata(const QByteArray& target, const struct stat& info) {
    ::chmod(target.constData(), info.st_mode & 07777);
    const struct timespec times[2] = {info.st_atim, info.st_mtim};
    ::utimensat(AT_FDCWD, target.constData(), times, 0);
}

// Copies a file or a link as it is. Sockets, devices and pipes are not archive content (reading a pipe
// would wait forever), so they are left out: returns false for them.
bool copyItem(const QByteArray& source, const QByteArray& target, const struct stat& info,
              const CancellationToken& token) {
    if (S_ISREG(info.st_mode)) {
        stageRegularFile(source, target, info, token);
        return true;
    }
    if (S_ISLNK(info.st_mode)) {
        copySymbolicLink(source, target, info);
        return true;
    }
    return false;
}

// Whether a folder input is folder or holds it.
bool holdsFolder(const QStringList& inputs, const QString& folder) {
    if (folder.isEmpty()) return false;
    const QString cleaned = QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
    return std::any_of(inputs.begin(), inputs.end(), [&](const QString& input) {
        if (!isDirectory(input)) return false;
        const QString root = QDir::cleanPath(QFileInfo(input).absoluteFilePath());
        return cleaned == root || cleaned.startsWith(root + QLatin1Char('/'));
    });
}

// A folder the tools would misread is staged: 7-Zip opens a pipe it finds inside a folder and waits on
// it for good, and zip stores a folder it may not read as an empty one without a word. Staging leaves
// pipes, sockets and devices out (as zip and tar do on their own) and names a folder it cannot read.
bool holdsWhatToolsMisread(const QStringList& inputs, const CancellationToken& token) {
    return std::any_of(inputs.begin(), inputs.end(), [&token](const QString& input) {
        if (!isDirectory(input)) return false;
        bool misread = false;
        FileTree::walk(
            input,
            [&misread](const FileTree::Entry& entry) {
                misread = misread || !InputItem::isContent(entry.info.st_mode);
                return !misread;
            },
            [&misread](const QString&, int) { misread = true; }, token);
        return misread;
    });
}

// 7-Zip's exclusions of hidden entries are wildcards, and with them a name like "photos?" becomes one
// too and takes in photosA and photos1 beside it. Staged copies leave hidden entries out themselves, so
// the tool gets the names literally.
bool needsLiteralNamesWithoutExclusions(const QStringList& inputs, bool excludeHiddenFiles) {
    return excludeHiddenFiles && containsDirectory(inputs) &&
           std::any_of(inputs.begin(), inputs.end(), [](const QString& input) {
               return ArchiveTools::SevenZip::isReadAsWildcard(FileNameHelper::lastPathComponent(input));
           });
}

// The staged path of one input, or nothing when the input is left out.
std::optional<QString> stageInput(const QString& input, const QString& stagingRoot, bool excludeHiddenFiles,
                                  const CancellationToken& token) {
    struct stat info {};
    if (::lstat(ToolText::encodedName(input).constData(), &info) != 0) throwReadFailure(input, errno);
    const QString target = stagedURL(input, stagingRoot);
    if (S_ISDIR(info.st_mode)) {
        copyDirectoryContents(input, target, excludeHiddenFiles, token);
        return target;
    }
    if (!copyItem(ToolText::encodedName(input), ToolText::encodedName(target), info, token)) return std::nullopt;
    return target;
}
}  // namespace

CompressionWorkspace prepareCompressionWorkspace(const QStringList& files, bool excludeHiddenFiles,
                                                 const CancellationToken& token,
                                                 const QString& destinationFolder,
                                                 WorkJournal::Record* journal) {
    const QStringList inputs = excludeHiddenFiles ? withoutHiddenInputs(files) : files;
    if (inputs.isEmpty() && excludeHiddenFiles) throw ArchiveError::noInputFiles();
    if (allFilesShareSameParent(inputs) && !holdsFolder(inputs, destinationFolder) &&
        !needsLiteralNamesWithoutExclusions(inputs, excludeHiddenFiles) && !holdsWhatToolsMisread(inputs, token))
        return {std::nullopt, inputs};
    CompressionWorkspace workspace{makeCompressionStagingRoot(journal), {}};
    try {
        for (const QString& input : inputs) {
            token.throwIfCancelled();
            if (std::optional<QString> staged =
                    stageInput(input, *workspace.stagingRootURL, excludeHiddenFiles, token)) {
                workspace.files << *staged;
            }
        }
        if (workspace.files.isEmpty()) throw ArchiveError::noInputFiles();
    } catch (...) {
        workspace.removeStagingRoot();
        throw;
    }
    return workspace;
}

QStringList withoutHiddenInputs(QStringList files) {
    files.removeIf([](const QString& file) {
        return FileTree::isHiddenOrMacMetadataName(FileNameHelper::lastPathComponent(file));
    });
    return files;
}

QString makeCompressionStagingRoot(WorkJournal::Record* journal) {
    const QString relative =
        QStringLiteral("velmoraCompression/") + QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper();
    const std::optional<QString> base = PrivateTempDirectory::base();
    if (const int error =
            base && journal ? journal->add(*base + QLatin1Char('/') + relative, WorkJournal::Kind::Tree) : 0)
        ExtractionSteps::throwCreateFailed(*base, error);
    const std::optional<QString> path = PrivateTempDirectory::makeFolder(relative);
    if (!path) throw FileSystemError::privateTempUnavailable();
    return *path;
}

QString stagedURL(const QString& input, const QString& stagingRoot) {
    const QString name = FileNameHelper::lastPathComponent(input);
    if (isDirectory(input)) return FileNameHelper::uniqueDirectoryURL(name, stagingRoot);
    const QString extension = FileNameHelper::pathExtension(name);
    const QString stem = extension.isEmpty() ? name : FileNameHelper::deletingPathExtension(name);
    const QString suffix = extension.isEmpty() ? QString() : QLatin1Char('.') + extension;
    QString candidate = stagingRoot + QLatin1Char('/') + name;
    for (qint64 number = 1; pathExists(candidate); ++number) {
        candidate =
            stagingRoot + QLatin1Char('/') + stem + QLatin1Char(' ') + QString::number(number) + suffix;
    }
    return candidate;
}

void copyDirectoryContents(const QString& source, const QString& destination, bool excludeHiddenFiles,
                           const CancellationToken& token) {
    const QByteArray nativeSource = ToolText::encodedName(source);
    const QByteArray nativeDestination = ToolText::encodedName(destination);
    struct stat rootInfo {};
    if (::stat(nativeSource.constData(), &rootInfo) != 0) throwReadFailure(source, errno);
    makeFolder(nativeSource, nativeDestination);
    std::vector<std::pair<QByteArray, struct stat>> folders{{nativeDestination, rootInfo}};
    const auto copyEntry = [&](const FileTree::Entry& entry) {
        token.throwIfCancelled();
        if (excludeHiddenFiles && FileTree::isHiddenOrMacMetadataName(entry.name)) return false;
        const QByteArray target = nativeDestination + '/' + entry.nativeRelativePath;
        if (entry.kind == FileTree::EntryKind::directory) {
            makeFolder(entry.nativePath, target);
            folders.emplace_back(target, entry.info);
        } else {
            copyItem(entry.nativePath, target, entry.info, token);
        }
        return true;
    };
    // An unreadable folder would otherwise end up in the archive as an empty one.
    FileTree::walk(source, copyEntry, throwReadFailure);
    // Children come after their parents in the list, so they are done first.
    for (auto folder = folders.rbegin(); folder != folders.rend(); ++folder) {
        keepFolderMetadata(folder->first, folder->second);
    }
}

bool isDirectory(const QString& url) {
    struct stat info {};
    return ::lstat(ToolText::encodedName(url).constData(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool containsDirectory(const QStringList& urls) { return std::any_of(urls.begin(), urls.end(), isDirectory); }

bool allFilesShareSameParent(const QStringList& urls) {
    if (urls.isEmpty()) return true;
    const QString parent = parentOf(urls.first());
    return std::all_of(urls.begin(), urls.end(), [&](const QString& url) { return parentOf(url) == parent; });
}

QString commonParent(const QStringList& urls) {
    if (urls.isEmpty()) return QDir::homePath();
    return parentOf(urls.first());
}

}  // namespace CompressionStaging
