#pragma once

#include "viewmodels/WorkbenchEngine.h"

class ArchiveService;

// The main window's engine operations carried out by the archive service.
class ArchiveServiceWorkbenchEngine : public WorkbenchEngine {
public:
    explicit ArchiveServiceWorkbenchEngine(const ArchiveService& service) : m_service(service) {}

    OperationOutputs extract(const QStringList& fileURLs, const QString& destinationRootURL,
                             const ExtractionPasswords& passwords, const AppSettings& settings,
                             int threadCount, const CancellationToken& token) override;
    bool isEncrypted(const QString& fileURL, const CancellationToken& token) override;
    std::optional<QString> firstOpeningPassword(const QString& fileURL, const QStringList& candidates,
                                                const CancellationToken& token) override;
    QString compressSingle(const QStringList& files, const QString& destinationURL, CompressionFormat format,
                           CompressionLevel level, const std::optional<QString>& password, int threadCount,
                           bool excludeHiddenFiles, const ProgressHandler& progressHandler,
                           const CancellationToken& token) override;
    SplitCompressionResult compressSplit(const SplitCompressionRequest& request,
                                         const ProgressHandler& progressHandler,
                                         const CancellationToken& token) override;

private:
    const ArchiveService& m_service;
};
