#pragma once

#include "core/base/CancellationToken.h"
#include "platform/WorkJournal.h"

#include <QByteArray>
#include <QString>
#include <QtGlobal>

#include <functional>

// Renames that never replace: what already has the name (a dangling link included) stays, and a name
// taken after it looked free is not overwritten either. Paths go to the system as ToolText encodes them.
namespace ExclusiveRename {

// How many names toFreeName tries before it gives up: a file system that answers every move with
// "taken" would otherwise keep it trying for good.
inline constexpr qint64 kMaxNames = 1000;

// 0 when moved, EEXIST when something has the name, else the error. RENAME_NOREPLACE; on a file system
// without it, the name is first taken exclusively for a placeholder of velmora's own (an empty folder for
// a folder, else an empty file), recorded in journal (when there is one) so that a start after a kill
// removes it, and replaced by a plain rename only while it is still that empty placeholder. A failed
// rename removes it again. Where no folder may replace another (fusefat, whose folder renames also lose
// what the folder holds), the folder's placeholder takes its contents instead, file by file; when that
// fails, only what was moved in is taken out again.
int rename(const QString& from, const QString& to, WorkJournal::Record* journal);

// Moves an item into folder under the first free name of nameFor(0), nameFor(1), ... (at most kMaxNames
// of them) and returns its new path. Throws CancellationError once token is cancelled, and
// FileSystemError (createFailed for a folder, saveFailed for anything else) when a move fails for
// another reason or no name was free. Each numbered name is recorded in journal before it is tried,
// so that a start after a kill can take an item of journal's moves back from it.
QString toFreeName(const QString& item, const QString& folder, const std::function<QString(qint64)>& nameFor,
                   WorkJournal::Record* journal, const CancellationToken& token);

// The two renames this makes, which tests replace to act as a file system without RENAME_NOREPLACE.
struct SystemCalls {
    int (*renameNoReplace)(const char* from, const char* to);
    int (*rename)(const char* from, const char* to);
};
extern SystemCalls systemCalls;

}  // namespace ExclusiveRename
