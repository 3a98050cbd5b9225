#pragma once

#include "core/base/CancellationToken.h"
#include "core/content/ArchivePreviewEntry.h"
#include "core/engine/ArchivePrograms.h"
#include "core/engine/ExtractionStaging.h"
#include "core/engine/OperationOutputs.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

// The archive browser's entry extraction (ArchivePreviewService::extractedPreviewFile and
// extractEntries): one entry for preview, or a selection into a folder, by the programs in the
// extractors' order (ToolFallback).
class PreviewExtractionService {
public:
    explicit PreviewExtractionService(ArchivePrograms programs) : m_programs(std::move(programs)) {}

    QString extractedPreviewFile(const ArchivePreviewEntry& entry, const QString& archiveURL,
                                 const std::optional<QString>& password,
                                 const CancellationToken& token) const;
    OperationOutputs extractEntries(const QList<ArchivePreviewEntry>& entries, const QString& archiveURL,
                                    const QString& destinationURL, const std::optional<QString>& password,
                                    const CancellationToken& token) const;

private:
    // Which message to give when no program installed opens a kind other than RAR.
    enum class Purpose { preview, extraction };

    // Extracts through a private folder in destinationURL (ExtractionStaging): a failed run leaves
    // the destination as it was. archiveURL is the file the tools open (a set's main volume).
    // Extracted items named by a legacy name's bytes get their decoded names from legacyNames first.
    // Returns the top-level items that went in under another name because theirs was taken. A run
    // that wrote nothing fails with nothingWritten, and the destination stays as it was.
    ExtractionStaging::Renames extractWithTools(const QString& archiveURL, const QStringList& entryPaths,
                                                const QHash<QByteArray, QString>& legacyNames,
                                                const QString& destinationURL,
                                                const std::optional<QString>& password, Purpose purpose,
                                                const QString& nothingWritten,
                                                const CancellationToken& token) const;
    void runTools(const QString& archiveURL, const QStringList& entryPaths, const QString& destinationURL,
                  const std::optional<QString>& password, Purpose purpose,
                  const CancellationToken& token) const;

    ArchivePrograms m_programs;
};
