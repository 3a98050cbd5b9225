#pragma once

#include "platform/ArchiveKindTable.h"

#include <QString>
#include <optional>

// The archive kinds velmora opens, recognised from the file name alone by the one table of kinds, and
// the rules of that table's row.
// Numbered volumes (a.7z.001, a.z01, a.r00) are not kinds; SplitArchiveDetector recognises those.
namespace ArchiveFormat {

using Kind = ArchiveKindTable::Kind;
using Family = ArchiveKindTable::Family;

// Looks only at the last path component; reads nothing.
std::optional<Kind> kind(const QString& fileURL);

// The kind a file opens as: its own, or for a numbered volume the kind of its set (a.7z.001 7Z;
// a.zip.001 and a.z01 ZIP; a.r00 RAR). The one rule that picks an extractor and labels a volume.
std::optional<Kind> kindOrSetKind(const QString& fileURL);

// Whether velmora opens the file as an archive: a kind of its own or a set's (kindOrSetKind). Every
// list of archives (dropped, handed over, opened from outside) is chosen by this one rule.
bool isArchive(const QString& fileURL);

// The family of kindOrSetKind: which extractor opens the file.
std::optional<Family> family(const QString& fileURL);

// Whether velmora adds to and deletes from the archive in place (its kind's own; a volume never).
bool isEditable(const QString& fileURL);

// "ZIP", "TAR.GZ", ...
QString displayName(Kind kind);

}  // namespace ArchiveFormat
