#pragma once

#include "core/base/ZipCentralDirectory.h"
#include "core/content/PreviewListing.h"

#include <QByteArrayView>
#include <QString>
#include <optional>

// Lists a ZIP archive without a tool, from the rows of its central directory (ZipCentralDirectory).
// Any structural doubt gives no rows rather than an error, so that the caller asks a tool instead.
namespace ZipDirectoryListing {

// The rows of a directory read by ZipCentralDirectory::read (none for nothing), in directory order;
// isEncrypted is set when any examined header has flag bit 0.
PreviewListing nativeZipEntries(const std::optional<ZipCentralDirectory::Directory>& directory);

// Rows of the directory's bytes, as ZipCentralDirectory::walk gives the headers.
PreviewListing readDirectory(QByteArrayView directory, quint32 entryCount);

QString dosDateDescription(quint16 date, quint16 time);

}  // namespace ZipDirectoryListing
