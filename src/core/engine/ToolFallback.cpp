#include "core/engine/ToolFallback.h"

#include "core/base/ArchiveFormat.h"
#include "core/engine/ExtractionSteps.h"

namespace ToolFallback {

namespace {

// The program's attempt, when the program is installed and has one.
std::optional<ProcessResult> attempt(const ArchivePrograms& programs, Program program,
                                     const Attempts& attempts) {
    switch (program) {
        case Program::sevenZip:
            if (const std::optional<SevenZipTool> tool = programs.sevenZipTool(); tool && attempts.sevenZip)
                return attempts.sevenZip(*tool);
            break;
        case Program::zipReader:
            if (attempts.zipReader) return attempts.zipReader();
            break;
        case Program::unrar:
            if (const std::optional<UnrarTool> tool = programs.unrarTool(); tool && attempts.unrar)
                return attempts.unrar(*tool);
            break;
        case Program::infoZip:
            if (const std::optional<InfoZipTool> tool = programs.infoZipTool(); tool && attempts.infoZip)
                return attempts.infoZip(*tool);
            break;
    }
    return std::nullopt;
}

// Whether the next program may try after this run (see runInOrder).
bool handsOver(const Run& run, const Attempts& attempts, const QStringList& echoedNames) {
    if (run.result.status == 0) return attempts.unusable && attempts.unusable(run.program);
    return run.program == Program::sevenZip && ExtractionSteps::sevenZipCannotHandle(run.result, echoedNames);
}

}  // namespace

QList<Program> order(const QString& fileURL, bool hasPassword) {
    if (ArchiveFormat::kindOrSetKind(fileURL) == ArchiveFormat::Kind::rar)
        return {Program::unrar, Program::sevenZip};
    const std::optional<ArchiveFormat::Kind> kind = ArchiveFormat::kind(fileURL);
    if (kind == ArchiveFormat::Kind::zip) return {Program::sevenZip, Program::zipReader, Program::infoZip};
    if (kind == ArchiveFormat::Kind::zipx && hasPassword) return {Program::sevenZip, Program::infoZip};
    return {Program::sevenZip};
}

std::optional<Run> runInOrder(const ArchivePrograms& programs, const QList<Program>& order,
                              const Attempts& attempts, const QStringList& echoedNames,
                              const CancellationToken& token) {
    std::optional<Run> deciding;
    for (const Program program : order) {
        token.throwIfCancelled();
        std::optional<ProcessResult> result = attempt(programs, program, attempts);
        if (!result) continue;
        deciding = Run{program, std::move(*result)};
        if (!handsOver(*deciding, attempts, echoedNames)) break;
    }
    return deciding;
}

}  // namespace ToolFallback
