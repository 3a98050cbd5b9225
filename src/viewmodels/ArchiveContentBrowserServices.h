#pragma once

#include "viewmodels/ArchiveBrowserServices.h"

class ArchivePreviewService;
class ArchiveService;

// The browser's archive work done by the application's content service and archive service.
class ArchiveContentBrowserServices : public ArchiveBrowserServices {
public:
    ArchiveContentBrowserServices(const ArchivePreviewService& previewService,
                                  const ArchiveService& archiveService)
        : m_previewService(previewService), m_archiveService(archiveService) {}

    QList<ArchivePreviewEntry> previewEntries(const QString& archiveURL,
                                              const std::optional<QString>& password,
                                              const CancellationToken& token) override;
    bool isEncrypted(const QString& archiveURL, const CancellationToken& token) override;
    std::optional<QString> firstOpeningPassword(const QString& archiveURL, const QStringList& candidates,
                                                const CancellationToken& token) override;
    ArchivePasswordProbe::EntryTest testFirstEncryptedEntry(const QString& archiveURL,
                                                            const QString& password,
                                                            const CancellationToken& token) override;
    QString extractedPreviewFile(const ArchivePreviewEntry& entry, const QString& archiveURL,
                                 const std::optional<QString>& password,
                                 const CancellationToken& token) override;
    OperationOutputs extractEntries(const QList<ArchivePreviewEntry>& entries, const QString& archiveURL,
                                    const QString& destinationURL, const std::optional<QString>& password,
                                    const CancellationToken& token) override;
    QString addFiles(const QStringList& fileURLs, const QString& archiveURL,
                     const std::optional<QString>& password, const CancellationToken& token) override;
    QString deleteEntries(const QList<ArchivePreviewEntry>& entries, const QString& archiveURL,
                          const std::optional<QString>& password, const CancellationToken& token) override;
    OperationOutputs extract(const QStringList& fileURLs, const QString& destinationRootURL,
                             const ExtractionPasswords& passwords, const AppSettings& settings,
                             int threadCount, const CancellationToken& token) override;

private:
    const ArchivePreviewService& m_previewService;
    const ArchiveService& m_archiveService;
};
