#pragma once

#include "core/base/CancellationToken.h"
#include "core/content/ArchivePreviewEntry.h"
#include "core/engine/ArchivePrograms.h"
#include "core/engine/SevenZipTool.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

// The archive browser's editing of a ZIP or 7Z archive in place (ArchivePreviewService::addFiles and
// deleteEntries): the new archive is written in an EditWorkFolder.
class PreviewEditService {
public:
    explicit PreviewEditService(ArchivePrograms programs) : m_programs(std::move(programs)) {}

    // Both return the notice of ArchivePreviewService's.
    QString addFiles(const QStringList& fileURLs, const QString& archiveURL,
                     const std::optional<QString>& password, const CancellationToken& token) const;
    QString deleteEntries(const QList<ArchivePreviewEntry>& entries, const QString& archiveURL,
                          const std::optional<QString>& password, const CancellationToken& token) const;

private:
    SevenZipTool requireSevenZip(const QString& missingMessage) const;

    ArchivePrograms m_programs;
};
