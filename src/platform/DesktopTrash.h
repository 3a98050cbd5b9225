#pragma once

#include <QString>

// The desktop's trash as freedesktop.org's trash standard lays it out: an item on the home
// file system goes to $XDG_DATA_HOME/Trash, one on another mount to that mount's $topdir/.Trash/$uid
// or $topdir/.Trash-$uid. Its record in info/ is made first, exclusively, then the item is renamed into
// files/ under the same name; the record's Path is percent-encoded byte for byte, so every name comes
// back as it was. Nothing is ever copied: an item that cannot be renamed into a trash stays.
namespace DesktopTrash {

// False when the item stayed where it was.
bool moveToTrash(const QString& path);

}  // namespace DesktopTrash
