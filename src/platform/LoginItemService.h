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
    QString autostartEntryPath() const;

    // Both throw LoginItemServiceError. Installing again rewrites the entry; removing a missing one is
    // no error.
    virtual void installAutostartEntry();
    virtual void removeAutostartEntry();
    virtual bool isAutostartEntryInstalled() const;

    static QByteArray autostartEntry(const QString& appPath);

private:
    QString m_applicationFilePath;
};
