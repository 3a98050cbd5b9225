#include "core/engine/ExtractionSteps.h"

#include "core/base/FileNameHelper.h"
#include "core/base/FileSystemError.h"
#include "core/base/InputItem.h"
#include "core/engine/ArchiveError.h"
#include "platform/ToolText.h"
#include "platform/WorkTree.h"

#include <cerrno>
#include <filesystem>

#include <sys/stat.h>

namespace ExtractionSteps {

void requireItem(const QString& fileURL) {
    switch (InputItem::stateOf(fileURL)) {
        case InputItem::State::usable:
            return;
        case InputItem::State::missing:
            throw ArchiveError::fileNotFound(fileURL);
        case InputItem::State::notFileOrFolder:
            throw ArchiveError::notFileOrFolder(fileURL);
    }
}

void createFolder(const QString& folderURL) {
    std::error_code code;
    std::filesystem::create_directories(std::filesystem::path(ToolText::encodedName(folderURL).toStdString()),
                                        code);
    if (code) throwWriteIntoFailed(folderURL, code.value());
}

void throwCreateFailed(const QString& folderURL, int errorNumber) {
    switch (errorNumber) {
        case EACCES:
        case EPERM:
            throw ArchiveError::destinationNotWritable(folderURL);
        case EROFS:
            throw *ArchiveError::unwritable(folderURL, errorNumber);
        case ENOSPC:
        case EDQUOT:
            throw ArchiveError::diskFull();  // the journal's disk, or the folder's
        default:
            throw FileSystemError::fromErrorNumber(FileSystemError::Kind::createFailed, folderURL,
                                                   errorNumber);
    }
}

void throwWriteIntoFailed(const QString& folderURL, int errorNumber) {
    if (errorNumber == ENOSPC || errorNumber == EDQUOT)
        throw *ArchiveError::unwritable(folderURL, errorNumber);
    throwCreateFailed(folderURL, errorNumber);
}

QString reserveFolder(const QString& baseName, const QString& parentURL, WorkJournal::Record* record) {
    createFolder(parentURL);
    for (;;) {
        const QString candidate = FileNameHelper::uniqueDirectoryURL(baseName, parentURL);
        const QByteArray native = ToolText::encodedName(candidate);
        if (::mkdir(native.constData(), 0777) != 0) {
            if (errno == EEXIST) continue;
            throw FileSystemError::fromErrorNumber(FileSystemError::Kind::createFailed, candidate, errno);
        }
        if (const int error = record ? record->add(candidate, WorkJournal::Kind::Placeholder) : 0) {
            ::rmdir(native.constData());
            throwCreateFailed(parentURL, error);
        }
        return candidate;
    }
}

void requireExtracted(const QString& folderURL) {
    std::error_code code;
    const std::filesystem::directory_iterator items(ToolText::encodedName(folderURL).toStdString(), code);
    if (!code && items == std::filesystem::directory_iterator()) throw ArchiveError::noFiles();
}

ArchiveError atDestination(const ArchiveError& error, const QString& destinationURL) {
    if (!error.payload().isEmpty()) return error;
    if (error.kind() == ArchiveError::Kind::diskFull)
        return *ArchiveError::unwritable(destinationURL, ENOSPC);
    if (error.kind() == ArchiveError::Kind::readOnlyFileSystem)
        return *ArchiveError::unwritable(destinationURL, EROFS);
    return error;
}

void emptyFolder(const QString& folderURL) {
    namespace fs = std::filesystem;
    std::error_code code;
    for (const fs::directory_entry& item :
         fs::directory_iterator(ToolText::encodedName(folderURL).toStdString(), code)) {
        // A failed run may leave read-only folders (WorkTree).
        if (const int error = WorkTree::remove(QByteArray::fromStdString(item.path().string())))
            code.assign(error, std::generic_category());
        if (code) break;
    }
    if (code)
        throw FileSystemError::fromErrorNumber(FileSystemError::Kind::removeFailed, folderURL, code.value());
}

}  // namespace ExtractionSteps
