#include "support/XdgEnvironment.h"

#include <QDir>

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
