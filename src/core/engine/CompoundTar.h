#pragma once

#include <QString>
#include <optional>

// A TAR inside gzip, bzip2 or xz (.tar.gz, .tgz, .tar.bz2, .tar.xz, ...). 7-Zip opens only the
// compression layer of such a file, so its contents are reached in two steps: the layer is unpacked
// into a private work folder, then the TAR inside is read.
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

// The TAR file the compression layer of archiveURL was unpacked to in folderURL. Throws ArchiveError
// extractFailed when there is none; a lone file counts, since the gzip header may name it anything.
QString locateTarFile(const QString& folderURL, const QString& archiveURL);

}  // namespace CompoundTar
