#pragma once

#include "core/content/LegacyNames.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <functional>
#include <optional>

// Tools write a legacy name to disk as the bytes the archive stores, which no file manager shows as
// the name it is. These give such items their decoded names after extraction, inside one folder.
namespace LegacyNameRenamer {

using Decoding = std::function<std::optional<QString>(const QByteArray&)>;

// Renames every item under folderURL whose name is not UTF-8 to its decoding, deepest first, so a
// folder's path still holds while its contents move. An item keeps its name when the decoding gives
// none, is not a plain name, or names an item that already exists. Links are renamed, never followed.
void rename(const QString& folderURL, const Decoding& decoding);

// After a whole archive was extracted into folderURL: the decision taken over the legacy names found,
// under the convention sourceOf gives (asked only when there are any: it may read the archive).
void renameExtractedArchive(const QString& folderURL, const std::function<LegacyNames::Source()>& sourceOf);

// What a name component the listing could not decode becomes: an extracted item keeps the tool's
// name, as a whole archive's items do; a preview, which only needs a file that can be opened, takes
// the name as listed (U+FFFD in place of each undecodable byte).
enum class Undecodable { keepToolName, nameAsListed };

// After a selection was extracted: each name component as the listing decoded it, by its bytes.
QHash<QByteArray, QString> componentDecodings(const QList<ArchivePreviewEntry>& entries,
                                              Undecodable undecodable);

}  // namespace LegacyNameRenamer
