#include "core/content/SevenZipLineFeeds.h"

#include "core/content/PreviewEntryRules.h"

#include <algorithm>

namespace SevenZipLineFeeds {

namespace {

const QChar kUnderscore = QLatin1Char('_');

// Legacy rows keep the bytes 7-Zip printed, which its own later runs take as they are.
bool isCandidate(const ArchivePreviewEntry& entry) {
    return entry.toolPath.isEmpty() && entry.path.contains(kUnderscore);
}

}  // namespace

bool mayHoldLineFeeds(const QList<ArchivePreviewEntry>& entries) {
    return std::any_of(entries.begin(), entries.end(), isCandidate);
}

void restore(QList<ArchivePreviewEntry>& entries, const QHash<QString, int>& withLineFeeds) {
    if (withLineFeeds.isEmpty()) return;
    QHash<QString, int> printed;
    for (const ArchivePreviewEntry& entry : entries) {
        if (withLineFeeds.contains(entry.path)) ++printed[entry.path];
    }
    for (ArchivePreviewEntry& entry : entries) {
        const auto listed = withLineFeeds.constFind(entry.path);
        if (!isCandidate(entry) || entry.path.count(kUnderscore) != 1 || listed == withLineFeeds.cend() ||
            printed.value(entry.path) != *listed)
            continue;
        entry.path.replace(kUnderscore, QLatin1Char('\n'));
        entry.kindDescription = PreviewEntryRules::kindDescription(entry.path);
    }
}

}  // namespace SevenZipLineFeeds
