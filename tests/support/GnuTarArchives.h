#pragma once

#include "support/TempTree.h"

#include <QMap>
#include <QString>

// TARs that only GNU tar (and bsdtar) read as written, made with the installed tar: 7-Zip turned each
// into other files without a word of warning.
namespace GnuTarArchives {

// The sparse file's size: data in a few blocks, holes between them.
inline constexpr qint64 kSparseSize = 3101184;

// Makes every such TAR under <tree>/gnutar and returns their paths by name:
// - "sparse-0.0.tar", "sparse-0.1.tar", "sparse-1.0.tar" (tar --sparse --posix, each sparse format),
//   "sparse-gnu.tar" and "sparse-1.0.tgz", each holding sparse.bin;
// - "oldgnu-times.tar": old GNU headers with access and change times, holding d/test-times.txt;
// - "incremental.tar": a level-0 dump of d/ with f.txt "v1", then a level-1 dump appended after f.txt
//   became "v2-longer";
// - "no-end-blocks.tar": d/ with its files, cut before the zero blocks that end an archive.
QMap<QString, QString> make(TempTree& tree);

}  // namespace GnuTarArchives
