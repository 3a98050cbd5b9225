#include "core/content/ArchivePreviewService.h"

#include "core/content/PreviewToolRuns.h"

QList<ArchivePreviewEntry> ArchivePreviewService::previewEntries(const QString& archiveURL,
                                                                 const std::optional<QString>& password,
                                                                 const CancellationToken& token) const {
    return m_listing.previewEntries(archiveURL, password, token);
}

std::optional<QList<ArchivePreviewEntry>> ArchivePreviewService::fastPreviewEntriesIfAvailable(
    const QString& archiveURL) const {
    return m_listing.fastPreviewEntriesIfAvailable(archiveURL);
}

QString ArchivePreviewService::extractedPreviewFile(const ArchivePreviewEntry& entry,
                                                    const QString& archiveURL,
                                                    const std::optional<QString>& password,
                                                    const CancellationToken& token) const {
    return m_extraction.extractedPreviewFile(entry, archiveURL, password, token);
}

OperationOutputs ArchivePreviewService::extractEntries(const QList<ArchivePreviewEntry>& entries,
                                                       const QString& archiveURL,
                                                       const QString& destinationURL,
                                                       const std::optional<QString>& password,
                                                       const CancellationToken& token) const {
    return m_extraction.extractEntries(entries, archiveURL, destinationURL, password, token);
}

QString ArchivePreviewService::addFiles(const QStringList& fileURLs, const QString& archiveURL,
                                        const std::optional<QString>& password,
                                        const CancellationToken& token) const {
    return m_editing.addFiles(fileURLs, archiveURL, password, token);
}

QString ArchivePreviewService::deleteEntries(const QList<ArchivePreviewEntry>& entries,
                                             const QString& archiveURL, const std::optional<QString>& password,
                                             const CancellationToken& token) const {
    return m_editing.deleteEntries(entries, archiveURL, password, token);
}

QString ArchivePreviewService::safeRelativePath(const QString& path) {
    return PreviewToolRuns::safeRelativePath(path);
}
