#pragma once

#include "support/TempTree.h"

#include <QMap>

// TARs that 7-Zip turned into other files without a warning, made with GNU tar in tree, by name: sparse
// ones of sparse/sparse.bin, old GNU, an incremental dump with d/f.txt twice, one without end blocks.
namespace GnuTarArchives {

QMap<QString, QString> make(TempTree& tree);

}  // namespace GnuTarArchives
