#pragma once

#include <QHash>
#include <QString>

// Where an archive's symbolic links lead once extracted, worked out from the archive's own paths before
// anything is written: a tool's check can be stricter than the kernel (7-Zip refuses "d/up -> ..") or
// silent (unrar skips a link leading out and calls the run a success).
namespace ArchiveLinks {

// Link path (relative to the output folder, no "." or ".." in it) -> its stored target.
using Links = QHash<QString, QString>;

// Whether following the link at linkPath, as the kernel would through the archive's other links,
// leads out of the output folder. An absolute target leads out; a loop leads nowhere, not out.
bool leadsOut(const QString& linkPath, const QString& target, const Links& links = {});

}  // namespace ArchiveLinks
