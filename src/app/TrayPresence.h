#pragma once

#include <QObject>
#include <functional>

class QDBusServiceWatcher;
class Scheduler;

// Whether the desktop shows a tray, followed for the whole session: panels start after a login start
// and restart later, and Qt tells neither. The availability is asked every two seconds, and a
// StatusNotifierItem watcher registering on the session bus counts as a tray appearing, since a
// restarted watcher has forgotten the icons registered with the one before. GUI thread only.
class TrayPresence : public QObject {
    Q_OBJECT

public:
    static constexpr int kPollIntervalMs = 2000;

    TrayPresence(Scheduler& scheduler, std::function<bool()> isAvailable, QObject* parent = nullptr);

    bool isAvailable() const { return m_available; }
    // A tray has been seen in this session: one that goes away is a panel restarting, not a desktop
    // without a tray.
    bool hasAppeared() const { return m_hasAppeared; }

Q_SIGNALS:
    // A tray is there that may not hold the icon yet: the first one, or one after a restart.
    void appeared();

private:
    void poll();
    void look();
    void trayRestarted();

    Scheduler& m_scheduler;
    std::function<bool()> m_isAvailable;
    bool m_available = false;
    bool m_hasAppeared = false;
    QDBusServiceWatcher* m_watcher = nullptr;
};
