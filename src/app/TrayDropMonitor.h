#pragma once

#include "app/DragWatcher.h"
#include "app/TrayDropWindowController.h"
#include "core/state/SettingsStore.h"
#include "platform/DefaultsStore.h"

#include <QObject>
#include <functional>
#include <memory>
#include <optional>

// Shows the drop panel while files are dragged anywhere on the desktop and hides it when the drag
// ends: the drag part of the application coordinator. Each drag is examined once; a drag that
// carries no existing file hides the panel for as long as it lasts.
class AppCoordinator;
class Scheduler;

class TrayDropMonitor : public QObject {
    Q_OBJECT
public:
    using IncomingHandler = std::function<void(const QStringList& paths)>;

    TrayDropMonitor(SettingsStore& settingsStore, DefaultsStore defaults,
                    std::unique_ptr<DragWatcher> watcher,
                    TrayDropWindowController::AnchorProvider anchorProvider, IncomingHandler handleIncoming,
                    Scheduler& scheduler, QObject* parent = nullptr);
    ~TrayDropMonitor() override;

    // The monitor of the running application: the coordinator's settings and clock, its tray icon as
    // the anchor, and drops going to its handleIncoming.
    static std::unique_ptr<TrayDropMonitor> forCoordinator(AppCoordinator& coordinator,
                                                           DefaultsStore defaults,
                                                           std::unique_ptr<DragWatcher> watcher);

    // Once per process, from the deferred launch work: switches the option on until the user has
    // chosen, then starts watching. Later calls do nothing.
    void startTrayDropMonitor();

    // Until the user has touched the option, every launch switches it on.
    void applyDefaultTrayDropSettingIfNeeded();

    // The panel, once a drag has shown it.
    TrayDropWindowController* windowController() const { return m_trayDropWindowController.get(); }

    static constexpr int kHideDelayMilliseconds = 650;

private:
    void handleGlobalMouseDragged();
    void handleGlobalMouseUp();
    void showTrayDropWindow();
    void scheduleTrayDropWindowHide();
    void cancelPendingHide();
    void hideWindow();
    void handleTrayDrop(const QStringList& paths);
    bool isEnabled();

    SettingsStore& m_settingsStore;
    DefaultsStore m_defaults;
    std::unique_ptr<DragWatcher> m_watcher;
    TrayDropWindowController::AnchorProvider m_anchorProvider;
    IncomingHandler m_handleIncoming;
    Scheduler& m_scheduler;
    bool m_started = false;
    qint64 m_lastDragChangeCount = 0;
    std::optional<qint64> m_activeFileDragChangeCount;
    // A delayed hide runs only while no later show, hide or drop has overtaken it.
    quint64 m_hideGeneration = 0;
    std::unique_ptr<TrayDropWindowController> m_trayDropWindowController;
};
