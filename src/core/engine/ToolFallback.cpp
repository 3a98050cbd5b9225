#include "core/engine/ToolFallback.h"

#include "core/base/ArchiveFormat.h"
#include "core/base/FileNameHelper.h"
#include "core/base/SplitArchiveDetector.h"
#include "core/engine/ExtractionSteps.h"

namespace ToolFallback {

namespace {

bool isOldRarVolume(const QString& fileURL) {
    const std::optional<SplitArchiveDetector::Match> volume =
        SplitArchiveDetector::detect(FileNameHelper::lastPathComponent(fileURL));
    return volume && volume->format == SplitArchiveFormat::rarOld;
}

// The program's attempt, when the program is installed and has one.
std::optional<ProcessResult> attempt(const ArchivePrograms& programs, Program program,
                                     const Attempts& attempts) {
    switch (program) {
        case Program::sevenZip:
            if (const std::optional<SevenZipTool> tool = programs.sevenZipTool(); tool && attempts.sevenZip)
                return attempts.sevenZip(*tool);
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

}  // namespace

QList<Program> order(const QString& fileURL, bool hasPassword) {
    const std::optional<ArchiveFormat::Kind> kind = ArchiveFormat::kind(fileURL);
    if (kind == ArchiveFormat::Kind::rar || (!kind && isOldRarVolume(fileURL)))
        return {Program::unrar, Program::sevenZip};
    if (kind == ArchiveFormat::Kind::zip || (kind == ArchiveFormat::Kind::zipx && hasPassword))
        return {Program::sevenZip, Program::infoZip};
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
        const bool handsOver = program == Program::sevenZip &&
                               ExtractionSteps::sevenZipCannotHandle(deciding->result, echoedNames);
        if (deciding->result.status == 0 || !handsOver) break;
    }
    return deciding;
}

}  // namespace ToolFallback
