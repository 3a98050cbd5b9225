#pragma once

#include "core/base/LegacyNames.h"
#include "core/content/ArchivePreviewEntry.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>

// Rows whose name the archive stores in a legacy encoding carry the tool's bytes as toolPath. These
// decide the shown paths of such rows and, for a selection extracted from them, the names its items
// get on disk.
namespace LegacyNameRows {

// Gives every row that carries a tool path (a legacy name) its shown path, the decision taken over all
// of them.
void decode(QList<ArchivePreviewEntry>& entries, LegacyNames::Source source);

// For an archive whose names separate folders with "\" (ZipCentralDirectory::
// separatesFoldersWithBackslash), after decode: a row whose path holds one shows "/" there, and keeps
// the name as printed in toolPath for the tools.
void separateFolders(QList<ArchivePreviewEntry>& entries);

// What a name component the listing could not decode becomes: an extracted item keeps the tool's
// name, as a whole archive's items do; a preview, which only needs a file that can be opened, takes
// the name as listed (ToolText::readableName).
enum class Undecodable { keepToolName, nameAsListed };

// After a selection was extracted: each name component as the listing decoded it, by its bytes; a
// component whose "\" separateFolders showed as "/" decodes to its pieces joined by "\" again.
QHash<QByteArray, QString> componentDecodings(const QList<ArchivePreviewEntry>& entries,
                                              Undecodable undecodable);

}  // namespace LegacyNameRows
