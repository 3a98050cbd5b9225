#pragma once

#include "platform/DefaultsStore.h"

#include <QCoreApplication>
#include <QString>

// Start at login: an XDG autostart entry that starts velmora hidden (`--background-login`). It takes
// effect at the next login. The folders installing had to create are recorded and, once empty, go with
// the entry. Blocking file work; any thread.
class LoginItemService {
public:
    static inline const QString createdAutostartFoldersKey = QStringLiteral("velmoraCreatedAutostartFolders");

    // The velmora executable the entry starts; defaults keeps the record of the folders made.
    explicit LoginItemService(QString applicationFilePath = QCoreApplication::applicationFilePath(),
                              DefaultsStore defaults = DefaultsStore());
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
    DefaultsStore m_defaults;
};
