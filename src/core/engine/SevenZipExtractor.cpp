#include "core/engine/SevenZipExtractor.h"

#include "core/base/ArchiveFormat.h"
#include "core/engine/ArchiveError.h"
#include "core/engine/CompoundTar.h"
#include "core/engine/ExtractionStaging.h"
#include "core/engine/ExtractionSteps.h"
#include "core/engine/LegacyNameRenamer.h"

SevenZipExtractor::SevenZipExtractor(ArchivePrograms programs) : m_programs(std::move(programs)) {}

bool SevenZipExtractor::canHandle(const QString& fileURL) const {
    return ArchiveFormat::family(fileURL) == ArchiveFormat::Family::sevenZip;
}

int SevenZipExtractor::extract(const QString& fileURL, const QString& destinationURL,
                               const std::optional<QString>& password, int threadCount,
                               const CancellationToken& token) {
    ExtractionSteps::requireItem(fileURL);
    ExtractionStaging staging(destinationURL);
    if (CompoundTar::isCompoundTar(fileURL)) {
        extractCompoundTarArchive(fileURL, staging.path(), password, threadCount, token);
    } else {
        extractSingleArchive(fileURL, staging.path(), password, threadCount, token);
    }
    // Only TAR among these stores names as bytes; the others store Unicode.
    if (CompoundTar::isCompoundTar(fileURL) || ArchiveFormat::kind(fileURL) == ArchiveFormat::Kind::tar)
        LegacyNameRenamer::renameExtractedArchive(staging.path(),
                                                  [] { return LegacyNames::Source::fileSystemBytes; });
    return static_cast<int>(staging.commit(token).size());
}

void SevenZipExtractor::extractCompoundTarArchive(const QString& fileURL, const QString& destinationURL,
                                                  const std::optional<QString>& password, int threadCount,
                                                  const CancellationToken& token) const {
    const CompoundTar::WorkFolder work;
    extractSingleArchive(fileURL, work.path(), password, threadCount, token);
    // The password protected the outer file only.
    extractSingleArchive(CompoundTar::locateTarFile(work.path(), fileURL), destinationURL, std::nullopt,
                         threadCount, token);
}

void SevenZipExtractor::extractSingleArchive(const QString& fileURL, const QString& destinationURL,
                                             const std::optional<QString>& password, int threadCount,
                                             const CancellationToken& token) const {
    const std::optional<SevenZipTool> sevenZip = m_programs.sevenZipTool();
    if (!sevenZip)
        throw ArchiveError::dependencyMissing(QStringLiteral(u"7Z 解压工具不可用，请重新安装 velmora。"));
    const ProcessResult result = sevenZip->extract(fileURL, destinationURL, threadCount, password, token);
    if (result.status != 0) {
        throw ExtractionSteps::mapExternalError(
            result, ExtractionSteps::extractingToolFailed(ToolFallback::Program::sevenZip),
            {fileURL, destinationURL});
    }
}
