#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

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
    // Writing again replaces the files; removing files that are not there is no error.
    void install() const;
    void remove() const;

    // The text of a POSIX shell word that stands for the value.
    static QString shellQuoted(const QString& value);

private:
    QByteArray dolphinServiceMenu(const QString& action) const;
    QByteArray nemoAction(const QString& action) const;
    QByteArray script(const QString& action) const;

    QString m_helperPath;
};
