// The input is a whole file for the ZIP reader, read through a memory file as an archive on disk
// would be; the same bytes also go straight to the directory walk with a count from their first two.

#include "core/base/FileSystemError.h"
#include "core/base/ZipCentralDirectory.h"
#include "core/content/ArchivePreviewService.h"
#include "core/content/PreviewEntryRules.h"
#include "core/content/ZipDirectoryListing.h"

#include <QString>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include <sys/mman.h>
#include <unistd.h>

namespace {

// Every row must pass through the rules that follow the reader in the listing.
void useRows(const PreviewListing& listing) {
    if (PreviewEntryRules::containsMojibakePath(listing.entries)) return;
    for (const ArchivePreviewEntry& entry : listing.entries) {
        try {
            ArchivePreviewService::safeRelativePath(entry.path);
        } catch (const ArchiveError&) {
        }
    }
}

int memoryFile() {
    static const int fd = memfd_create("zip", 0);
    if (fd < 0) std::abort();
    return fd;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const int fd = memoryFile();
    if (ftruncate(fd, 0) != 0 || pwrite(fd, data, size, 0) != ssize_t(size)) std::abort();
    const QString file = QStringLiteral("/proc/self/fd/") + QString::number(fd);
    try {
        const std::optional<ZipCentralDirectory::Directory> directory = ZipCentralDirectory::read(file);
        useRows(ZipDirectoryListing::nativeZipEntries(directory));
        if (directory) {
            ZipCentralDirectory::legacyNameSource(*directory);
            ZipCentralDirectory::separatesFoldersWithBackslash(*directory);
        }
    } catch (const FileSystemError&) {
        std::abort();  // the memory file is always readable
    }
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    useRows(ZipDirectoryListing::readDirectory(bytes, ZipCentralDirectory::readUInt16LE(bytes, 0)));
    return 0;
}
