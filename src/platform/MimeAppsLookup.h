#pragma once

#include <QString>
#include <QStringList>
#include <optional>

// Where the desktop keeps its default applications, read in the XDG lookup order: the user's
// desktop-specific file first, then the user's own file, then the system's.
namespace MimeAppsLookup {

// $XDG_CONFIG_HOME/mimeapps.list
QString userFile();
// $XDG_CONFIG_HOME/<desktop>-mimeapps.list for each desktop named in XDG_CURRENT_DESKTOP, in order.
QStringList userDesktopFiles();
// Every file that can set a default, most important first.
QStringList lookupFiles();

// A desktop entry of that ID in the applications folder of $XDG_DATA_HOME or of $XDG_DATA_DIRS.
bool isInstalled(const QString& desktopID);

// The first installed desktop ID that a file, in lookup order, lists for any of the keys (a type and its
// aliases). Files that cannot be read or parsed are passed over.
std::optional<QString> defaultHandler(const QStringList& keys);

}  // namespace MimeAppsLookup
