#pragma once

#include <QByteArray>

// The removal of a tree velmora made for its own work (an extraction's private folder, a compressed
// TAR's unpacked layer, previews, a staged copy), by every sweep of such work: at the end of a run and
// at a later start alike.
namespace WorkTree {

// Removes the item at nativePath with everything in it, never following a link. A tool may leave
// folders its owner cannot write or enter (a TAR of read-only folders, a folder of mode 000), and so
// may a staged copy of the user's: each folder is given its owner's read, write and search permission
// before its contents go. Returns 0 when nothing is left at the path, else the reason (an error
// number) of the first removal that failed.
int remove(const QByteArray& nativePath);

}  // namespace WorkTree
