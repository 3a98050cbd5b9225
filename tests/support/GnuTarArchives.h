#pragma once

#include "support/TempTree.h"

#include <QMap>
#include <QString>

// TARs that 7-Zip turned into other files without a warning, made with the installed GNU tar.
namespace GnuTarArchives {

inline constexpr qint64 kSparseSize = 3101184;

// Under <tree>/gnutar, by name: "sparse-0.0.tar", "sparse-0.1.tar", "sparse-1.0.tar" (tar --sparse
// --posix), "sparse-gnu.tar" and "sparse-1.0.tgz" of sparse.bin (a few written blocks, holes between);
// "oldgnu-times.tar" (old GNU headers with access and change times) of d/test-times.txt;
// "incremental.tar", a dump of d/ with f.txt "v1" and one appended after f.txt became "v2-longer";
// "no-end-blocks.tar" of d/a.txt and d/b.txt without the zero blocks that end an archive.
QMap<QString, QString> make(TempTree& tree);

}  // namespace GnuTarArchives
