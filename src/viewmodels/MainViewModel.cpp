#include "viewmodels/MainViewModel.h"

#include "core/engine/FileNameHelper.h"
#include "core/split/ArchiveFormat.h"
#include "core/split/SplitArchiveDetector.h"
#include "core/state/SettingsStore.h"
#include "viewmodels/WorkbenchPlatform.h"

#include <QPointer>

MainViewModel::MainViewModel(WorkbenchEngine& archiveService, ArchivePreviewService& archivePreviewService,
                             SettingsStore& settingsStore, ArchivePasswordBookStore& passwordBookStore,
                             WorkbenchStore& workbenchStore, WorkbenchPlatform& platform,
                             QThreadPool* workerPool, QObject* parent)
    : QObject(parent),
      m_archiveService(archiveService),
      m_archivePreviewService(archivePreviewService),
      m_settingsStore(settingsStore),
      m_passwordBookStore(passwordBookStore),
      m_workbenchStore(workbenchStore),
      m_platform(platform),
      m_background(this, workerPool),
      m_tasks(workbenchStore, m_background) {
    m_settings = m_settingsStore.load();
    if (!m_settings.defaultExtractLocationPath.isEmpty()) {
        m_destinationURL = m_settings.defaultExtractLocationPath;
        m_splitCompressionOutputDirectoryURL = m_settings.defaultExtractLocationPath;
    }
}

// The workers own nothing of the model, but they run on its pool: stop them rather than keep the
// process waiting for a long compression on the way out.
MainViewModel::~MainViewModel() {
    m_tasks.cancelRunning();
    m_background.waitForDone();
}

void MainViewModel::setSelectedArchiveURL(const std::optional<QString>& value) {
    publish(this, m_selectedArchiveURL, value, &MainViewModel::selectedArchiveURLChanged);
}
void MainViewModel::setSelectedArchivesForExtraction(const QStringList& value) {
    publish(this, m_selectedArchivesForExtraction, value, &MainViewModel::selectedArchivesForExtractionChanged);
}
void MainViewModel::setSplitArchiveState(const SplitArchivePageState& value) {
    publish(this, m_splitArchiveState, value, &MainViewModel::splitArchiveStateChanged);
}
void MainViewModel::setSplitArchiveDescriptor(const std::optional<SplitArchiveDescriptor>& value) {
    publish(this, m_splitArchiveDescriptor, value, &MainViewModel::splitArchiveDescriptorChanged);
}
void MainViewModel::setSelectedFilesForCompression(const QStringList& value) {
    publish(this, m_selectedFilesForCompression, value, &MainViewModel::selectedFilesForCompressionChanged);
}
void MainViewModel::setDestinationURL(const std::optional<QString>& value) {
    publish(this, m_destinationURL, value, &MainViewModel::destinationURLChanged);
}
void MainViewModel::setCompressionPassword(const QString& value) {
    publish(this, m_compressionPassword, value, &MainViewModel::compressionPasswordChanged);
}
void MainViewModel::setExtractionPassword(const QString& value) {
    publish(this, m_extractionPassword, value, &MainViewModel::extractionPasswordChanged);
}
void MainViewModel::setSelectedCompressionFormat(CompressionFormat value) {
    publish(this, m_selectedCompressionFormat, value, &MainViewModel::selectedCompressionFormatChanged);
}
void MainViewModel::setSelectedCompressionLevel(CompressionLevel value) {
    publish(this, m_selectedCompressionLevel, value, &MainViewModel::selectedCompressionLevelChanged);
}
void MainViewModel::setSplitCompressionItems(const QList<SplitCompressionSourceItem>& value) {
    publish(this, m_splitCompressionItems, value, &MainViewModel::splitCompressionItemsChanged);
}
void MainViewModel::setIsCalculatingSplitCompressionItems(bool value) {
    publish(this, m_isCalculatingSplitCompressionItems, value,
            &MainViewModel::isCalculatingSplitCompressionItemsChanged);
}
void MainViewModel::setSplitCompressionEnabled(bool value) {
    publish(this, m_splitCompressionEnabled, value, &MainViewModel::splitCompressionEnabledChanged);
}
void MainViewModel::setSplitCompressionVolumeValue(const QString& value) {
    publish(this, m_splitCompressionVolumeValue, value, &MainViewModel::splitCompressionVolumeValueChanged);
}
void MainViewModel::setSplitCompressionVolumeUnit(SplitCompressionUnit value) {
    publish(this, m_splitCompressionVolumeUnit, value, &MainViewModel::splitCompressionVolumeUnitChanged);
}
void MainViewModel::setSplitCompressionSelectedPresetTitle(const QString& value) {
    publish(this, m_splitCompressionSelectedPresetTitle, value,
            &MainViewModel::splitCompressionSelectedPresetTitleChanged);
}
void MainViewModel::setSplitCompressionFormat(CompressionFormat value) {
    publish(this, m_splitCompressionFormat, value, &MainViewModel::splitCompressionFormatChanged);
}
void MainViewModel::setSplitCompressionLevel(CompressionLevel value) {
    publish(this, m_splitCompressionLevel, value, &MainViewModel::splitCompressionLevelChanged);
}
void MainViewModel::setSplitCompressionOutputDirectoryURL(const std::optional<QString>& value) {
    publish(this, m_splitCompressionOutputDirectoryURL, value,
            &MainViewModel::splitCompressionOutputDirectoryURLChanged);
}
void MainViewModel::setSplitCompressionBaseName(const QString& value) {
    publish(this, m_splitCompressionBaseName, value, &MainViewModel::splitCompressionBaseNameChanged);
}
void MainViewModel::setSplitCompressionConflictStrategy(SplitCompressionConflictStrategy value) {
    publish(this, m_splitCompressionConflictStrategy, value,
            &MainViewModel::splitCompressionConflictStrategyChanged);
}
void MainViewModel::setSplitCompressionPasswordEnabled(bool value) {
    publish(this, m_splitCompressionPasswordEnabled, value, &MainViewModel::splitCompressionPasswordEnabledChanged);
}
void MainViewModel::setSplitCompressionPassword(const QString& value) {
    publish(this, m_splitCompressionPassword, value, &MainViewModel::splitCompressionPasswordChanged);
}
void MainViewModel::setSplitCompressionPasswordConfirmation(const QString& value) {
    publish(this, m_splitCompressionPasswordConfirmation, value,
            &MainViewModel::splitCompressionPasswordConfirmationChanged);
}
void MainViewModel::setSplitCompressionValidateAfterCompletion(bool value) {
    publish(this, m_splitCompressionValidateAfterCompletion, value,
            &MainViewModel::splitCompressionValidateAfterCompletionChanged);
}
void MainViewModel::setSplitCompressionVolumeSizeMessage(const std::optional<QString>& value) {
    publish(this, m_splitCompressionVolumeSizeMessage, value,
            &MainViewModel::splitCompressionVolumeSizeMessageChanged);
}
void MainViewModel::setSplitCompressionOpenAfterCompletion(bool value) {
    publish(this, m_splitCompressionOpenAfterCompletion, value,
            &MainViewModel::splitCompressionOpenAfterCompletionChanged);
}
void MainViewModel::setSplitCompressionNotifyAfterCompletion(bool value) {
    publish(this, m_splitCompressionNotifyAfterCompletion, value,
            &MainViewModel::splitCompressionNotifyAfterCompletionChanged);
}
void MainViewModel::setSettings(const AppSettings& value) {
    publish(this, m_settings, value, &MainViewModel::settingsChanged);
}
void MainViewModel::setIsWorking(bool value) {
    publish(this, m_isWorking, value, &MainViewModel::isWorkingChanged);
}
void MainViewModel::setStatusMessage(const std::optional<QString>& value, StatusKind kind) {
    if (m_statusMessage == value && m_statusKind == kind) return;
    m_statusMessage = value;
    m_statusKind = kind;
    Q_EMIT statusMessageChanged();
    Q_EMIT changed();
}
void MainViewModel::setAlertMessage(const std::optional<QString>& value) {
    publish(this, m_alertMessage, value, &MainViewModel::alertMessageChanged);
}
void MainViewModel::setEncryptedSevenZipConfirmationMessage(const std::optional<QString>& value) {
    publish(this, m_encryptedSevenZipConfirmationMessage, value,
            &MainViewModel::encryptedSevenZipConfirmationMessageChanged);
}
void MainViewModel::setShowingSettings(bool value) {
    publish(this, m_showingSettings, value, &MainViewModel::showingSettingsChanged);
}
void MainViewModel::setSelectedSection(WorkbenchSection value) {
    publish(this, m_selectedSection, value, &MainViewModel::selectedSectionChanged);
}

// The thread count of every tool run started here; the in-memory settings follow it so the next save
// of the record carries it.
int MainViewModel::effectiveThreadCount() {
    const int count = std::max(m_platform.activeProcessorCount(), 1);
    AppSettings settings = m_settings;
    settings.compressionThreadCount = count;
    setSettings(settings);
    return count;
}

void MainViewModel::choosePaths(const WorkbenchPlatform::OpenPanelRequest& request,
                                std::function<void(const QStringList&)> chosen) {
    const QPointer<MainViewModel> model(this);
    m_platform.openPanel(request, [model, chosen = std::move(chosen)](const QStringList& paths) {
        if (model && !paths.isEmpty()) chosen(paths);
    });
}

void MainViewModel::beginWork(const QString& statusText) {
    setIsWorking(true);
    setStatusMessage(statusText);
}

void MainViewModel::endWork(const QString& statusText, StatusKind kind) {
    setIsWorking(false);
    setStatusMessage(statusText, kind);
}

// An archive is a file of a known kind or any numbered volume of a split set.
bool MainViewModel::countsAsArchive(const QString& url) {
    if (ArchiveFormat::kind(url)) return true;
    const auto match = SplitArchiveDetector::detect(FileNameHelper::lastPathComponent(url));
    return match && match->isSplitPart;
}

bool MainViewModel::allCountAsArchives(const QStringList& urls) {
    return !urls.isEmpty() && std::all_of(urls.begin(), urls.end(), countsAsArchive);
}

// Archives that the next extraction takes first, shown as the extract page's selection as well.
void MainViewModel::showArchiveSelection(const QStringList& archives) {
    m_droppedArchiveQueue = archives;
    setSelectedArchiveURL(archives.first());
    setSelectedArchivesForExtraction(archives);
}

void MainViewModel::saveSettings() {
    if (const std::optional<QString> failure = m_settingsStore.save(m_settings)) {
        setAlertMessage(QStringLiteral(u"保存失败：") + *failure);
    }
}

void MainViewModel::refresh() {
    setSettings(m_settingsStore.load());
    const QString& path = m_settings.defaultExtractLocationPath;
    setDestinationURL(path.isEmpty() ? std::nullopt : std::optional<QString>(path));
    if (!m_splitCompressionOutputDirectoryURL) setSplitCompressionOutputDirectoryURL(m_destinationURL);
}

void MainViewModel::selectItemsForHomeAction() {
    choosePaths({.canChooseFiles = true,
                 .canChooseDirectories = true,
                 .allowsMultipleSelection = true,
                 .prompt = QStringLiteral(u"选择"),
                 .purpose = QStringLiteral("home")},
                [this](const QStringList& urls) { handleDropped(urls); });
}

void MainViewModel::selectArchiveAndExtract() {
    choosePaths({.allowsMultipleSelection = true,
                 .purpose = QStringLiteral("archives"),
                 .currentItem = m_selectedArchiveURL.value_or(QString())},
                [this](const QStringList& urls) {
                    if (!allCountAsArchives(urls)) {
                        setAlertMessage(QStringLiteral(u"请选择 ZIP、RAR 或 7Z 压缩包。"));
                        return;
                    }
                    showArchiveSelection(urls);
                    setStatusMessage(QStringLiteral(u"已选择 %1 个压缩包，开始自动解压...").arg(urls.size()));
                    extract();
                });
}

void MainViewModel::selectArchiveAndExtractToDestination() {
    choosePaths(
        {.allowsMultipleSelection = true,
         .prompt = QStringLiteral(u"选择压缩包"),
         .purpose = QStringLiteral("archives"),
         .currentItem = m_selectedArchiveURL.value_or(QString())},
        [this](const QStringList& urls) {
            if (!allCountAsArchives(urls)) {
                setAlertMessage(QStringLiteral(u"请选择 ZIP、RAR 或 7Z 压缩包。"));
                return;
            }
            choosePaths(
                {.canChooseFiles = false,
                 .canChooseDirectories = true,
                 .prompt = QStringLiteral(u"选择解压目录"),
                 .purpose = QStringLiteral("destination"),
                 .currentItem = m_destinationURL.value_or(QString())},
                [this, urls](const QStringList& folders) {
                    showArchiveSelection(urls);
                    setStatusMessage(
                        QStringLiteral(u"已选择 %1 个压缩包，开始解压到指定文件夹...").arg(urls.size()));
                    extract({.destinationOverrideURL = folders.first()});
                });
        });
}

void MainViewModel::resetDestinationToCurrentLocation() {
    setDestinationURL(std::nullopt);
    AppSettings settings = m_settings;
    settings.defaultExtractLocationPath.clear();
    setSettings(settings);
    saveSettings();
    setStatusMessage(QStringLiteral(u"已改为默认保存到源文件当前位置。"));
}

void MainViewModel::handleDropped(const QStringList& urls) {
    if (urls.isEmpty()) return;
    if (allCountAsArchives(urls)) {
        showArchiveSelection(urls);
        setStatusMessage(QStringLiteral(u"已放入 %1 个压缩包，开始自动解压...").arg(urls.size()));
        extract();
        return;
    }
    // A mixed list is compressed as a whole, archives included.
    setSelectedFilesForCompression(urls);
    m_droppedArchiveQueue.clear();
    setStatusMessage(QStringLiteral(u"已放入 %1 个项目，开始自动压缩...").arg(urls.size()));
    compress(false);
}
