#pragma once

#include "core/state/AppSettings.h"
#include "core/state/WorkbenchSection.h"
#include "viewmodels/BackgroundRunner.h"
#include "viewmodels/StatusKind.h"
#include "viewmodels/WorkbenchPlatform.h"
#include "viewmodels/WorkbenchTaskRunner.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <QThreadPool>
#include <functional>
#include <optional>

class ArchivePasswordBookStore;
class SettingsStore;
class WorkbenchEngine;
class WorkbenchStore;

// What the main window's page models share: the engine, the stores and the desktop, one background
// runner and one task runner for every operation, the settings, the destination folder that several
// pages use, the status line with its kind and the working flag (one banner on every page), the
// alert and the section shown. The page models reach one another's state only through here. Lives on
// the GUI thread; its destructor stops every run still going.
class WorkbenchContext : public QObject {
    Q_OBJECT

public:
    WorkbenchContext(WorkbenchEngine& engine, SettingsStore& settingsStore,
                     ArchivePasswordBookStore& passwordBookStore, WorkbenchStore& workbenchStore,
                     WorkbenchPlatform& platform, QThreadPool* workerPool = nullptr,
                     QObject* parent = nullptr);
    ~WorkbenchContext() override;

    WorkbenchEngine& engine() const { return m_engine; }
    ArchivePasswordBookStore& passwordBookStore() const { return m_passwordBookStore; }
    WorkbenchStore& workbenchStore() const { return m_workbenchStore; }
    // The desktop the models ask for panels and reveals; the settings page asks it too.
    WorkbenchPlatform& platform() const { return m_platform; }
    BackgroundRunner& background() { return m_background; }
    WorkbenchTaskRunner& tasks() { return m_tasks; }

    // Published state.
    // A copy of the stored record that follows every save of the store; effectiveThreadCount puts the
    // count of the last run in until the next one.
    const AppSettings& settings() const { return m_settings; }
    // The folder chosen for results; none: beside the sources. Another folder ends the status line.
    const std::optional<QString>& destinationURL() const { return m_destinationURL; }
    void setDestinationURL(const std::optional<QString>& value);
    bool isWorking() const { return m_isWorking; }
    void setIsWorking(bool value);
    const std::optional<QString>& statusMessage() const { return m_statusMessage; }
    StatusKind statusKind() const { return m_statusKind; }
    // A message and its kind change together; statusMessageChanged reports either.
    void setStatusMessage(const std::optional<QString>& value, StatusKind kind = StatusKind::success);
    // Ends a status about a page's choices or its last outcome once they change; a running
    // operation's status stays, it reports on every page.
    void endPageStatus();
    const std::optional<QString>& alertMessage() const { return m_alertMessage; }
    void setAlertMessage(const std::optional<QString>& value);
    WorkbenchSection selectedSection() const { return m_selectedSection; }
    // Another section ends the status line unless an operation is running.
    void setSelectedSection(WorkbenchSection value);

    // Archives handed over by a drop or a home action; the next extraction takes them first. Choosing
    // something else on a page drops them.
    const QStringList& handedOverArchives() const { return m_handedOverArchives; }
    void setHandedOverArchives(const QStringList& archives) { m_handedOverArchives = archives; }
    void clearHandedOverArchives() { m_handedOverArchives.clear(); }

    // Loads the stored settings and destination again, then emits refreshed().
    void refresh();
    void selectDestination();
    // As selectDestination; `chosen` runs once the chosen folder is the destination, not on a cancel.
    void chooseDestination(std::function<void()> chosen);
    void resetDestinationToCurrentLocation();
    QString destinationDescription() const;

    // Shared by the operations.
    // The thread count of every tool run. The context's copy of the settings follows it; the stored
    // record never gets it.
    int effectiveThreadCount();
    // Opens a panel; `chosen` runs later with a choice that is not empty, while `receiver` exists.
    void choosePaths(QObject* receiver, const WorkbenchPlatform::FileDialogRequest& request,
                     std::function<void(const QStringList&)> chosen);
    void beginWork(const QString& statusText);
    void endWork(const QString& statusText, StatusKind kind = StatusKind::success);
    // Changes these fields of the stored record only, so nothing another writer stored since is undone;
    // the context's copy follows through the store. A save that fails changes neither and is shown as
    // the alert; false then.
    bool updateSettings(const std::function<void(AppSettings&)>& change);
    // Offers the password to the password book under the archive's key, trimmed, when auto-save is on.
    // The reason when the book could not be written.
    std::optional<QString> rememberPasswordIfNeeded(const QString& url,
                                                    const std::optional<QString>& password);
    // Cancels every run and waits for the workers, so nothing is delivered to a model going away.
    void stopWork();

Q_SIGNALS:
    void changed();
    void settingsChanged();
    void destinationURLChanged();
    void isWorkingChanged();
    void statusMessageChanged();
    void alertMessageChanged();
    void selectedSectionChanged();
    // refresh() has loaded the stored values.
    void refreshed();

private:
    void setSettings(const AppSettings& value);

    AppSettings m_settings;
    std::optional<QString> m_destinationURL;
    bool m_isWorking = false;
    std::optional<QString> m_statusMessage;
    StatusKind m_statusKind = StatusKind::success;
    std::optional<QString> m_alertMessage;
    WorkbenchSection m_selectedSection = WorkbenchSection::home;
    QStringList m_handedOverArchives;

    WorkbenchEngine& m_engine;
    SettingsStore& m_settingsStore;
    ArchivePasswordBookStore& m_passwordBookStore;
    WorkbenchStore& m_workbenchStore;
    WorkbenchPlatform& m_platform;

    BackgroundRunner m_background;
    WorkbenchTaskRunner m_tasks;
};
