#pragma once

#include "core/base/CancellationToken.h"
#include "core/content/ArchivePreviewEntry.h"
#include "core/engine/ArchivePasswordProbe.h"
#include "core/engine/ExtractionPasswords.h"
#include "core/engine/OperationOutputs.h"
#include "core/state/AppSettings.h"
#include "viewmodels/PasswordProbing.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

// The archive work an archive browser window starts: blocking operations for a worker thread, which
// throw the engine's errors (CancellationError once the token is cancelled). The application forwards
// them to the content service and the archive service; tests script them.
class ArchiveBrowserServices : public PasswordProbing {
public:
    virtual ~ArchiveBrowserServices() = default;

    virtual QList<ArchivePreviewEntry> previewEntries(const QString& archiveURL,
                                                      const std::optional<QString>& password,
                                                      const CancellationToken& token) = 0;
    virtual ArchivePasswordProbe::EntryTest testFirstEncryptedEntry(const QString& archiveURL,
                                                                    const QString& password,
                                                                    const CancellationToken& token) = 0;
    virtual QString extractedPreviewFile(const ArchivePreviewEntry& entry, const QString& archiveURL,
                                         const std::optional<QString>& password,
                                         const CancellationToken& token) = 0;
    virtual OperationOutputs extractEntries(const QList<ArchivePreviewEntry>& entries,
                                            const QString& archiveURL, const QString& destinationURL,
                                            const std::optional<QString>& password,
                                            const CancellationToken& token) = 0;
    // The edits return what the status line adds to their success, often nothing.
    virtual QString addFiles(const QStringList& fileURLs, const QString& archiveURL,
                             const std::optional<QString>& password, const CancellationToken& token) = 0;
    virtual QString deleteEntries(const QList<ArchivePreviewEntry>& entries, const QString& archiveURL,
                                  const std::optional<QString>& password, const CancellationToken& token) = 0;
    // Whole archives, as the extract page extracts them: a lone archive's failure is thrown, and of
    // several, those that failed are listed in `failures` after the others were extracted. Each archive
    // is extracted with its own password.
    virtual OperationOutputs extract(const QStringList& fileURLs, const QString& destinationRootURL,
                                     const ExtractionPasswords& passwords, const AppSettings& settings,
                                     int threadCount, const CancellationToken& token) = 0;
};
