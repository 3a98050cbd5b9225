#include "core/base/ZipDirectoryReading.h"

#include "core/base/FileSystemError.h"

const std::optional<ZipCentralDirectory::Directory>& ZipDirectoryReading::directory() {
    if (!m_read) {
        m_read = true;
        try {
            m_directory = ZipCentralDirectory::read(m_fileURL);
        } catch (const FileSystemError&) {
            m_failure = std::current_exception();
        }
    }
    if (m_failure) std::rethrow_exception(m_failure);
    return m_directory;
}

const ZipCentralDirectory::Directory* ZipDirectoryReading::readable() {
    try {
        return directory() ? &*m_directory : nullptr;
    } catch (const FileSystemError&) {
        return nullptr;
    }
}

LegacyNames::Source ZipDirectoryReading::legacyNameSource() {
    const ZipCentralDirectory::Directory* read = readable();
    return read ? ZipCentralDirectory::legacyNameSource(*read) : LegacyNames::kZipDefault;
}

bool ZipDirectoryReading::separatesFoldersWithBackslash() {
    const ZipCentralDirectory::Directory* read = readable();
    return read && ZipCentralDirectory::separatesFoldersWithBackslash(*read);
}
