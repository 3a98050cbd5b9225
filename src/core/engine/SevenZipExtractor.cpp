#include "core/engine/SevenZipExtractor.h"

#include "core/base/ArchiveFormat.h"
#include "core/engine/ArchiveError.h"
#include "core/engine/ArchiveTools.h"
#include "core/engine/CompoundTar.h"
#include "core/engine/ExtractionStaging.h"
#include "core/engine/ExtractionSteps.h"
#include "core/engine/LegacyNameRenamer.h"
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
    if (CompoundTar::isCompoundTar(fileURL)) {
        extractCompoundTarArchive(fileURL, staging.path(), password, threadCount, token);
    } else if (ArchiveFormat::kind(fileURL) == ArchiveFormat::Kind::tar) {
        extractTar(fileURL, staging.path(), threadCount, {fileURL}, token);
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
    const QString tarFile = CompoundTar::locateTarFile(work.path(), fileURL);
    extractTar(tarFile, destinationURL, threadCount, {fileURL, tarFile}, token);
}

// GNU tar first, 7-Zip after a failure (ToolFallback): a TAR's files come out as GNU tar writes them.
void SevenZipExtractor::extractTar(const QString& tarFile, const QString& destinationURL, int threadCount,
                                   const QStringList& echoedNames, const CancellationToken& token) const {
    ToolFallback::Attempts attempts;
    attempts.outputFolder = destinationURL;
    attempts.tar = [&](const TarTool& tar) {
        return tar.extract(tarFile, destinationURL, {}, ArchiveTools::kLongRunTimeout, token);
    };
    attempts.sevenZip = [&](const SevenZipTool& sevenZip) {
        return sevenZip.extract(tarFile, destinationURL, threadCount, std::nullopt, token);
    };
    const QStringList echoed = echoedNames + QStringList{destinationURL};
    const std::optional<ToolFallback::Run> run = ToolFallback::runInOrder(
        m_programs, ToolFallback::order(ArchiveFormat::Kind::tar, false), attempts, echoed, token);
    if (!run)
        throw ArchiveError::dependencyMissing(QStringLiteral(u"7Z 解压工具不可用，请重新安装 velmora。"));
    if (run->result.status == 0) return;
    throw ExtractionSteps::mapExternalError(run->result, ExtractionSteps::extractingToolFailed(run->program),
                                            echoed);
}

void SevenZipExtractor::extractSingleArchive(const QString& fileURL, const QString& destinationURL,
                                             const std::optional<QString>& password, int threadCount,
                                             const CancellationToken& token) const {
    const std::optional<SevenZipTool> sevenZip = m_programs.sevenZipTool();
    if (!sevenZip)
        throw ArchiveError::dependencyMissing(
            ArchiveError::withReinstallAdvice(QStringLiteral(u"7Z 解压工具不可用")));
    const ProcessResult result = sevenZip->extract(fileURL, destinationURL, threadCount, password, token);
    if (result.status != 0) {
        throw ExtractionSteps::mapExternalError(
            result, ExtractionSteps::extractingToolFailed(ToolFallback::Program::sevenZip),
            {fileURL, destinationURL});
    }
}
