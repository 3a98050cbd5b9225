#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

#include <functional>

// Renames that never replace: what already has the name (a dangling link included) stays, and a name
// taken after it looked free is not overwritten either. Paths go to the system as ToolText encodes them.
namespace ExclusiveRename {

// 0 when moved, EEXIST when something has the name, else the error. RENAME_NOREPLACE; on a file system
// without it, a hard link (or, for a folder, a new empty folder that a rename replaces), which takes the
// name exclusively too.
int rename(const QString& from, const QString& to);

// Moves an item into folder under the first free name of nameFor(0), nameFor(1), ... and returns its new
// path. Throws FileSystemError (createFailed) when a move fails for another reason.
QString toFreeName(const QString& item, const QString& folder, const std::function<QString(qint64)>& nameFor);

}  // namespace ExclusiveRename
