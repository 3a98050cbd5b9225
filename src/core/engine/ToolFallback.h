#pragma once

#include "core/base/ArchiveFormat.h"
#include "core/base/CancellationToken.h"
#include "core/engine/ArchiveDriver.h"
#include "core/engine/ArchivePrograms.h"
#include "core/engine/ProcessResult.h"
#include "core/engine/ToolProgram.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

// The one order in which programs open an archive, for whole extractions, the password probe, the
// browser's listings, entry extractions and edits alike, and when one may hand over to the next.
namespace ToolFallback {

// Only a listing has a step for the ZIP reader.
using Program = ToolProgram;

// The programs of the archive's kind, in its row's order (ArchiveKindTable: RAR unrar then 7-Zip, ZIP
// 7-Zip, the ZIP reader, then Info-ZIP, ZIPX 7-Zip then Info-ZIP with a password only, TAR and
// compressed TAR GNU tar then 7-Zip, every other kind 7-Zip alone). A RAR volume of either scheme opens
// as RAR (ArchiveFormat::kindOrSetKind); the other numbered pieces (a.7z.001, a.zip.001, a.z01) only
// 7-Zip joins, so 7-Zip alone.
QList<Program> order(const QString& fileURL, bool hasPassword);

// What each program does in one step, asked through its driver (ArchiveDriver); a program whose driver
// gives nothing, or that is not installed, is passed over.
struct Attempts {
    std::function<std::optional<ProcessResult>(const ArchiveDriver&)> step;
    // velmora's own ZIP reader, which no driver runs; unset, it is passed over.
    std::function<ProcessResult()> zipReader;
    // Whether a step that succeeded left the caller nothing to use (a listing of garbled names); such
    // a step hands over like a failed one. Unset: every success decides.
    std::function<bool(Program)> unusable;
    // The folder the steps write into, when they do: emptied before a program that follows another's
    // run, so that nothing a failed run wrote passes for the next one's.
    QString outputFolder;
};

// The run that decided, the program that made it and that program's verdict on it (ArchiveDriver::
// classify).
struct Run {
    Program program;
    ProcessResult result;
    ToolOutcome outcome;
};

// Runs the attempts of the installed programs in order until one succeeds or fails for a reason every
// program would meet (ToolFailure::namedFailure: a wrong password, a missing volume, a full disk, a
// refused link, ...), which is the outcome. After any other failure (damaged data, a file it cannot
// open as an archive, words that name nothing known), a missing program or an unusable success the
// next program tries: an archive is damaged only when every program failed, or when one names an entry
// no program should make up (ArchiveError::corruptedEntry: GNU tar's hard link without a target). Then
// the first failure that says most decides, also over an unusable success between the failures (damage
// before words that name nothing known; a 7-Zip that cannot open the
// file, or only warned, says nothing beside another program's failure). A cancelled run never hands over
// (CancellationError). Nothing when none of the programs is installed.
std::optional<Run> runInOrder(const ArchivePrograms& programs, const QList<Program>& order,
                              const Attempts& attempts, const QStringList& echoedNames,
                              const CancellationToken& token);

// The whole archive extracted into destination by its programs in order (runInOrder), the names
// echoed being the archive's and the destination's; destination is emptied before each program that
// follows another.
std::optional<Run> extractWhole(const ArchivePrograms& programs, const QString& archive,
                                const QString& destination, int threadCount,
                                const std::optional<QString>& password, const CancellationToken& token);

}  // namespace ToolFallback
