#pragma once

#include "core/content/ArchivePreviewEntry.h"

#include <QHash>
#include <QList>
#include <QString>

// 7-Zip prints a line feed in a name as "_", and takes the name only as stored. The rows its listing
// of the entries with a line feed also holds (ArchiveTools::SevenZip::lineFeedListArguments) get their
// line feed back where their path has a single "_" and every row printed so holds one; in a path with
// several, which of them stand for line feeds cannot be told from the listings, and the row stays as
// printed.
namespace SevenZipLineFeeds {

// Whether any row could stand for a name with a line feed, so that the second listing is worth its run.
bool mayHoldLineFeeds(const QList<ArchivePreviewEntry>& entries);

// withLineFeeds: the paths of the second listing's rows, each with the number of its rows.
void restore(QList<ArchivePreviewEntry>& entries, const QHash<QString, int>& withLineFeeds);

}  // namespace SevenZipLineFeeds
