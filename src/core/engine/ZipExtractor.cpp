#include "core/engine/ZipExtractor.h"

#include "core/base/ArchiveFormat.h"
#include "core/base/ZipDirectoryReading.h"
#include "core/engine/ExtractionStaging.h"
#include "core/engine/ExtractionSteps.h"
#include "core/engine/LegacyNameRenamer.h"
#include "core/engine/ToolFailure.h"
#include "core/engine/ToolFailureText.h"
#include "core/engine/ToolFallback.h"

ZipExtractor::ZipExtractor(ArchivePrograms programs) : m_programs(std::move(programs)) {}

bool ZipExtractor::canHandle(const QString& fileURL) const {
    return ArchiveFormat::family(fileURL) == ArchiveFormat::Family::zip;
}

int ZipExtractor::extract(const QString& fileURL, const QString& destinationURL,
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
    ZipDirectoryReading directory(fileURL);
    LegacyNameRenamer::renameExtractedArchive(staging.path(),
                                              [&directory] { return directory.legacyNameSource(); });
    if (directory.separatesFoldersWithBackslash()) LegacyNameRenamer::separateFolders(staging.path());
    return static_cast<int>(staging.commit(token).size());
}

void ZipExtractor::extractInto(const QString& fileURL, const QString& destinationURL,
                               const std::optional<QString>& password, int threadCount,
                               const CancellationToken& token) const {
    const QStringList echoedNames{fileURL, destinationURL};
    const std::optional<ToolFallback::Run> run =
        ToolFallback::extractWhole(m_programs, fileURL, destinationURL, threadCount, password, token);
    if (!run) {
        if (ArchiveFormat::kind(fileURL) == ArchiveFormat::Kind::zipx)
            throw ArchiveError::dependencyMissing(
                ArchiveError::withReinstallAdvice(QStringLiteral(u"ZIPX 解压需要 7-Zip 工具")));
        throw ArchiveError::dependencyMissing(
            ArchiveError::withReinstallAdvice(QStringLiteral(u"ZIP 解压工具不可用")));
    }
    if (run->result.status == 0) return;
    throw ToolFailure::mapExternalError(run->result, ToolFailureText::extractingToolFailed(run->program),
                                        echoedNames);
}
