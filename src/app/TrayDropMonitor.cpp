#include "app/TrayDropMonitor.h"

#include "app/AppCoordinator.h"
#include "app/Scheduler.h"
#include "app/StatusMenu.h"
#include "viewmodels/SettingsViewModel.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QSystemTrayIcon>

namespace {

// The key holds a JSON boolean; anything else reads as false.
bool storedFlag(const DefaultsStore& defaults, const QString& key) {
    const std::optional<QByteArray> value = defaults.data(key);
    if (!value) return false;
    return QJsonDocument::fromJson('[' + *value + ']').array().at(0).toBool(false);
}

}  // namespace

TrayDropMonitor::TrayDropMonitor(SettingsStore& settingsStore, DefaultsStore defaults,
                                 std::unique_ptr<DragWatcher> watcher,
                                 TrayDropWindowController::AnchorProvider anchorProvider,
                                 IncomingHandler handleIncoming, Scheduler& scheduler, QObject* parent)
    : QObject(parent),
      m_settingsStore(settingsStore),
      m_defaults(std::move(defaults)),
      m_watcher(std::move(watcher)),
      m_anchorProvider(std::move(anchorProvider)),
      m_handleIncoming(std::move(handleIncoming)),
      m_scheduler(scheduler),
      m_lastDragChangeCount(m_watcher->changeCount()) {
    connect(m_watcher.get(), &DragWatcher::mouseDragged, this, &TrayDropMonitor::handleGlobalMouseDragged);
    connect(m_watcher.get(), &DragWatcher::mouseReleased, this, &TrayDropMonitor::handleGlobalMouseUp);
}

TrayDropMonitor::~TrayDropMonitor() = default;

std::unique_ptr<TrayDropMonitor> TrayDropMonitor::forCoordinator(AppCoordinator& coordinator,
                                                                 DefaultsStore defaults,
                                                                 std::unique_ptr<DragWatcher> watcher) {
    // Most StatusNotifierItem trays report no geometry; the panel then goes to the screen's corner.
    auto trayIconFrame = [&coordinator]() -> std::optional<QRect> {
        const StatusMenu* menu = coordinator.statusMenu();
        const QRect frame = menu ? menu->trayIcon()->geometry() : QRect();
        return frame.isEmpty() ? std::nullopt : std::optional<QRect>(frame);
    };
    return std::make_unique<TrayDropMonitor>(
        coordinator.settingsStore(), std::move(defaults), std::move(watcher), trayIconFrame,
        [&coordinator](const QStringList& paths) { coordinator.handleIncoming(paths); },
        coordinator.scheduler());
}

void TrayDropMonitor::startTrayDropMonitor() {
    if (m_started) return;
    m_started = true;
    applyDefaultTrayDropSettingIfNeeded();
    m_watcher->start();
}

void TrayDropMonitor::applyDefaultTrayDropSettingIfNeeded() {
    if (storedFlag(m_defaults, SettingsViewModel::kTrayDropUserConfiguredKey)) return;
    // Nothing to tell when it cannot be stored: the option stays off until the next launch tries again.
    m_settingsStore.update([](AppSettings& settings) { settings.trayDropEnabled = true; });
}

void TrayDropMonitor::handleGlobalMouseDragged() {
    if (!isEnabled()) return;
    const qint64 changeCount = m_watcher->changeCount();
    if (m_activeFileDragChangeCount == changeCount) {
        showTrayDropWindow();
        return;
    }
    if (changeCount == m_lastDragChangeCount) return;
    // A new drag: decide once whether it carries files.
    m_lastDragChangeCount = changeCount;
    if (m_watcher->isDraggingFiles()) {
        m_activeFileDragChangeCount = changeCount;
        showTrayDropWindow();
    } else {
        m_activeFileDragChangeCount.reset();
        cancelPendingHide();
        hideWindow();
    }
}

void TrayDropMonitor::handleGlobalMouseUp() {
    m_activeFileDragChangeCount.reset();
    m_lastDragChangeCount = m_watcher->changeCount();
    scheduleTrayDropWindowHide();
}

void TrayDropMonitor::showTrayDropWindow() {
    if (!isEnabled()) return;
    cancelPendingHide();
    if (!m_trayDropWindowController) {
        m_trayDropWindowController = std::make_unique<TrayDropWindowController>(
            m_anchorProvider, [this](const QStringList& paths) { handleTrayDrop(paths); });
    }
    m_trayDropWindowController->showCompact();
}

void TrayDropMonitor::scheduleTrayDropWindowHide() {
    const quint64 generation = ++m_hideGeneration;
    m_scheduler.schedule(kHideDelayMilliseconds, this, [this, generation] {
        if (generation == m_hideGeneration) hideWindow();
    });
}

void TrayDropMonitor::cancelPendingHide() { ++m_hideGeneration; }

void TrayDropMonitor::hideWindow() {
    if (m_trayDropWindowController) m_trayDropWindowController->hide();
}

void TrayDropMonitor::handleTrayDrop(const QStringList& paths) {
    cancelPendingHide();
    hideWindow();
    if (isEnabled()) m_handleIncoming(paths);
}

bool TrayDropMonitor::isEnabled() { return m_settingsStore.load().trayDropEnabled; }
