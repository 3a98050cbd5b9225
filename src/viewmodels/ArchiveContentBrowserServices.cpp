#include "viewmodels/ArchiveContentBrowserServices.h"

#include "core/content/ArchivePreviewService.h"
#include "core/engine/ArchiveService.h"
#include "viewmodels/ExtractionSettings.h"

QList<ArchivePreviewEntry> ArchiveContentBrowserServices::previewEntries(
    const QString& archiveURL, const std::optional<QString>& password, const CancellationToken& token) {
    return m_previewService.previewEntries(archiveURL, password, token);
}

bool ArchiveContentBrowserServices::isEncrypted(const QString& archiveURL, const CancellationToken& token) {
    return ArchivePasswordProbe::isEncrypted(archiveURL, token);
}

std::optional<QString> ArchiveContentBrowserServices::firstOpeningPassword(const QString& archiveURL,
                                                                           const QStringList& candidates,
                                                                           const CancellationToken& token) {
    return ArchivePasswordProbe::firstOpeningPassword(archiveURL, candidates, token);
}

ArchivePasswordProbe::EntryTest ArchiveContentBrowserServices::testFirstEncryptedEntry(
    const QString& archiveURL, const QString& password, const CancellationToken& token) {
    return ArchivePasswordProbe::testFirstEncryptedEntry(archiveURL, password, token);
}

QString ArchiveContentBrowserServices::extractedPreviewFile(const ArchivePreviewEntry& entry,
                                                            const QString& archiveURL,
                                                            const std::optional<QString>& password,
                                                            const CancellationToken& token) {
    return m_previewService.extractedPreviewFile(entry, archiveURL, password, token);
}

OperationOutputs ArchiveContentBrowserServices::extractEntries(const QList<ArchivePreviewEntry>& entries,
                                                               const QString& archiveURL,
                                                               const QString& destinationURL,
                                                               const std::optional<QString>& password,
                                                               const CancellationToken& token) {
    return m_previewService.extractEntries(entries, archiveURL, destinationURL, password, token);
}

QString ArchiveContentBrowserServices::addFiles(const QStringList& fileURLs, const QString& archiveURL,
                                                const std::optional<QString>& password,
                                                const CancellationToken& token) {
    return m_previewService.addFiles(fileURLs, archiveURL, password, token);
}

QString ArchiveContentBrowserServices::deleteEntries(const QList<ArchivePreviewEntry>& entries,
                                                     const QString& archiveURL,
                                                     const std::optional<QString>& password,
                                                     const CancellationToken& token) {
    return m_previewService.deleteEntries(entries, archiveURL, password, token);
}

OperationOutputs ArchiveContentBrowserServices::extract(const QStringList& fileURLs,
                                                        const QString& destinationRootURL,
                                                        const ExtractionPasswords& passwords,
                                                        const AppSettings& settings, int threadCount,
                                                        const CancellationToken& token) {
    return m_archiveService.extract(fileURLs, destinationRootURL, passwords, extractionOptions(settings),
                                    threadCount, token);
}
