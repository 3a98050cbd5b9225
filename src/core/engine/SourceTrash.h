#pragma once

#include <QString>
#include <QStringList>

// Takes the user's items out of the way after an operation that no longer needs them: into the
// desktop's trash, never deleted for good. An item that cannot go to the trash stays where it is.
namespace SourceTrash {

// Moves each path to the trash; returns those that stayed, in order. A path that no longer exists
// has nothing left to move and does not count as staying.
QStringList moveToTrash(const QStringList& paths);

// The sources of a compression whose archives are all written. A source holding one of the archives
// (the destination inside a compressed folder) stays, or the archive would go with it.
QStringList trashCompressedSources(const QStringList& sources, const QStringList& archives);

// An extracted archive and, when it is a volume of a set, every volume of that set found beside it.
QStringList archiveAndVolumes(const QString& archiveURL);

// Nothing when every item went; else "；" and how many stayed and which (the first three by name).
QString untrashedNotice(const QStringList& untrashed);

}  // namespace SourceTrash
