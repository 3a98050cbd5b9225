#pragma once

#include <QString>
#include <QStringList>

// Takes the user's items out of the way after an operation that no longer needs them: into the
// desktop's trash, never deleted for good. An item that cannot go to the trash stays where it is.
namespace SourceTrash {

// What a run's move to the trash did: the items that went and those that stayed, each in order.
struct Outcome {
    QStringList trashed;
    QStringList stayed;
};

// Moves each path to the trash. A path that no longer exists has nothing left to move and counts
// neither as trashed nor as staying.
Outcome trash(const QStringList& paths);
// The paths that stayed.
QStringList moveToTrash(const QStringList& paths);

// The sources of a compression whose archives are all written. A source holding one of the archives
// (the destination inside a compressed folder) stays, or the archive would go with it.
Outcome trashCompressedSources(const QStringList& sources, const QStringList& archives);

// An extracted archive and, when it is a volume of a set, every volume of that set found beside it.
QStringList archiveAndVolumes(const QString& archiveURL);

// Nothing when nothing went; else "；" and how many went to the trash and which (the first three).
QString trashedNotice(const QStringList& trashed);
// Nothing when every item went; else "；" and how many stayed and which (the first three by name).
QString untrashedNotice(const QStringList& untrashed);

}  // namespace SourceTrash
