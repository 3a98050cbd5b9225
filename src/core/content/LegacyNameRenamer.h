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

// After a whole archive was extracted into folderURL: the decision taken over the legacy names found.
void renameExtractedArchive(const QString& folderURL, LegacyNames::Source source);

// After a selection was extracted: each name component as the listing decoded it, by its bytes.
QHash<QByteArray, QString> componentDecodings(const QList<ArchivePreviewEntry>& entries);

}  // namespace LegacyNameRenamer
