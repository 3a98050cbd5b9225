#include "viewmodels/WorkbenchContext.h"

#include "core/base/FileNameHelper.h"
#include "core/base/SplitArchiveDetector.h"
#include "core/state/ArchivePasswordBookStore.h"
#include "core/state/SettingsStore.h"
#include "core/state/WorkbenchStore.h"
#include "viewmodels/OperationFailure.h"
#include "viewmodels/Publish.h"

#include <QPointer>
#include <algorithm>

WorkbenchContext::WorkbenchContext(WorkbenchEngine& engine, SettingsStore& settingsStore,
                                   ArchivePasswordBookStore& passwordBookStore,
                                   WorkbenchStore& workbenchStore, WorkbenchPlatform& platform,
                                   QThreadPool* workerPool, QObject* parent)
    : QObject(parent),
      m_engine(engine),
      m_settingsStore(settingsStore),
      m_passwordBookStore(passwordBookStore),
      m_workbenchStore(workbenchStore),
      m_platform(platform),
      m_background(this, workerPool),
      m_tasks(workbenchStore, m_background) {
    m_settings = m_settingsStore.load();
    if (!m_settings.defaultExtractLocationPath.isEmpty())
        m_destinationURL = m_settings.defaultExtractLocationPath;
    connect(&settingsStore, &SettingsStore::changed, this, &WorkbenchContext::setSettings);
    // Task changes are written off the GUI thread; one the disk refused is shown once it is known.
    connect(&workbenchStore, &WorkbenchStore::saveFailed, this,
            [this](const QString& reason) { setAlertMessage(OperationFailure::saveFailed(reason)); });
}

WorkbenchContext::~WorkbenchContext() { stopWork(); }

// The workers own nothing of the models, but they run on this pool: stop them rather than keep the
// process waiting for a long compression on the way out.
void WorkbenchContext::stopWork() {
    m_tasks.cancelRunning();
    m_background.waitForDone();
}

void WorkbenchContext::setSettings(const AppSettings& value) {
    publish(this, m_settings, value, &WorkbenchContext::settingsChanged);
}
void WorkbenchContext::setDestinationURL(const std::optional<QString>& value) {
    // What a page said under the old folder, an outcome or the notice about the folder, no longer holds.
    if (value != m_destinationURL) endPageStatus();
    publish(this, m_destinationURL, value, &WorkbenchContext::destinationURLChanged);
}
void WorkbenchContext::setIsWorking(bool value) {
    publish(this, m_isWorking, value, &WorkbenchContext::isWorkingChanged);
}
// Page texts name paths (an archive written, an input refused) whose bytes need not be UTF-8: they are
// shown as legacy names are.
void WorkbenchContext::setStatusMessage(const std::optional<QString>& text, StatusKind kind) {
    const std::optional<QString> value = text ? std::optional(FileNameHelper::shownText(*text)) : std::nullopt;
    if (m_statusMessage == value && m_statusKind == kind) return;
    m_statusMessage = value;
    m_statusKind = kind;
    Q_EMIT statusMessageChanged();
    Q_EMIT changed();
}
void WorkbenchContext::endPageStatus() {
    if (!m_isWorking) setStatusMessage(std::nullopt);
}
void WorkbenchContext::setAlertMessage(const std::optional<QString>& text) {
    const std::optional<QString> value = text ? std::optional(FileNameHelper::shownText(*text)) : std::nullopt;
    publish(this, m_alertMessage, value, &WorkbenchContext::alertMessageChanged);
}
void WorkbenchContext::setSelectedSection(WorkbenchSection value) {
    // A status set by a page (a warning about a choice made there, a finished run's outcome) ends when
    // the user leaves it; a running operation keeps reporting on every page.
    if (value != m_selectedSection) endPageStatus();
    publish(this, m_selectedSection, value, &WorkbenchContext::selectedSectionChanged);
}

void WorkbenchContext::refresh() {
    setSettings(m_settingsStore.load());
    const QString& path = m_settings.defaultExtractLocationPath;
    setDestinationURL(path.isEmpty() ? std::nullopt : std::optional<QString>(path));
    Q_EMIT refreshed();
}

void WorkbenchContext::selectDestination() { chooseDestination({}); }

void WorkbenchContext::chooseDestination(std::function<void()> chosen) {
    choosePaths(this,
                {.choosesFiles = false,
                 .choosesFolders = true,
                 .prompt = QStringLiteral(u"选择"),
                 .purpose = QStringLiteral("destination"),
                 .currentItem = m_destinationURL.value_or(QString())},
                [this, chosen = std::move(chosen)](const QStringList& folders) {
                    setDestinationURL(folders.first());
                    updateSettings([&](AppSettings& settings) {
                        settings.defaultExtractLocationPath = folders.first();
                    });
                    if (chosen) chosen();
                });
}

void WorkbenchContext::resetDestinationToCurrentLocation() {
    setDestinationURL(std::nullopt);
    updateSettings([](AppSettings& settings) { settings.defaultExtractLocationPath.clear(); });
    setStatusMessage(QStringLiteral(u"已改为默认保存到源文件当前位置。"));
}

QString WorkbenchContext::destinationDescription() const {
    return m_destinationURL ? *m_destinationURL : QStringLiteral(u"跟随文件当前位置");
}

int WorkbenchContext::effectiveThreadCount() {
    const int count = std::max(m_platform.activeProcessorCount(), 1);
    AppSettings settings = m_settings;
    settings.compressionThreadCount = count;
    setSettings(settings);
    return count;
}

void WorkbenchContext::choosePaths(QObject* receiver, const WorkbenchPlatform::FileDialogRequest& request,
                                   std::function<void(const QStringList&)> chosen) {
    const QPointer<QObject> alive(receiver);
    m_platform.openFileDialog(request, [alive, chosen = std::move(chosen)](const QStringList& paths) {
        if (alive && !paths.isEmpty()) chosen(paths);
    });
}

void WorkbenchContext::beginWork(const QString& statusText) {
    setIsWorking(true);
    setStatusMessage(statusText);
}

void WorkbenchContext::endWork(const QString& statusText, StatusKind kind) {
    setIsWorking(false);
    setStatusMessage(statusText, kind);
}

bool WorkbenchContext::updateSettings(const std::function<void(AppSettings&)>& change) {
    if (const std::optional<QString> failure = m_settingsStore.update(change)) {
        setAlertMessage(OperationFailure::saveFailed(*failure));
        return false;
    }
    return true;
}

std::optional<QString> WorkbenchContext::rememberPasswordIfNeeded(const QString& url,
                                                                  const std::optional<QString>& password) {
    const QString trimmed = password.value_or(QString()).trimmed();
    if (!m_settings.archivePasswordBookAutoSaveEnabled || trimmed.isEmpty()) return std::nullopt;
    const QString fileName = FileNameHelper::lastPathComponent(url);
    const auto match = SplitArchiveDetector::detect(fileName);
    return m_passwordBookStore.remember(trimmed, url, match ? match->displayName : fileName).failure;
}
