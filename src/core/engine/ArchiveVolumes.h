#pragma once

#include <QString>
#include <optional>

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

// For a piece of a set that 7-Zip numbers (name.7z.001, name.zip.001), the file name of the piece
// after the last one in its folder, numbered and cased as that one (name.7z.002 after a lone
// name.7z.001): the one a set lacks when the tool says the archive ends early. Nothing for any other
// file.
std::optional<QString> volumeAfterLast(const QString& fileURL);

}  // namespace ArchiveVolumes
