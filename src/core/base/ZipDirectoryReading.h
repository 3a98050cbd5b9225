#pragma once

#include "core/base/LegacyNames.h"
#include "core/base/ZipCentralDirectory.h"

#include <QString>
#include <exception>
#include <optional>

// One reading of a ZIP archive's directory (ZipCentralDirectory::read) for every step of one listing or
// extraction that asks about it, made when the first one asks: the archive is opened once however many
// steps ask, and not at all when none does.
class ZipDirectoryReading {
public:
    explicit ZipDirectoryReading(QString fileURL) : m_fileURL(std::move(fileURL)) {}

    // As ZipCentralDirectory::read gives it; its FileSystemError is thrown again to each caller.
    const std::optional<ZipCentralDirectory::Directory>& directory();

    // ZipCentralDirectory's answers about the directory; for a file that cannot be read, the format's
    // own code page and false.
    LegacyNames::Source legacyNameSource();
    bool separatesFoldersWithBackslash();

private:
    // The directory, or nothing when there is none or it cannot be read.
    const ZipCentralDirectory::Directory* readable();

    QString m_fileURL;
    bool m_read = false;
    std::optional<ZipCentralDirectory::Directory> m_directory;
    std::exception_ptr m_failure;
};
