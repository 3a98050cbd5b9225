#pragma once

#include "core/content/ArchivePreviewEntry.h"

#include <QIcon>

// The icon of an archive entry or of a file: a folder for folder rows, else the icon theme's icon
// for the file's type, else a plain document; never a null icon. Looked up once per file type.
namespace ArchiveEntryIcon {

QIcon icon(const ArchivePreviewEntry& entry);
// By a file name's extension; for the type's own icon name (a MIME icon name) when it is known.
QIcon fileIcon(const QString& fileName);
QIcon folderIcon();

}  // namespace ArchiveEntryIcon
