#pragma once

#include <QString>
#include <QStringList>
#include <functional>

class QObject;

// Shows items selected in the user's file manager through the freedesktop FileManager1 D-Bus
// interface. Without a file manager on the session bus the parent folder of the first item is
// opened instead, through `openFolder` (opening a folder needs the GUI layer).
namespace FileManagerReveal {

using FolderOpener = std::function<void(const QString& folder)>;

// Returns at once; the fallback, when needed, runs later on `context`'s thread.
void reveal(const QStringList& paths, const FolderOpener& openFolder, QObject* context);

// The D-Bus service asked, for tests that stand in for a file manager.
QString serviceName();

}  // namespace FileManagerReveal
