#pragma once

#include "core/state/AppSettings.h"
#include "core/state/ArchivePasswordBookEntry.h"
#include "platform/DefaultArchiveToolResult.h"
#include "platform/DefaultsStore.h"
#include "viewmodels/BackgroundRunner.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QThreadPool>
#include <QUuid>
#include <functional>
#include <memory>
#include <optional>

class ArchivePasswordBookStore;
class LoginItemService;
class SettingsStore;
class SystemIntegrationService;
class WorkbenchPlatform;

// The settings page's state and actions. Every change stores only its one field (SettingsStore::update),
// so a choice made elsewhere since the page opened is never undone, and the page follows every record
// its store saves. Switches whose action can fail show what the action left stored: a failed one springs
// back. The default-handler change runs on a worker; only the newest request's outcome counts. Lives on
// the GUI thread; emits changed() after every change of what it shows.
class SettingsViewModel : public QObject {
    Q_OBJECT

public:
    // A stored key: it keeps the name the switch had first.
    static inline const QString kTrayDropUserConfiguredKey = QStringLiteral("menuBarDropUserConfigured");
    static inline const QString kContextMenuGuideAcknowledgedKey =
        QStringLiteral("contextMenuSetupGuideAcknowledged");

    // What the page works on besides the stores.
    struct Environment {
        std::shared_ptr<SystemIntegrationService> systemIntegrationService;
        std::shared_ptr<LoginItemService> loginItemService;
        // Where the page keeps its own flags.
        DefaultsStore defaults;
        // A velmora that runs from a build tree rather than an installation earns a note.
        QString applicationFilePath;

        // Services of their own over the user's desktop, for the running program.
        static Environment standard();
    };

    SettingsViewModel(SettingsStore& settingsStore, ArchivePasswordBookStore& passwordBookStore,
                      WorkbenchPlatform& platform, Environment environment = Environment::standard(),
                      QThreadPool* workerPool = nullptr, QObject* parent = nullptr);
    ~SettingsViewModel() override;

    const AppSettings& settings() const { return m_settings; }
    const std::optional<QString>& message() const { return m_message; }
    const QString& systemIntegrationMessage() const { return m_systemIntegrationMessage; }
    // In display order.
    const QList<ArchivePasswordBookEntry>& passwordBookEntries() const { return m_passwordBookEntries; }
    bool isContextMenuGuideAcknowledged() const;

    // Plain switches.
    void setExtractToSeparateFolder(bool enabled);
    void setDeleteSourceAfterExtract(bool enabled);
    void setArchivePasswordBookEnabled(bool enabled);
    void setArchivePasswordBookAutoSaveEnabled(bool enabled);

    void useCurrentFileLocation();
    // Asks for a folder; a cancelled panel changes nothing.
    void chooseDefaultLocation();

    // Action switches.
    void setDefaultExtractor(bool enabled);
    void setContextMenuEnabled(bool enabled);
    void setLaunchAtLogin(bool enabled);
    void setTrayDropEnabled(bool enabled);
    // Always switches multi-threading on: the thread count becomes the processor count.
    void setMultiThreadEngineEnabled(bool enabled);

    void removePasswordBookEntry(const ArchivePasswordBookEntry& entry);
    void clearPasswordBook();
    void acknowledgeContextMenuGuide();

    // The page was shown: start at login, the password book and the default-handler status read anew.
    void refresh();

Q_SIGNALS:
    void changed();

private:
    // False when the change could not be saved: the page then shows the stored settings and why.
    bool updateSettings(const std::function<void(AppSettings&)>& change);
    void setMessage(const QString& text);
    QList<ArchivePasswordBookEntry> sortedPasswordBook() const;
    void reloadPasswordBook();
    void refreshSystemIntegrationStatus();
    void finishDefaultExtractorRequest(bool enabled, Outcome<QList<DefaultArchiveToolResult>>& outcome);
    bool isInstalled() const;

    SettingsStore& m_settingsStore;
    ArchivePasswordBookStore& m_passwordBookStore;
    WorkbenchPlatform& m_platform;
    Environment m_environment;

    AppSettings m_settings;
    std::optional<QString> m_message;
    QString m_systemIntegrationMessage;
    QList<ArchivePasswordBookEntry> m_passwordBookEntries;
    QUuid m_systemIntegrationRequestToken;

    BackgroundRunner m_runner;
};
