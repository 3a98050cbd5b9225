#pragma once

#include <QString>

// The desktop's trash as freedesktop.org's trash standard lays it out: an item on the home
// file system goes to $XDG_DATA_HOME/Trash, one on another mount to that mount's $topdir/.Trash/$uid
// or $topdir/.Trash-$uid. Its record in info/ is made first, exclusively, then the item is renamed into
// files/ under the same name; the record's Path is percent-encoded byte for byte, so every name comes
// back as it was. Nothing is ever copied: an item that cannot be renamed into a trash stays. The trash is
// chosen by where the item really is (a folder on the way may be a link to another file system); a
// name too long for its record's name is kept under a shortened one. A record is in the work journal
// until its item is in files/, so a start after a kill between the two removes it.
namespace DesktopTrash {

// False when the item stayed where it was.
bool moveToTrash(const QString& path);

// The rename into files/, which tests replace to stop between the record and the move.
struct SystemCalls {
    int (*rename)(const char* from, const char* to);
};
extern SystemCalls systemCalls;

}  // namespace DesktopTrash
