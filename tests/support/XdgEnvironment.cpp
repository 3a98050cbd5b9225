#include "support/XdgEnvironment.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUrl>

XdgEnvironment::XdgEnvironment(const QByteArray& currentDesktop) {
    const QHash<QByteArray, QString> values{
        {"HOME", m_tree.path(QStringLiteral("home"))},
        {"XDG_CONFIG_HOME", configHome()},
        {"XDG_DATA_HOME", dataHome()},
        {"XDG_STATE_HOME", stateHome()},
        {"XDG_CONFIG_DIRS", systemConfig()},
        {"XDG_DATA_DIRS", systemData()},
        {"XDG_CURRENT_DESKTOP", QString::fromUtf8(currentDesktop)},
    };
    for (auto it = values.begin(); it != values.end(); ++it) {
        m_saved.insert(it.key(), qEnvironmentVariableIsSet(it.key().constData())
                                     ? std::optional(qgetenv(it.key().constData()))
                                     : std::nullopt);
        if (it.key() != "XDG_CURRENT_DESKTOP") QDir().mkpath(it.value());
        qputenv(it.key().constData(), it.value().toUtf8());
    }
}

XdgEnvironment::~XdgEnvironment() {
    for (auto it = m_saved.begin(); it != m_saved.end(); ++it) {
        if (it.value()) {
            qputenv(it.key().constData(), *it.value());
        } else {
            qunsetenv(it.key().constData());
        }
    }
}

void XdgEnvironment::installApplication(const QString& desktopID) {
    m_tree.writeFile(QStringLiteral("usr-share/applications/") + desktopID,
                     QByteArrayLiteral("[Desktop Entry]\nType=Application\nName=app\nExec=app %F\n"));
}

QStringList XdgEnvironment::trashedPaths() const {
    const QDir info(trashFolder() + QStringLiteral("/info"));
    QStringList paths;
    for (const QString& name : info.entryList({QStringLiteral("*.trashinfo")}, QDir::Files)) {
        QFile file(info.filePath(name));
        if (!file.open(QIODevice::ReadOnly)) continue;
        const QList<QByteArray> lines = file.readAll().split('\n');
        if (lines.value(0) != "[Trash Info]") continue;
        const QString trashed =
            trashFolder() + QStringLiteral("/files/") + QFileInfo(name).completeBaseName();
        if (!QFileInfo(trashed).exists() && !QFileInfo(trashed).isSymLink()) continue;
        for (const QByteArray& line : lines) {
            if (line.startsWith("Path=")) paths << QUrl::fromPercentEncoding(line.mid(5));
        }
    }
    paths.sort();
    return paths;
}
