#include "core/engine/ToolFallback.h"

#include "core/engine/ExtractionSteps.h"

namespace ToolFallback {

QList<Program> order(std::optional<ArchiveFormat::Kind> kind, bool hasPassword) {
    switch (kind.value_or(ArchiveFormat::Kind::sevenZip)) {
        case ArchiveFormat::Kind::rar:
            return {Program::unrar, Program::sevenZip};
        case ArchiveFormat::Kind::zip:
            return {Program::sevenZip, Program::infoZip};
        case ArchiveFormat::Kind::zipx:
            if (hasPassword) return {Program::sevenZip, Program::infoZip};
            return {Program::sevenZip};
        default:
            return {Program::sevenZip};
    }
}

std::optional<ProcessResult> runInOrder(const QList<Program>& programs, const Attempt& attempt,
                                        const QStringList& echoedNames, const CancellationToken& token) {
    std::optional<ProcessResult> deciding;
    for (const Program program : programs) {
        token.throwIfCancelled();
        const std::optional<ProcessResult> result = attempt(program);
        if (!result) continue;
        deciding = result;
        const bool handsOver =
            program == Program::sevenZip && ExtractionSteps::sevenZipCannotHandle(*result, echoedNames);
        if (result->status == 0 || !handsOver) return deciding;
    }
    return deciding;
}

}  // namespace ToolFallback
