#pragma once

#include "core/base/ArchiveFormat.h"
#include "core/base/CancellationToken.h"
#include "core/engine/ProcessResult.h"

#include <QList>
#include <QStringList>
#include <functional>
#include <optional>

// The one order in which programs open an archive, for whole extractions, the browser's entry
// extractions and its listings alike, and when one may hand over to the next.
namespace ToolFallback {

enum class Program { sevenZip, unrar, infoZip };

// RAR: unrar, then 7-Zip (Debian's 7-Zip reads no RAR). ZIP: 7-Zip, then Info-ZIP. ZIPX: 7-Zip, then
// Info-ZIP only with a password, since unzip knows none of ZIPX's own methods and only an encrypted
// one is worth its try. Every other kind, and a numbered volume (no kind), 7-Zip alone.
QList<Program> order(std::optional<ArchiveFormat::Kind> kind, bool hasPassword);

// One program's run; nothing when that program is not installed.
using Attempt = std::function<std::optional<ProcessResult>(Program)>;

// Runs attempt for the programs in order until one succeeds or fails for a reason of the archive's
// own: the next program tries only after a missing program or a 7-Zip that could not open the file
// as an archive at all or does not support a method (ExtractionSteps::sevenZipCannotHandle). A wrong
// password or damaged data is the outcome, and a cancelled run never hands over (CancellationError).
// Returns the deciding run; nothing when none of the programs is installed.
std::optional<ProcessResult> runInOrder(const QList<Program>& programs, const Attempt& attempt,
                                        const QStringList& echoedNames, const CancellationToken& token);

}  // namespace ToolFallback
