#pragma once

#include "viewmodels/WorkbenchPlatform.h"

#include <QString>
#include <QStringList>
#include <functional>

class QFileDialog;
class QWidget;

// The file dialogs of every window: where each starts and how it is opened. A dialog starts in the
// folder of the item it is about, else in the folder last used for the same purpose, else in the
// home folder, never in the process's working folder. Dialogs are opened, never run in a loop of
// their own, and answer through a callback.
namespace FileDialogs {

// The folder a dialog for this purpose starts in; `currentItem` may be a file, a folder or empty.
QString startFolder(const QString& purpose, const QString& currentItem);
// Remembers where the user found what they chose, for the next dialog of the same purpose.
void remember(const QString& purpose, const QStringList& chosen);

// Lists sizes, kinds and dates in Chinese whatever the system's locale; every velmora dialog does.
void showListingInChinese(QFileDialog* dialog);

// Opens the dialog the request describes, window-modal to `parent` (or the active window). `chosen`
// gets the chosen absolute paths, or none when the dialog was cancelled. A dialog that takes files
// alone or folders alone is the desktop's own where the platform offers one.
QFileDialog* openFileDialog(const WorkbenchPlatform::FileDialogRequest& request, QWidget* parent,
                            std::function<void(const QStringList& chosen)> chosen);

}  // namespace FileDialogs
