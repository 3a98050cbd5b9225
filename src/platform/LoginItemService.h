#pragma once

#include <QCoreApplication>
#include <QString>

// Start at login: an XDG autostart entry that starts velmora hidden (`--background-login`). It takes
// effect at the next login. Blocking file work; any thread.
class LoginItemService {
public:
    // The velmora executable the entry starts.
    explicit LoginItemService(QString applicationFilePath = QCoreApplication::applicationFilePath());
    virtual ~LoginItemService() = default;

    // $XDG_CONFIG_HOME/autostart/com.velmora.pro.background-login.desktop
    QString launchAgentURL() const;

    // Both throw LoginItemServiceError. Installing again rewrites the entry; removing a missing one is
    // no error.
    virtual void installLaunchAgent();
    virtual void removeLaunchAgent();
    virtual bool isLaunchAgentInstalled() const;

    static QByteArray launchAgentEntry(const QString& appPath);

private:
    QString m_applicationFilePath;
};
