#pragma once

#include "platform/ArchiveKindTable.h"

#include <QString>
#include <optional>

// The archive kinds velmora opens, recognised from the file name alone by the one table of kinds.
// Numbered volumes (a.7z.001, a.z01, a.r00) are not kinds; SplitArchiveDetector recognises those.
namespace ArchiveFormat {

using Kind = ArchiveKindTable::Kind;

// Looks only at the last path component; reads nothing.
std::optional<Kind> kind(const QString& fileURL);

// "ZIP", "TAR.GZ", ...
QString displayName(Kind kind);

}  // namespace ArchiveFormat
