#pragma once

#include "core/base/LegacyNames.h"

#include <QByteArray>
#include <QString>
#include <functional>
#include <optional>

// Tools write a legacy name to disk as the bytes the archive stores, which no file manager shows as
// the name it is, and a DOS or Windows name whole, "\" and all. These give such items their decoded
// names and places after extraction, inside one folder.
namespace LegacyNameRenamer {

using Decoding = std::function<std::optional<QString>(const QByteArray&)>;

// Renames every item under folderURL whose name is not UTF-8 to its decoding, deepest first, so a
// folder's path still holds while its contents move. An item keeps its name when the decoding gives
// none, is not a plain name, or names an item that already exists. Links are renamed, never followed.
void rename(const QString& folderURL, const Decoding& decoding);

// After a whole archive was extracted into folderURL: the decision taken over the legacy names found,
// under the convention sourceOf gives (asked only when there are any: it may read the archive).
void renameExtractedArchive(const QString& folderURL, const std::function<LegacyNames::Source()>& sourceOf);

// After the names were decoded, for an archive whose names separate folders with "\"
// (ZipCentralDirectory::separatesFoldersWithBackslash): every item whose name holds one moves to the
// folders it names ("a\b.txt" to "a/b.txt"), deepest first. A folder on the way is made when missing
// and entered only when it is a real folder, never a link, so nothing goes outside folderURL. An
// item keeps its name when a piece is "." or "..", or its place is taken; an empty folder whose
// place already holds a folder goes.
void separateFolders(const QString& folderURL);

}  // namespace LegacyNameRenamer
