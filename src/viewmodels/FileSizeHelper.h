#pragma once

#include "core/base/CancellationToken.h"

#include <QStringList>
#include <QtGlobal>

// Byte sizes of the items a user picked, for task records and the pages. Missing or unreadable items
// count 0; nothing here fails, except that a folder walk throws CancellationError once its token is
// cancelled.
namespace FileSizeHelper {

qint64 totalSize(const QString& url, const CancellationToken& token = {});
qint64 totalSize(const QStringList& urls, const CancellationToken& token = {});

// Size of an archive to extract: a volume of a split set counts every volume of its set in its
// folder, as the extraction reads them all; anything else counts as totalSize does.
qint64 archiveSize(const QString& url, const CancellationToken& token = {});

// Size of one file; a link counts the file it points to.
qint64 fileSize(const QString& url);
// Sum over the regular, non-hidden files of a folder tree; hidden folders are not entered.
qint64 directorySize(const QString& url, const CancellationToken& token = {});

}  // namespace FileSizeHelper
