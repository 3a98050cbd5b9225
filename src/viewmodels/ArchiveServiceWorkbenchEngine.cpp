#include "viewmodels/ArchiveServiceWorkbenchEngine.h"

#include "core/engine/ArchivePasswordProbe.h"
#include "core/engine/ArchiveService.h"
#include "viewmodels/ExtractionSettings.h"

OperationOutputs ArchiveServiceWorkbenchEngine::extract(const QStringList& fileURLs,
                                                        const QString& destinationRootURL,
                                                        const ExtractionPasswords& passwords,
                                                        const AppSettings& settings, int threadCount,
                                                        const CancellationToken& token) {
    return m_service.extract(fileURLs, destinationRootURL, passwords, extractionOptions(settings),
                             threadCount, token);
}

bool ArchiveServiceWorkbenchEngine::isEncrypted(const QString& fileURL, const CancellationToken& token) {
    return ArchivePasswordProbe::isEncrypted(fileURL, token);
}

std::optional<QString> ArchiveServiceWorkbenchEngine::firstOpeningPassword(const QString& fileURL,
                                                                           const QStringList& candidates,
                                                                           const CancellationToken& token) {
    return ArchivePasswordProbe::firstOpeningPassword(fileURL, candidates, token);
}

QString ArchiveServiceWorkbenchEngine::compressSingle(const QStringList& files, const QString& destinationURL,
                                                      CompressionFormat format, CompressionLevel level,
                                                      const std::optional<QString>& password, int threadCount,
                                                      bool excludeHiddenFiles,
                                                      const ProgressHandler& progressHandler,
                                                      const CancellationToken& token) {
    return m_service.compressSingle(files, destinationURL, format, level, password, threadCount,
                                    excludeHiddenFiles, progressHandler, token);
}

SplitCompressionResult ArchiveServiceWorkbenchEngine::compressSplit(const SplitCompressionRequest& request,
                                                                    const ProgressHandler& progressHandler,
                                                                    const CancellationToken& token) {
    return m_service.compressSplit(request, progressHandler, token);
}
