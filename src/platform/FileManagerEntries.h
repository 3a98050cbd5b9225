#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// The "用 velmora 解压" and "用 velmora 压缩为 ZIP" items of the user's file managers: Dolphin service
// menus, Nemo actions, and Nautilus and Caja scripts. Each runs the helper by its absolute path as
// `helper extract|compress PATH...`, one argument per selected item.
class FileManagerEntries {
public:
    struct Entry {
        QString path;
        QByteArray contents;
    };

    explicit FileManagerEntries(QString helperPath);

    // Every file, with its place under $XDG_DATA_HOME / $XDG_CONFIG_HOME as they are now.
    QList<Entry> entries() const;

    // Both throw SystemIntegrationError (finderSyncConfigurationFailed) with the system's reason.
    // Writing again replaces the files and appends each folder it had to create to createdFolders, also
    // when it then fails. Removing takes the files away, then those of createdFolders that are empty;
    // files that are not there are no error.
    void install(QStringList& createdFolders) const;
    void remove(const QStringList& createdFolders) const;

    // The text of a POSIX shell word that stands for the value.
    static QString shellQuoted(const QString& value);

private:
    QByteArray dolphinServiceMenu(const QString& action) const;
    QByteArray nemoAction(const QString& action) const;
    QByteArray script(const QString& action) const;

    QString m_helperPath;
};
