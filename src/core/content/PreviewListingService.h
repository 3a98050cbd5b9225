#pragma once

#include "core/base/CancellationToken.h"
#include "core/content/ArchivePreviewEntry.h"
#include "core/engine/ArchivePrograms.h"
#include "core/engine/ToolFallback.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

// The archive browser's listing (ArchivePreviewService::previewEntries and
// fastPreviewEntriesIfAvailable): the rows of the first program in ToolFallback's order that lists the
// archive, or a ZIP's central directory read without any tool.
class PreviewListingService {
public:
    explicit PreviewListingService(ArchivePrograms programs) : m_programs(std::move(programs)) {}

    QList<ArchivePreviewEntry> previewEntries(const QString& archiveURL,
                                              const std::optional<QString>& password,
                                              const CancellationToken& token) const;
    std::optional<QList<ArchivePreviewEntry>> fastPreviewEntriesIfAvailable(const QString& archiveURL) const;

private:
    // The rows of the first program in order that lists archiveURL (ToolFallback); echoedNames as the
    // tools print them, the archive first.
    QList<ArchivePreviewEntry> programEntries(const QString& archiveURL,
                                              const QList<ToolFallback::Program>& order,
                                              const std::optional<QString>& password,
                                              const QStringList& echoedNames,
                                              const CancellationToken& token) const;

    ArchivePrograms m_programs;
};
