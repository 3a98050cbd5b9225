#pragma once

#include <QString>

// Every way into an archive (whole extraction, listing, entry extraction) opens a split set from its
// main volume, whichever volume it was given, and only when the set is whole as far as its folder
// shows (SplitArchiveScanner).
namespace ArchiveVolumes {

// The file to open: for a volume of a set (name.7z.002, name.zip.002, name.z01, name.part2.rar,
// name.r00, or a name.rar or name.zip with volumes beside it) the set's main volume (name.7z.001,
// name.zip.001, name.zip, name.part1.rar, name.rar), which the tools open the whole set from; any other
// file as it is. Throws ArchiveError::missingVolume naming the first volume the set lacks, the main
// volume included.
QString openingVolume(const QString& fileURL);

}  // namespace ArchiveVolumes
