#pragma once

#include "core/base/ArchiveFormat.h"
#include "core/base/CancellationToken.h"
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

// What each program does in one step; a program without one is passed over.
struct Attempts {
    std::function<ProcessResult(const SevenZipTool&)> sevenZip;
    std::function<ProcessResult()> zipReader;
    std::function<ProcessResult(const UnrarTool&)> unrar;
    std::function<ProcessResult(const InfoZipTool&)> infoZip;
    std::function<ProcessResult(const TarTool&)> tar;
    // Whether a step that succeeded left the caller nothing to use (a listing of garbled names); such
    // a step hands over like a failed one. Unset: every success decides.
    std::function<bool(Program)> unusable;
    // The folder the steps write into, when they do: emptied before a program that follows another's
    // run, so that nothing a failed run wrote passes for the next one's.
    QString outputFolder;
};

// The run that decided, and the program that made it.
struct Run {
    Program program;
    ProcessResult result;
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

}  // namespace ToolFallback
