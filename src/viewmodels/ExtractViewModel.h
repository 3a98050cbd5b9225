#pragma once

#include "core/engine/OperationOutputs.h"
#include "core/state/ArchiveTask.h"
#include "viewmodels/WorkbenchContext.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QUuid>
#include <functional>
#include <optional>

// The extract page: the chosen archives and the password, and the extraction of one or more archives,
// one task record per archive. The home page and the split-extract page extract through here too.
class ExtractViewModel : public QObject {
    Q_OBJECT

public:
    // What an extraction's callers may change; the defaults are the plain extract page's values.
    struct ExtractionOptions {
        std::optional<QString> destinationOverrideURL = std::nullopt;
        ArchiveActivityKind kindOverride = ArchiveActivityKind::extract;
        std::optional<QString> taskNameOverride = std::nullopt;
        std::optional<ArchiveTaskMetadata> taskMetadata = std::nullopt;
        QString successMessagePrefix = QStringLiteral(u"解压完成");
        bool openAfterCompletion = true;
        bool notifyAfterCompletion = true;
    };

    explicit ExtractViewModel(WorkbenchContext& context, QObject* parent = nullptr);

    // Every one is an archive (ArchiveFormat::isArchive), and there is at least one.
    static bool allCountAsArchives(const QStringList& urls);

    WorkbenchContext& context() const { return m_context; }

    const std::optional<QString>& selectedArchiveURL() const { return m_selectedArchiveURL; }
    void setSelectedArchiveURL(const std::optional<QString>& value);
    const QStringList& selectedArchivesForExtraction() const { return m_selectedArchivesForExtraction; }
    void setSelectedArchivesForExtraction(const QStringList& value);
    // Each page has its own password: one filled in for an extraction never encrypts a compression.
    // Set here, it is the user's (typed, or chosen from the password book page).
    const QString& extractionPassword() const { return m_extractionPassword; }
    void setExtractionPassword(const QString& value);

    // With the plain extract page's values.
    void extract();
    void extract(const ExtractionOptions& options);
    void selectArchive();
    void selectArchivesForExtraction(const QStringList& urls);
    void clearExtractionSelection();
    // Archives that the next extraction takes first, shown as this page's selection as well.
    void handOver(const QStringList& archives);

Q_SIGNALS:
    void changed();
    // The user chose archives here or cleared the list: a split set found earlier no longer applies.
    void selectionReplaced();
    // A run moved these archives (every volume of a set) to the trash.
    void archivesTrashed(const QStringList& trashed);

private:
    struct ExtractionRun;
    struct ExtractionResult;

    QString destinationRoot(const QStringList& archives, const std::optional<QString>& overrideURL) const;
    QStringList archivesToExtract() const;
    ExtractionRun makeExtractionRun(const QStringList& archives, const QString& root);
    static ExtractionResult extractArchives(WorkbenchEngine& engine, const ExtractionRun& run,
                                            const CancellationToken& token,
                                            const std::function<void(const QString&)>& bookPasswordFound);
    void fillPasswordFromBook(const QString& password);
    // A password the book filled in for earlier archives is no password the user gave the next ones.
    void forgetFilledPassword();
    void extractionSucceeded(const QList<QUuid>& ids, const QStringList& archives,
                             const ExtractionResult& result, const ExtractionOptions& options);
    QString rememberPasswords(const QStringList& archives, const ExtractionResult& result);
    void keepOnlyFailed(const QList<ArchiveFailure>& failures);
    void askForPassword(const QString& message, const ExtractionOptions& options);
    void extractionEnded(const QString& statusText, StatusKind kind);
    void dropTrashedArchives(const QStringList& trashed);

    WorkbenchContext& m_context;
    std::optional<QString> m_selectedArchiveURL;
    QStringList m_selectedArchivesForExtraction;
    QString m_extractionPassword;
    bool m_passwordFilledFromBook = false;
};
