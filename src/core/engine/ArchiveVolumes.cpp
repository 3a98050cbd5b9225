#include "core/engine/ArchiveVolumes.h"

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

}  // namespace ArchiveVolumes
