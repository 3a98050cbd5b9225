#include "core/engine/SevenZipExtractor.h"

#include "core/base/ArchiveFormat.h"
#include "core/engine/ArchiveError.h"
#include "core/engine/ArchiveTools.h"
#include "core/engine/CompoundTar.h"
#include "core/engine/ExtractionStaging.h"
#include "core/engine/ExtractionSteps.h"
#include "core/engine/LegacyNameRenamer.h"
#include "core/engine/ToolFailure.h"
#include "core/engine/ToolFailureText.h"
#include "core/engine/ToolFallback.h"
#include "platform/PrivateTempDirectory.h"

#include <QFileInfo>

#include <cerrno>

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
        if (tar)
            extractTar(fileURL, staging.path(), threadCount, password, token);
        else
            extractSingleArchive(fileURL, staging.path(), password, threadCount, token);
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

// GNU tar first, 7-Zip after a failure (ToolFallback): a TAR's files come out as GNU tar writes them.
void SevenZipExtractor::extractTar(const QString& fileURL, const QString& destinationURL, int threadCount,
                                   const std::optional<QString>& password,
                                   const CancellationToken& token) const {
    // Read by the fallback as the run goes: 7-Zip's inner TAR is named once it is unpacked.
    QStringList echoed{fileURL, destinationURL};
    bool innerTarUnpacked = false;
    ToolFallback::Attempts attempts;
    attempts.outputFolder = destinationURL;
    attempts.tar = [&](const TarTool& tar) {
        return tar.extract(fileURL, destinationURL, {}, ArchiveTools::kLongRunTimeout, token);
    };
    attempts.sevenZip = [&](const SevenZipTool& sevenZip) {
        if (!CompoundTar::isCompoundTar(fileURL))
            return sevenZip.extract(fileURL, destinationURL, threadCount, std::nullopt, token);
        return CompoundTar::throughInnerTar(
            fileURL,
            // The password protects the outer file only.
            [&](const QString& work) {
                return sevenZip.extract(fileURL, work, threadCount, password, token);
            },
            [&](const QString& tarFile) {
                echoed.append(tarFile);
                innerTarUnpacked = true;
                return sevenZip.extract(tarFile, destinationURL, threadCount, std::nullopt, token);
            });
    };
    const std::optional<ToolFallback::Run> run =
        ToolFallback::runInOrder(m_programs, ToolFallback::order(fileURL, false), attempts, echoed, token);
    if (!run)
        throw ArchiveError::dependencyMissing(
            ArchiveError::withReinstallAdvice(QStringLiteral(u"7Z 解压工具不可用")));
    if (run->result.status == 0) return;
    const ArchiveError error = ToolFailure::mapExternalError(
        run->result, ToolFailureText::extractingToolFailed(run->program), echoed);
    // 7-Zip's first pass writes the inner TAR into the temporary folder: a disk it fills is that one's,
    // which the extractor would otherwise take for the destination's (ExtractionSteps::atDestination).
    const bool firstPass = run->program == ToolFallback::Program::sevenZip &&
                           CompoundTar::isCompoundTar(fileURL) && !innerTarUnpacked;
    const std::optional<QString> temporary = PrivateTempDirectory::base();
    if (firstPass && temporary && error.kind() == ArchiveError::Kind::diskFull && error.payload().isEmpty())
        throw *ArchiveError::unwritable(QFileInfo(*temporary).path(), ENOSPC);
    throw error;
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
        throw ToolFailure::mapExternalError(
            result, ToolFailureText::extractingToolFailed(ToolFallback::Program::sevenZip),
            {fileURL, destinationURL});
    }
}
