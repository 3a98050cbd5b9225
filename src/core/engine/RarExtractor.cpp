#include "core/engine/RarExtractor.h"

#include "core/base/ArchiveFormat.h"
#include "core/engine/ArchiveError.h"
#include "core/engine/ExtractionStaging.h"
#include "core/engine/ExtractionSteps.h"
#include "core/engine/ToolFailure.h"
#include "core/engine/ToolFailureText.h"
#include "core/engine/ToolFallback.h"

namespace {

ArchiveError rarToolMissing() {
    return ArchiveError::dependencyMissing(
        ArchiveError::withReinstallAdvice(QStringLiteral(u"RAR 解压工具不可用")));
}

}  // namespace

RarExtractor::RarExtractor(ArchivePrograms programs) : m_programs(std::move(programs)) {}

bool RarExtractor::canHandle(const QString& fileURL) const {
    return ArchiveFormat::family(fileURL) == ArchiveFormat::Family::rar;
}

int RarExtractor::extract(const QString& fileURL, const QString& destinationURL,
                          const std::optional<QString>& password, int threadCount,
                          const CancellationToken& token) {
    ExtractionSteps::requireItem(fileURL);
    ExtractionStaging staging(destinationURL);
    try {
        extractInto(fileURL, staging.path(), password, threadCount, token);
    } catch (const ArchiveError& error) {
        throw ExtractionSteps::atDestination(error, destinationURL);
    }
    ExtractionSteps::requireExtracted(staging.path());
    return static_cast<int>(staging.commit(token).size());
}

void RarExtractor::extractInto(const QString& fileURL, const QString& destinationURL,
                               const std::optional<QString>& password, int threadCount,
                               const CancellationToken& token) const {
    const QStringList echoedNames{fileURL, destinationURL};
    const std::optional<ToolFallback::Run> run =
        ToolFallback::extractWhole(m_programs, fileURL, destinationURL, threadCount, password, token);
    if (!run) throw rarToolMissing();
    if (run->result.status == 0) return;
    // Without unrar, a 7-Zip without RAR support leaves no program that opens it.
    if (run->program == ToolFallback::Program::sevenZip && !m_programs.unrarTool() &&
        run->outcome == ToolOutcome::unreadable)
        throw rarToolMissing();
    throw ToolFailure::mapExternalError(run->result, ToolFailureText::extractingToolFailed(run->program),
                                        echoedNames);
}
