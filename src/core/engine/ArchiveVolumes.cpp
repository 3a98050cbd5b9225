#include "core/engine/ArchiveVolumes.h"

#include "core/base/FileNameHelper.h"
#include "core/base/SplitArchiveDetector.h"
#include "core/engine/ArchiveError.h"
#include "core/split/SplitArchiveError.h"
#include "core/split/SplitArchiveScanner.h"

namespace ArchiveVolumes {

QString openingVolume(const QString& fileURL) {
    SplitArchiveDescriptor set;
    try {
        set = SplitArchiveScanner().scan(fileURL, std::nullopt);
    } catch (const SplitArchiveError&) {
        return fileURL;  // not a volume of a set
    }
    // A missing main volume is among the missing ones, so a set without one names one.
    if (!set.missingPartFileNames.isEmpty())
        throw ArchiveError::missingVolume(set.missingPartFileNames.first());
    return set.primaryPartURL.value_or(fileURL);
}

std::optional<QString> volumeAfterLast(const QString& fileURL) {
    SplitArchiveDescriptor set;
    try {
        set = SplitArchiveScanner().scan(fileURL, std::nullopt);
    } catch (const SplitArchiveError&) {
        return std::nullopt;
    }
    if (set.format != SplitArchiveFormat::sevenZip || set.parts.isEmpty() || !set.parts.last().url)
        return std::nullopt;
    const SplitArchivePart& last = set.parts.last();
    const QString lastName = FileNameHelper::lastPathComponent(*last.url);
    const std::optional<SplitArchiveDetector::Match> match = SplitArchiveDetector::detect(lastName);
    if (!match) return std::nullopt;
    // The detector lower-cases; the name keeps the case of the user's file.
    return SplitArchiveDetector::volumeFileName(set.format, lastName.left(match->baseName.size()),
                                                last.index + 1, match->width);
}

}  // namespace ArchiveVolumes
