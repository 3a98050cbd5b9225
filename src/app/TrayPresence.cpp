#include "app/TrayPresence.h"

#include "app/Scheduler.h"

#include <QDBusConnection>
#include <QDBusServiceWatcher>

namespace {

const QString kStatusNotifierWatcher = QStringLiteral("org.kde.StatusNotifierWatcher");

}  // namespace

TrayPresence::TrayPresence(Scheduler& scheduler, std::function<bool()> isAvailable, QObject* parent)
    : QObject(parent), m_scheduler(scheduler), m_isAvailable(std::move(isAvailable)) {
    m_available = m_isAvailable();
    m_hasAppeared = m_available;
    const QDBusConnection bus = QDBusConnection::sessionBus();
    if (bus.isConnected()) {
        m_watcher = new QDBusServiceWatcher(kStatusNotifierWatcher, bus,
                                            QDBusServiceWatcher::WatchForRegistration, this);
        connect(m_watcher, &QDBusServiceWatcher::serviceRegistered, this, &TrayPresence::trayRestarted);
    }
    poll();
}

void TrayPresence::poll() {
    m_scheduler.schedule(kPollIntervalMs, this, [this] {
        look();
        poll();
    });
}

void TrayPresence::look() {
    const bool available = m_isAvailable();
    if (available == m_available) return;
    m_available = available;
    if (!available) return;
    m_hasAppeared = true;
    Q_EMIT appeared();
}

void TrayPresence::trayRestarted() {
    m_available = m_isAvailable();
    m_hasAppeared = true;
    Q_EMIT appeared();
}
