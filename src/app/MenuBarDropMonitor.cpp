#include "app/MenuBarDropMonitor.h"

#include <QJsonArray>
#include <QJsonDocument>

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
                                       IncomingHandler handleIncoming, Delay delay, QObject* parent)
    : QObject(parent),
      m_settingsStore(settingsStore),
      m_defaults(std::move(defaults)),
      m_watcher(std::move(watcher)),
      m_anchorProvider(std::move(anchorProvider)),
      m_handleIncoming(std::move(handleIncoming)),
      m_delay(std::move(delay)),
      m_lastDragPasteboardChangeCount(m_watcher->changeCount()) {
    connect(m_watcher.get(), &DragWatcher::mouseDragged, this, &MenuBarDropMonitor::handleGlobalMouseDragged);
    connect(m_watcher.get(), &DragWatcher::mouseReleased, this, &MenuBarDropMonitor::handleGlobalMouseUp);
}

MenuBarDropMonitor::~MenuBarDropMonitor() = default;

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
    m_delay(kHideDelayMilliseconds, [this, generation] {
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
