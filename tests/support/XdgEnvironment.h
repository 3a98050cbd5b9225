#pragma once

#include "support/TempTree.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>
#include <optional>

// Points HOME and the XDG folders (config, data, state, their system lists, the current desktop) into a
// temporary tree for as long as it lives, then puts the old values back.
class XdgEnvironment {
public:
    explicit XdgEnvironment(const QByteArray& currentDesktop = {});
    ~XdgEnvironment();

    XdgEnvironment(const XdgEnvironment&) = delete;
    XdgEnvironment& operator=(const XdgEnvironment&) = delete;

    TempTree& tree() { return m_tree; }
    QString configHome() const { return m_tree.path(QStringLiteral("config")); }
    QString dataHome() const { return m_tree.path(QStringLiteral("data")); }
    QString stateHome() const { return m_tree.path(QStringLiteral("state")); }
    QString systemConfig() const { return m_tree.path(QStringLiteral("etc-xdg")); }
    QString systemData() const { return m_tree.path(QStringLiteral("usr-share")); }

    // A minimal desktop entry under the system data folder's applications.
    void installApplication(const QString& desktopID);

    // The home trash, where items of this tree's file system go.
    QString trashFolder() const { return dataHome() + QStringLiteral("/Trash"); }
    // The original paths of the items in the home trash, sorted: each has its file under files/ and
    // its .trashinfo under info/.
    QStringList trashedPaths() const;

private:
    TempTree m_tree;
    QHash<QByteArray, std::optional<QByteArray>> m_saved;
};
