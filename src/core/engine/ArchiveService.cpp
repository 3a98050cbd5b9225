#include "core/engine/ArchiveService.h"

#include "core/base/CancellationError.h"
#include "core/base/FileNameHelper.h"
#include "core/engine/ArchiveError.h"
#include "core/engine/ArchiveVolumes.h"
#include "core/engine/CompressionService.h"
#include "core/engine/ExtractionSteps.h"
#include "core/engine/RarExtractor.h"
#include "core/engine/SevenZipExtractor.h"
#include "core/engine/SourceTrash.h"
#include "core/engine/ZipExtractor.h"
#include "platform/ToolText.h"

#include <QFileInfo>

#include <memory>

#include <unistd.h>

namespace {

// Removes a folder only while it is empty, by its bytes: QDir loses a name that is not UTF-8.
void removeIfEmpty(const QString& folder) { ::rmdir(ToolText::encodedName(folder).constData()); }

}  // namespace

ArchiveService::ArchiveService(Extractors extractors, std::shared_ptr<ArchiveCompressor> compressor)
    : m_extractors(std::move(extractors)), m_compressor(std::move(compressor)) {}

ArchiveService::Extractors ArchiveService::standardExtractors(const ArchivePrograms& programs) {
    return {std::make_shared<ZipExtractor>(programs), std::make_shared<SevenZipExtractor>(programs),
            std::make_shared<RarExtractor>(programs)};
}

OperationOutputs ArchiveService::extract(const QStringList& fileURLs, const QString& destinationRootURL,
                                         const std::optional<QString>& password,
                                         const ExtractionOptions& options, int threadCount,
                                         const CancellationToken& token) const {
    return extract(fileURLs, destinationRootURL, ExtractionPasswords(fileURLs.size(), password), options,
                   threadCount, token);
}

OperationOutputs ArchiveService::extract(const QStringList& fileURLs, const QString& destinationRootURL,
                                         const ExtractionPasswords& passwords,
                                         const ExtractionOptions& options, int threadCount,
                                         const CancellationToken& token) const {
    if (fileURLs.isEmpty()) return {};
    const bool sharedFolder = fileURLs.size() > 1 && !options.extractToSeparateFolder;
    const std::unique_ptr<WorkJournal::Record> journal = WorkJournal::open();
    // Made once, before the first archive.
    const QString rootURL = sharedFolder ? ExtractionSteps::reserveFolder(QStringLiteral(u"解压文件"),
                                                                          destinationRootURL, journal.get())
                                         : destinationRootURL;
    OperationOutputs result;
    try {
        for (qsizetype index = 0; index < fileURLs.size(); ++index) {
            const QString& fileURL = fileURLs[index];
            token.throwIfCancelled();
            try {
                result.outputs << extractArchive(fileURL, destinationRootURL, rootURL,
                                                 passwords.value(index, std::nullopt), options, threadCount,
                                                 token, result.renamedCount);
            } catch (const CancellationError&) {
                throw;
            } catch (...) {
                // A lone archive's failure is the run's; of several, one damaged archive must not
                // cost the user the others.
                if (fileURLs.size() == 1) throw;
                token.throwIfCancelled();
                result.failures.append({fileURL, std::current_exception()});
            }
        }
        // A run stopped after its last archive keeps its sources, as every stopped run does.
        token.throwIfCancelled();
    } catch (...) {
        if (sharedFolder) removeIfEmpty(rootURL);  // only while nothing went in
        throw;
    }
    if (sharedFolder && result.outputs.isEmpty()) removeIfEmpty(rootURL);
    SourceTrash::Outcome trashed = SourceTrash::trash(sourcesToTrash(fileURLs, result.failures, options));
    result.untrashed = std::move(trashed.stayed);
    result.trashed = std::move(trashed.trashed);
    return result;
}

QStringList ArchiveService::sourcesToTrash(const QStringList& fileURLs, const QList<ArchiveFailure>& failures,
                                           const ExtractionOptions& options) {
    if (!options.extractToSeparateFolder || !options.deleteSourceAfterExtract) return {};
    // A volume of a failed archive's set stays even when it was given again as another archive.
    QStringList kept;
    for (const ArchiveFailure& failure : failures) kept << SourceTrash::archiveAndVolumes(failure.archive);
    QStringList sources;
    for (const QString& fileURL : fileURLs) {
        for (const QString& volume : SourceTrash::archiveAndVolumes(fileURL))
            if (!kept.contains(volume) && !sources.contains(volume)) sources << volume;
    }
    return sources;
}

ArchiveExtractor& ArchiveService::extractorFor(const QString& fileURL) const {
    for (const std::shared_ptr<ArchiveExtractor>& extractor : m_extractors) {
        if (extractor->canHandle(fileURL)) return *extractor;
    }
    throw ArchiveError::unsupportedFormat(FileNameHelper::pathExtension(fileURL));
}

QString ArchiveService::extractArchive(const QString& givenURL, const QString& destinationRootURL,
                                       const QString& rootURL, const std::optional<QString>& password,
                                       const ExtractionOptions& options, int threadCount,
                                       const CancellationToken& token, int& renamedCount) const {
    ExtractionSteps::requireItem(givenURL);
    const QString fileURL = ArchiveVolumes::openingVolume(givenURL);
    ArchiveExtractor& extractor = extractorFor(fileURL);
    if (!options.extractToSeparateFolder) {
        renamedCount += extractor.extract(fileURL, rootURL, password, threadCount, token);
        return rootURL;
    }
    // Made only now, so of two archives with one base name the second gets the next free name.
    const std::unique_ptr<WorkJournal::Record> journal = WorkJournal::open();
    const QString folderURL = ExtractionSteps::reserveFolder(FileNameHelper::archiveBaseName(fileURL),
                                                             destinationRootURL, journal.get());
    try {
        renamedCount += extractor.extract(fileURL, folderURL, password, threadCount, token);
    } catch (...) {
        removeIfEmpty(folderURL);
        throw;
    }
    return folderURL;
}

QString ArchiveService::compressSingle(const QStringList& files, const QString& destinationURL,
                                       CompressionFormat format, CompressionLevel level,
                                       const std::optional<QString>& password, int threadCount,
                                       bool excludeHiddenFiles, const ProgressHandler& progressHandler,
                                       const CancellationToken& token) const {
    const QString folderURL = QFileInfo(destinationURL).path();
    CompressionService::checkEncryptionSupported(format, password);
    CompressionService::checkInputsExist(files);
    ExtractionSteps::createFolder(folderURL);
    return m_compressor->compress(files, destinationURL, format, level, password, threadCount,
                                  excludeHiddenFiles, progressHandler, token);
}

SplitCompressionResult ArchiveService::compressSplit(const SplitCompressionRequest& request,
                                                     const ProgressHandler& progressHandler,
                                                     const CancellationToken& token) const {
    if (request.files.isEmpty()) throw ArchiveError::noInputFiles();
    return m_compressor->compressSplit(request, progressHandler, token);
}
