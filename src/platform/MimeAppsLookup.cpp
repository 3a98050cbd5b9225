#include "platform/MimeAppsLookup.h"

#include "platform/MimeAppsList.h"

#include <QFile>
#include <QStandardPaths>

namespace MimeAppsLookup {

namespace {

QString configHome() { return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation); }

QStringList currentDesktops() {
    QStringList desktops;
    for (const QString& name :
         qEnvironmentVariable("XDG_CURRENT_DESKTOP").split(QLatin1Char(':'), Qt::SkipEmptyParts)) {
        desktops.append(name.toLower());
    }
    return desktops;
}

// Desktop-specific files before the plain one, for each folder.
QStringList filesIn(const QStringList& folders) {
    QStringList files;
    for (const QString& folder : folders) {
        for (const QString& desktop : currentDesktops())
            files.append(folder + QLatin1Char('/') + desktop + QStringLiteral("-mimeapps.list"));
        files.append(folder + QStringLiteral("/mimeapps.list"));
    }
    return files;
}

std::optional<MimeAppsList> readList(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
    return MimeAppsList::parse(file.readAll());
}

}  // namespace

QString userFile() { return configHome() + QStringLiteral("/mimeapps.list"); }

QStringList userDesktopFiles() {
    QStringList files = filesIn({configHome()});
    files.removeLast();
    return files;
}

QStringList lookupFiles() {
    QStringList applicationFolders;
    for (const QString& folder : QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation)) {
        applicationFolders.append(folder + QStringLiteral("/applications"));
    }
    return filesIn(QStandardPaths::standardLocations(QStandardPaths::GenericConfigLocation)) +
           filesIn(applicationFolders);
}

bool isInstalled(const QString& desktopID) {
    return !QStandardPaths::locate(QStandardPaths::GenericDataLocation,
                                   QStringLiteral("applications/") + desktopID)
                .isEmpty();
}

std::optional<QString> defaultHandler(const QStringList& keys) {
    for (const QString& path : lookupFiles()) {
        const std::optional<MimeAppsList> list = readList(path);
        if (!list) continue;
        for (const QString& key : keys) {
            for (const QString& id : list->desktopIDs(MimeAppsList::kDefaultApplications, key)) {
                if (isInstalled(id)) return id;
            }
        }
    }
    return std::nullopt;
}

}  // namespace MimeAppsLookup
