#include "core/engine/TarTool.h"

#include "core/base/FileTree.h"
#include "core/engine/ArchiveTools.h"
#include "core/engine/ProcessRunner.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Run as root, GNU tar makes the device nodes an archive holds, and one would hand whoever may read it
// a disk or a terminal. Each becomes an empty file, as 7-Zip writes it.
void replaceDeviceNodes(const QString& folder) {
    FileTree::walk(folder, [](const FileTree::Entry& entry) {
        struct stat info {};
        if (entry.kind != FileTree::EntryKind::other || ::lstat(entry.nativePath.constData(), &info) != 0 ||
            !(S_ISBLK(info.st_mode) || S_ISCHR(info.st_mode)))
            return true;
        if (::unlink(entry.nativePath.constData()) == 0) {
            const int file =
                ::open(entry.nativePath.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
            if (file >= 0) ::close(file);
        }
        return true;
    });
}

}  // namespace

ProcessResult TarTool::createGzip(const QString& archive, const QStringList& names,
                                  const QString& workingFolder, bool excludeHidden,
                                  const CancellationToken& token) const {
    QStringList arguments = ArchiveTools::Tar::createGzip(archive);
    if (excludeHidden) arguments += ArchiveTools::Tar::hiddenExclusions();
    arguments += ArchiveTools::Tar::endOfSwitches();
    return ProcessRunner::run(m_program, arguments + names, workingFolder, ArchiveTools::kLongRunTimeout, {},
                              token);
}

ProcessResult TarTool::list(const QString& archive, const CancellationToken& token) const {
    return ProcessRunner::run(m_program, ArchiveTools::Tar::listArguments(archive), std::nullopt,
                              ArchiveTools::kListingTimeout, {}, token);
}

ProcessResult TarTool::extract(const QString& archive, const QString& destination,
                               const QStringList& entryPaths, double timeout,
                               const CancellationToken& token) const {
    ProcessResult result =
        ProcessRunner::run(m_program, ArchiveTools::Tar::extractArguments(archive, destination, entryPaths),
                           std::nullopt, timeout, {}, token);
    if (result.status == 0) replaceDeviceNodes(destination);
    return result;
}
