#pragma once

#include "core/base/CancellationToken.h"
#include "core/engine/ArchivePrograms.h"
#include "core/engine/ProcessResult.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

// The one order in which programs open an archive, for whole extractions, the password probe, the
// browser's entry extractions and its edits alike, and when one may hand over to the next.
namespace ToolFallback {

enum class Program { sevenZip, unrar, infoZip };

// RAR, old-scheme RAR volumes (name.r00) included: unrar, then 7-Zip (Debian's 7-Zip reads no RAR).
// ZIP: 7-Zip, then Info-ZIP. ZIPX: 7-Zip, then Info-ZIP only with a password, since unzip knows none
// of ZIPX's own methods and only an encrypted one is worth its try. Every other kind, and a numbered
// volume (a.7z.001, a.z01), 7-Zip alone.
QList<Program> order(const QString& fileURL, bool hasPassword);

// What each program does in one step; a program without one is passed over.
struct Attempts {
    std::function<ProcessResult(const SevenZipTool&)> sevenZip;
    std::function<ProcessResult(const UnrarTool&)> unrar;
    std::function<ProcessResult(const InfoZipTool&)> infoZip;
};

// The run that decided, and the program that made it.
struct Run {
    Program program;
    ProcessResult result;
};

// Runs the attempts of the installed programs in order until one succeeds or fails for a reason of
// the archive's own: the next program tries only after a missing program or a 7-Zip that could not
// open the file as an archive at all or does not support a method
// (ExtractionSteps::sevenZipCannotHandle). A wrong password or damaged data is the outcome, and a
// cancelled run never hands over (CancellationError). Nothing when none of the programs is installed.
std::optional<Run> runInOrder(const ArchivePrograms& programs, const QList<Program>& order,
                              const Attempts& attempts, const QStringList& echoedNames,
                              const CancellationToken& token);

}  // namespace ToolFallback
