#pragma once

#include "core/engine/CompressionFormat.h"
#include "core/engine/CompressionLevel.h"
#include "core/engine/OperationOutputs.h"
#include "core/engine/SplitCompressionResult.h"
#include "core/split/SplitArchiveDescriptor.h"
#include "core/split/SplitCompressionConflictStrategy.h"
#include "core/split/SplitCompressionPreset.h"
#include "core/split/SplitCompressionPreview.h"
#include "core/split/SplitCompressionSourceItem.h"
#include "core/split/SplitCompressionUnit.h"
#include "core/state/AppSettings.h"
#include "core/state/ArchiveTask.h"
#include "core/state/WorkbenchSection.h"
#include "viewmodels/BackgroundRunner.h"
#include "viewmodels/SplitArchivePageState.h"
#include "viewmodels/StatusKind.h"
#include "viewmodels/WorkbenchPlatform.h"
#include "viewmodels/WorkbenchTaskRunner.h"

#include "viewmodels/Publish.h"
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QThreadPool>
#include <algorithm>
#include <concepts>
#include <functional>
#include <optional>

class ArchivePasswordBookStore;
class ArchivePreviewService;
class SettingsStore;
class WorkbenchEngine;
class WorkbenchPlatform;
class WorkbenchStore;

// The model behind every page of the main window: what the pages show and edit, and the operations
// their buttons start (compression, extraction, split compression, split extraction), each recorded
// as workbench tasks. Lives on the GUI thread; the archive work runs on worker threads and its
// outcome comes back as queued calls. Every property has a getter, a setter and a change signal, and
// every change also emits changed().
class MainViewModel : public QObject {
    Q_OBJECT

public:
    // What an extraction's callers may change; the defaults are the plain extract page's values.
    struct ExtractionOptions {
        std::optional<QString> destinationOverrideURL = std::nullopt;
        ArchiveActivityKind kindOverride = ArchiveActivityKind::extract;
        std::optional<QString> taskNameOverride = std::nullopt;
        std::optional<ArchiveTaskMetadata> taskMetadata = std::nullopt;
        QString successMessagePrefix = QStringLiteral(u"解压完成");
        // Of the failed records and the status line when the error has no message of its own.
        QString failureMessage = QStringLiteral(u"解压失败");
        bool openAfterCompletion = true;
        bool notifyAfterCompletion = true;
    };

    MainViewModel(WorkbenchEngine& archiveService, ArchivePreviewService& archivePreviewService,
                  SettingsStore& settingsStore, ArchivePasswordBookStore& passwordBookStore,
                  WorkbenchStore& workbenchStore, WorkbenchPlatform& platform,
                  QThreadPool* workerPool = nullptr, QObject* parent = nullptr);
    ~MainViewModel() override;

    // An archive is a file of a known kind or any numbered volume of a split set.
    static bool countsAsArchive(const QString& url);
    // Every one is an archive, and there is at least one.
    static bool allCountAsArchives(const QStringList& urls);

    // Published state.
    const std::optional<QString>& selectedArchiveURL() const { return m_selectedArchiveURL; }
    void setSelectedArchiveURL(const std::optional<QString>& value);
    const QStringList& selectedArchivesForExtraction() const { return m_selectedArchivesForExtraction; }
    void setSelectedArchivesForExtraction(const QStringList& value);
    const SplitArchivePageState& splitArchiveState() const { return m_splitArchiveState; }
    void setSplitArchiveState(const SplitArchivePageState& value);
    const std::optional<SplitArchiveDescriptor>& splitArchiveDescriptor() const {
        return m_splitArchiveDescriptor;
    }
    void setSplitArchiveDescriptor(const std::optional<SplitArchiveDescriptor>& value);
    const QStringList& selectedFilesForCompression() const { return m_selectedFilesForCompression; }
    void setSelectedFilesForCompression(const QStringList& value);
    const std::optional<QString>& destinationURL() const { return m_destinationURL; }
    void setDestinationURL(const std::optional<QString>& value);
    // Each page has its own password: one filled in for an extraction never encrypts a compression.
    const QString& compressionPassword() const { return m_compressionPassword; }
    void setCompressionPassword(const QString& value);
    const QString& extractionPassword() const { return m_extractionPassword; }
    void setExtractionPassword(const QString& value);
    CompressionFormat selectedCompressionFormat() const { return m_selectedCompressionFormat; }
    void setSelectedCompressionFormat(CompressionFormat value);
    CompressionLevel selectedCompressionLevel() const { return m_selectedCompressionLevel; }
    void setSelectedCompressionLevel(CompressionLevel value);
    const QList<SplitCompressionSourceItem>& splitCompressionItems() const { return m_splitCompressionItems; }
    void setSplitCompressionItems(const QList<SplitCompressionSourceItem>& value);
    bool isCalculatingSplitCompressionItems() const { return m_isCalculatingSplitCompressionItems; }
    void setIsCalculatingSplitCompressionItems(bool value);
    bool splitCompressionEnabled() const { return m_splitCompressionEnabled; }
    void setSplitCompressionEnabled(bool value);
    const QString& splitCompressionVolumeValue() const { return m_splitCompressionVolumeValue; }
    void setSplitCompressionVolumeValue(const QString& value);
    SplitCompressionUnit splitCompressionVolumeUnit() const { return m_splitCompressionVolumeUnit; }
    void setSplitCompressionVolumeUnit(SplitCompressionUnit value);
    const QString& splitCompressionSelectedPresetTitle() const {
        return m_splitCompressionSelectedPresetTitle;
    }
    void setSplitCompressionSelectedPresetTitle(const QString& value);
    CompressionFormat splitCompressionFormat() const { return m_splitCompressionFormat; }
    void setSplitCompressionFormat(CompressionFormat value);
    CompressionLevel splitCompressionLevel() const { return m_splitCompressionLevel; }
    void setSplitCompressionLevel(CompressionLevel value);
    const std::optional<QString>& splitCompressionOutputDirectoryURL() const {
        return m_splitCompressionOutputDirectoryURL;
    }
    void setSplitCompressionOutputDirectoryURL(const std::optional<QString>& value);
    const QString& splitCompressionBaseName() const { return m_splitCompressionBaseName; }
    void setSplitCompressionBaseName(const QString& value);
    SplitCompressionConflictStrategy splitCompressionConflictStrategy() const {
        return m_splitCompressionConflictStrategy;
    }
    void setSplitCompressionConflictStrategy(SplitCompressionConflictStrategy value);
    bool splitCompressionPasswordEnabled() const { return m_splitCompressionPasswordEnabled; }
    void setSplitCompressionPasswordEnabled(bool value);
    const QString& splitCompressionPassword() const { return m_splitCompressionPassword; }
    void setSplitCompressionPassword(const QString& value);
    const QString& splitCompressionPasswordConfirmation() const {
        return m_splitCompressionPasswordConfirmation;
    }
    void setSplitCompressionPasswordConfirmation(const QString& value);
    bool splitCompressionValidateAfterCompletion() const { return m_splitCompressionValidateAfterCompletion; }
    void setSplitCompressionValidateAfterCompletion(bool value);
    const std::optional<QString>& splitCompressionVolumeSizeMessage() const {
        return m_splitCompressionVolumeSizeMessage;
    }
    void setSplitCompressionVolumeSizeMessage(const std::optional<QString>& value);
    bool splitCompressionOpenAfterCompletion() const { return m_splitCompressionOpenAfterCompletion; }
    void setSplitCompressionOpenAfterCompletion(bool value);
    bool splitCompressionNotifyAfterCompletion() const { return m_splitCompressionNotifyAfterCompletion; }
    void setSplitCompressionNotifyAfterCompletion(bool value);
    const AppSettings& settings() const { return m_settings; }
    // The desktop the model asks for panels and reveals; the settings page asks it too.
    WorkbenchPlatform& platform() const { return m_platform; }
    void setSettings(const AppSettings& value);
    bool isWorking() const { return m_isWorking; }
    void setIsWorking(bool value);
    const std::optional<QString>& statusMessage() const { return m_statusMessage; }
    StatusKind statusKind() const { return m_statusKind; }
    // A message and its kind change together; statusMessageChanged reports either.
    void setStatusMessage(const std::optional<QString>& value, StatusKind kind = StatusKind::success);
    const std::optional<QString>& alertMessage() const { return m_alertMessage; }
    void setAlertMessage(const std::optional<QString>& value);
    const std::optional<QString>& encryptedSevenZipConfirmationMessage() const {
        return m_encryptedSevenZipConfirmationMessage;
    }
    void setEncryptedSevenZipConfirmationMessage(const std::optional<QString>& value);
    bool showingSettings() const { return m_showingSettings; }
    void setShowingSettings(bool value);
    WorkbenchSection selectedSection() const { return m_selectedSection; }
    void setSelectedSection(WorkbenchSection value);

    // Compression.
    void compress(bool allowEncryptedSevenZip);
    void selectCompressionFormat(CompressionFormat format);
    void selectFilesForCompression();
    void selectFilesForCompression(const QStringList& urls);
    void selectDestination();
    QString destinationDescription() const;

    // Extraction.
    // With the plain extract page's values.
    void extract();
    void extract(const ExtractionOptions& options);
    void selectArchive();
    void selectArchivesForExtraction(const QStringList& urls);
    void clearExtractionSelection();

    // Home actions and drops.
    void refresh();
    void selectItemsForHomeAction();
    void selectArchiveAndExtract();
    void selectArchiveAndExtractToDestination();
    void resetDestinationToCurrentLocation();
    void handleDropped(const QStringList& urls);

    // Split compression page.
    void selectFilesForSplitCompression();
    void selectFoldersForSplitCompression();
    void addSplitCompressionItems(const QStringList& urls);
    void removeSplitCompressionItem(const SplitCompressionSourceItem& item);
    void clearSplitCompressionItems();
    qint64 splitCompressionOriginalSizeBytes() const;
    std::optional<qint64> splitCompressionVolumeSizeBytes() const;
    void applySplitCompressionPreset(const SplitCompressionPreset& preset);
    std::optional<QString> splitCompressionSuggestionMessage() const;
    SplitCompressionPreview splitCompressionPreview() const;
    // The same with an estimate worked out elsewhere (the page's, off the GUI thread); nothing while
    // it is not known yet.
    SplitCompressionPreview splitCompressionPreview(std::optional<qint64> estimatedCompressedBytes) const;
    std::optional<QString> splitCompressionOutputDirectory() const;
    QString splitCompressionOutputDirectoryDescription() const;
    void selectSplitCompressionDestination();
    // Takes the preview the page already has: its estimate walks the sources' folders.
    QString splitCompressionAvailableSpaceDescription(const SplitCompressionPreview& preview) const;
    void startSplitCompression();

    // Split extraction page.
    void selectSplitArchiveForExtraction();
    // Takes the path by value: callers pass the scanned descriptor's own path, which the scan clears.
    void selectSplitArchiveForExtraction(QString url);
    void resetSplitArchiveState(bool quiet);
    bool splitArchiveStartButtonEnabled() const;
    void extractSelectedSplitArchive(bool openAfterCompletion, bool notifyAfterCompletion);
    void goToRegularExtractFromSplitArchive();
    QString splitArchiveDefaultDestinationDescription() const;
    // Shows one volume of the scanned set in the file manager.
    void revealSplitArchivePart(const SplitArchivePart& part);

Q_SIGNALS:
    void changed();
    void selectedArchiveURLChanged();
    void selectedArchivesForExtractionChanged();
    void splitArchiveStateChanged();
    void splitArchiveDescriptorChanged();
    void selectedFilesForCompressionChanged();
    void destinationURLChanged();
    void compressionPasswordChanged();
    void extractionPasswordChanged();
    void selectedCompressionFormatChanged();
    void selectedCompressionLevelChanged();
    void splitCompressionItemsChanged();
    void isCalculatingSplitCompressionItemsChanged();
    void splitCompressionEnabledChanged();
    void splitCompressionVolumeValueChanged();
    void splitCompressionVolumeUnitChanged();
    void splitCompressionSelectedPresetTitleChanged();
    void splitCompressionFormatChanged();
    void splitCompressionLevelChanged();
    void splitCompressionOutputDirectoryURLChanged();
    void splitCompressionBaseNameChanged();
    void splitCompressionConflictStrategyChanged();
    void splitCompressionPasswordEnabledChanged();
    void splitCompressionPasswordChanged();
    void splitCompressionPasswordConfirmationChanged();
    void splitCompressionValidateAfterCompletionChanged();
    void splitCompressionVolumeSizeMessageChanged();
    void splitCompressionOpenAfterCompletionChanged();
    void splitCompressionNotifyAfterCompletionChanged();
    void settingsChanged();
    void isWorkingChanged();
    void statusMessageChanged();
    void alertMessageChanged();
    void encryptedSevenZipConfirmationMessageChanged();
    void showingSettingsChanged();
    void selectedSectionChanged();

private:
    struct CompressionRun;
    struct ExtractionRun;
    struct ExtractionResult;
    struct SplitCompressionRun;
    struct SizingBatch;


    // Shared by the operations.
    int effectiveThreadCount();
    // Opens a panel; `chosen` runs later with a choice that is not empty, while the model exists.
    void choosePaths(const WorkbenchPlatform::OpenPanelRequest& request,
                     std::function<void(const QStringList&)> chosen);
    void beginWork(const QString& statusText);
    void endWork(const QString& statusText, StatusKind kind = StatusKind::success);
    void showArchiveSelection(const QStringList& archives);
    void saveSettings();

    // Compression.
    QString destinationRoot(const QStringList& files) const;
    static OperationOutputs compressSources(WorkbenchEngine& engine, const CompressionRun& run,
                                            const CancellationToken& token, const ProgressHandler& progress);
    void compressionSucceeded(const QUuid& id, const OperationOutputs& result,
                              const std::optional<QString>& password);

    // Extraction.
    QString destinationRoot(const QStringList& archives, const std::optional<QString>& overrideURL) const;
    QStringList archivesToExtract() const;
    ExtractionRun makeExtractionRun(const QStringList& archives, const QString& root);
    static ExtractionResult extractArchives(WorkbenchEngine& engine, const ExtractionRun& run,
                                            const CancellationToken& token,
                                            const std::function<void(const QString&)>& bookPasswordFound);
    // Offers the password to the password book under the archive's key, trimmed, when auto-save is on.
    void rememberPasswordIfNeeded(const QString& url, const std::optional<QString>& password);
    void extractionSucceeded(const QList<QUuid>& ids, const QStringList& archives,
                             const ExtractionResult& result, const ExtractionOptions& options);
    void extractionEnded(const QString& statusText, StatusKind kind);

    // Split compression.
    void startSizing();
    void sizingFinished(quint64 generation, const QList<SplitCompressionSourceItem>& items);
    static QStringList urlsOf(const QList<SplitCompressionSourceItem>& items);
    QStringList splitCompressionSourceURLs() const;
    std::optional<QString> firstItemFolder() const;
    void validateSplitCompressionBeforeStart() const;
    QString settleSplitCompressionBaseName(const QString& baseName, const QString& outputDirectory);
    SplitCompressionRun makeSplitCompressionRun();
    void splitCompressionSucceeded(const SplitCompressionRun& run, const SplitCompressionResult& result);
    static void cleanupSplitCompressionOutputs(const SplitCompressionRun& run);

    // Split extraction.
    void splitArchiveScanFinished(quint64 generation, const QString& url,
                                  Outcome<SplitArchiveDescriptor>& outcome);

    std::optional<QString> m_selectedArchiveURL;
    QStringList m_selectedArchivesForExtraction;
    SplitArchivePageState m_splitArchiveState;
    std::optional<SplitArchiveDescriptor> m_splitArchiveDescriptor;
    QStringList m_selectedFilesForCompression;
    std::optional<QString> m_destinationURL;
    QString m_compressionPassword;
    QString m_extractionPassword;
    CompressionFormat m_selectedCompressionFormat = CompressionFormat::zip;
    CompressionLevel m_selectedCompressionLevel = CompressionLevel::standard;
    QList<SplitCompressionSourceItem> m_splitCompressionItems;
    bool m_isCalculatingSplitCompressionItems = false;
    bool m_splitCompressionEnabled = true;
    QString m_splitCompressionVolumeValue = QStringLiteral("2");
    SplitCompressionUnit m_splitCompressionVolumeUnit = SplitCompressionUnit::gb;
    QString m_splitCompressionSelectedPresetTitle = QStringLiteral("2 GB");
    CompressionFormat m_splitCompressionFormat = CompressionFormat::sevenZip;
    CompressionLevel m_splitCompressionLevel = CompressionLevel::standard;
    std::optional<QString> m_splitCompressionOutputDirectoryURL;
    QString m_splitCompressionBaseName = QStringLiteral(u"压缩文件");
    SplitCompressionConflictStrategy m_splitCompressionConflictStrategy =
        SplitCompressionConflictStrategy::autoRename;
    bool m_splitCompressionPasswordEnabled = false;
    QString m_splitCompressionPassword;
    QString m_splitCompressionPasswordConfirmation;
    bool m_splitCompressionValidateAfterCompletion = true;
    std::optional<QString> m_splitCompressionVolumeSizeMessage;
    bool m_splitCompressionOpenAfterCompletion = true;
    bool m_splitCompressionNotifyAfterCompletion = true;
    AppSettings m_settings;
    bool m_isWorking = false;
    std::optional<QString> m_statusMessage;
    StatusKind m_statusKind = StatusKind::success;
    std::optional<QString> m_alertMessage;
    std::optional<QString> m_encryptedSevenZipConfirmationMessage;
    bool m_showingSettings = false;
    WorkbenchSection m_selectedSection = WorkbenchSection::home;

    WorkbenchEngine& m_archiveService;
    ArchivePreviewService& m_archivePreviewService;
    SettingsStore& m_settingsStore;
    ArchivePasswordBookStore& m_passwordBookStore;
    WorkbenchStore& m_workbenchStore;
    WorkbenchPlatform& m_platform;

    // Archives handed over by a drop or a home action; the next extraction takes them first.
    QStringList m_droppedArchiveQueue;

    // Batches of split-compression sources waiting to be sized, oldest first; the first one is being
    // sized. Clearing the list bumps the generation, so a size walk under way applies nothing.
    QList<QStringList> m_pendingSizingBatches;
    quint64 m_sizingGeneration = 0;

    // Only the newest split-set scan may apply its outcome.
    quint64 m_splitArchiveScanGeneration = 0;

    BackgroundRunner m_background;
    WorkbenchTaskRunner m_tasks;
};
