#include "core/engine/SevenZipExtractor.h"

#include "core/base/ArchiveFormat.h"
#include "core/engine/ArchiveError.h"
#include "core/engine/CompoundTar.h"
#include "core/engine/ExtractionStaging.h"
#include "core/engine/ExtractionSteps.h"
#include "core/engine/LegacyNameRenamer.h"
#include "core/engine/ToolFailure.h"
#include "core/engine/ToolFailureText.h"
#include "core/engine/ToolFallback.h"

SevenZipExtractor::SevenZipExtractor(ArchivePrograms programs) : m_programs(std::move(programs)) {}

bool SevenZipExtractor::canHandle(const QString& fileURL) const {
    return ArchiveFormat::family(fileURL) == ArchiveFormat::Family::sevenZip;
}

int SevenZipExtractor::extract(const QString& fileURL, const QString& destinationURL,
                               const std::optional<QString>& password, int threadCount,
                               const CancellationToken& token) {
    ExtractionSteps::requireItem(fileURL);
    ExtractionStaging staging(destinationURL);
    const bool tar =
        CompoundTar::isCompoundTar(fileURL) || ArchiveFormat::kind(fileURL) == ArchiveFormat::Kind::tar;
    try {
        extractInto(fileURL, staging.path(), password, threadCount, token);
    } catch (const ArchiveError& error) {
        throw ExtractionSteps::atDestination(error, destinationURL);
    }
    ExtractionSteps::requireExtracted(staging.path());
    // Only TAR among these stores names as bytes; the others store Unicode.
    if (tar)
        LegacyNameRenamer::renameExtractedArchive(staging.path(),
                                                  [] { return LegacyNames::Source::fileSystemBytes; });
    return static_cast<int>(staging.commit(token).size());
}

void SevenZipExtractor::extractInto(const QString& fileURL, const QString& destinationURL,
                                    const std::optional<QString>& password, int threadCount,
                                    const CancellationToken& token) const {
    const QStringList echoedNames{fileURL, destinationURL};
    const std::optional<ToolFallback::Run> run =
        ToolFallback::extractWhole(m_programs, fileURL, destinationURL, threadCount, password, token);
    if (!run)
        throw ArchiveError::dependencyMissing(
            ArchiveError::withReinstallAdvice(QStringLiteral(u"7Z 解压工具不可用")));
    if (run->result.status == 0) return;
    throw ToolFailure::mapExternalError(run->result, ToolFailureText::extractingToolFailed(run->program),
                                        echoedNames);
}
