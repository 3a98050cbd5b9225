#pragma once

#include "core/engine/ProcessResult.h"

#include <QString>
#include <functional>
#include <optional>

// A TAR inside gzip, bzip2 or xz (.tar.gz, .tgz, .tar.bz2, .tar.xz, ...). GNU tar reads such a file
// itself; 7-Zip opens only its compression layer, so it reaches the contents in two steps: the layer is
// unpacked into a private work folder, then the TAR inside is read. Only that way needs room for the
// whole inner TAR.
namespace CompoundTar {

bool isCompoundTar(const QString& fileURL);

// A fresh private work folder ("velmoraCompoundTar-<UUID>"), removed with everything in it on every
// way out; a failed removal is not an error.
class WorkFolder {
public:
    // Throws FileSystemError when the folder cannot be made.
    WorkFolder();
    ~WorkFolder();
    WorkFolder(const WorkFolder&) = delete;
    WorkFolder& operator=(const WorkFolder&) = delete;

    const QString& path() const { return m_path; }

private:
    QString m_path;
};

// 7-Zip's way into a compressed TAR: unpack runs 7-Zip on the layer of archiveURL into a fresh work
// folder, then read runs on the TAR found there (locateTarFile); the folder goes once read returns. A
// failed unpack is the result.
ProcessResult throughInnerTar(const QString& archiveURL,
                              const std::function<ProcessResult(const QString& workFolder)>& unpack,
                              const std::function<ProcessResult(const QString& tarFile)>& read);

// The TAR file the compression layer of archiveURL was unpacked to in folderURL. Throws ArchiveError
// extractFailed when there is none; a lone file counts, since the gzip header may name it anything.
QString locateTarFile(const QString& folderURL, const QString& archiveURL);

}  // namespace CompoundTar
