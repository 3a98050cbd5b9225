#include "app/MenuBarDropMonitor.h"

#include "app/AppCoordinator.h"
#include "app/Scheduler.h"
#include "app/StatusMenu.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QSystemTrayIcon>

namespace {

const QString kUserConfiguredKey = QStringLiteral("menuBarDropUserConfigured");

// The key holds a JSON boolean; anything else reads as false.
bool storedFlag(const DefaultsStore& defaults, const QString& key) {
    const std::optional<QByteArray> value = defaults.data(key);
    if (!value) return false;
    return QJsonDocument::fromJson('[' + *value + ']').array().at(0).toBool(false);
}

}  // namespace

MenuBarDropMonitor::MenuBarDropMonitor(SettingsStore& settingsStore, DefaultsStore defaults,
                                       std::unique_ptr<DragWatcher> watcher,
                                       MenuBarDropWindowController::AnchorProvider anchorProvider,
                                       IncomingHandler handleIncoming, Scheduler& scheduler, QObject* parent)
    : QObject(parent),
      m_settingsStore(settingsStore),
      m_defaults(std::move(defaults)),
      m_watcher(std::move(watcher)),
      m_anchorProvider(std::move(anchorProvider)),
      m_handleIncoming(std::move(handleIncoming)),
      m_scheduler(scheduler),
      m_lastDragPasteboardChangeCount(m_watcher->changeCount()) {
    connect(m_watcher.get(), &DragWatcher::mouseDragged, this, &MenuBarDropMonitor::handleGlobalMouseDragged);
    connect(m_watcher.get(), &DragWatcher::mouseReleased, this, &MenuBarDropMonitor::handleGlobalMouseUp);
}

MenuBarDropMonitor::~MenuBarDropMonitor() = default;

std::unique_ptr<MenuBarDropMonitor> MenuBarDropMonitor::forCoordinator(AppCoordinator& coordinator,
                                                                       DefaultsStore defaults,
                                                                       std::unique_ptr<DragWatcher> watcher) {
    // Most StatusNotifierItem trays report no geometry; the panel then goes to the screen's corner.
    auto trayIconFrame = [&coordinator]() -> std::optional<QRect> {
        const StatusMenu* menu = coordinator.statusMenu();
        const QRect frame = menu ? menu->trayIcon()->geometry() : QRect();
        return frame.isEmpty() ? std::nullopt : std::optional<QRect>(frame);
    };
    return std::make_unique<MenuBarDropMonitor>(
        coordinator.settingsStore(), std::move(defaults), std::move(watcher), trayIconFrame,
        [&coordinator](const QStringList& paths) { coordinator.handleIncoming(paths); },
        coordinator.scheduler());
}

void MenuBarDropMonitor::startMenuBarDropMonitor() {
    if (m_started) return;
    m_started = true;
    applyDefaultMenuBarDropSettingIfNeeded();
    m_watcher->start();
}

void MenuBarDropMonitor::applyDefaultMenuBarDropSettingIfNeeded() {
    if (storedFlag(m_defaults, kUserConfiguredKey)) return;
    AppSettings settings = m_settingsStore.load();
    settings.menuBarDropEnabled = true;
    m_settingsStore.save(settings);
}

void MenuBarDropMonitor::handleGlobalMouseDragged() {
    if (!isEnabled()) return;
    const qint64 changeCount = m_watcher->changeCount();
    if (m_activeFileDragPasteboardChangeCount == changeCount) {
        showMenuBarDropWindow();
        return;
    }
    if (changeCount == m_lastDragPasteboardChangeCount) return;
    // A new drag: decide once whether it carries files.
    m_lastDragPasteboardChangeCount = changeCount;
    if (m_watcher->isDraggingFiles()) {
        m_activeFileDragPasteboardChangeCount = changeCount;
        showMenuBarDropWindow();
    } else {
        m_activeFileDragPasteboardChangeCount.reset();
        cancelPendingHide();
        hideWindow();
    }
}

void MenuBarDropMonitor::handleGlobalMouseUp() {
    m_activeFileDragPasteboardChangeCount.reset();
    m_lastDragPasteboardChangeCount = m_watcher->changeCount();
    scheduleMenuBarDropWindowHide();
}

void MenuBarDropMonitor::showMenuBarDropWindow() {
    if (!isEnabled()) return;
    cancelPendingHide();
    if (!m_menuBarDropWindowController) {
        m_menuBarDropWindowController = std::make_unique<MenuBarDropWindowController>(
            m_anchorProvider, [this](const QStringList& paths) { handleMenuBarDrop(paths); });
    }
    m_menuBarDropWindowController->showCompact();
}

void MenuBarDropMonitor::scheduleMenuBarDropWindowHide() {
    const quint64 generation = ++m_hideGeneration;
    m_scheduler.schedule(kHideDelayMilliseconds, this, [this, generation] {
        if (generation == m_hideGeneration) hideWindow();
    });
}

void MenuBarDropMonitor::cancelPendingHide() { ++m_hideGeneration; }

void MenuBarDropMonitor::hideWindow() {
    if (m_menuBarDropWindowController) m_menuBarDropWindowController->hide();
}

void MenuBarDropMonitor::handleMenuBarDrop(const QStringList& paths) {
    cancelPendingHide();
    hideWindow();
    if (isEnabled()) m_handleIncoming(paths);
}

bool MenuBarDropMonitor::isEnabled() { return m_settingsStore.load().menuBarDropEnabled; }
