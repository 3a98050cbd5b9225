#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

// What the main window's model asks of the desktop. The application supplies the real file dialogs and
// file manager; tests supply scripted answers, so the model runs without a display.
class WorkbenchPlatform {
public:
    struct FileDialogRequest {
        bool choosesFiles = true;
        bool choosesFolders = false;
        bool multipleSelection = false;
        // Empty: the platform's own button text.
        QString prompt = {};
        // Empty: the platform's own window title.
        QString title = {};
        // Dialogs of one purpose start where the last one was left ("archives", "sources", ...).
        QString purpose = {};
        // The file or folder the dialog is about; it starts in that folder when it exists.
        QString currentItem = {};
    };

    virtual ~WorkbenchPlatform() = default;

    // Opens a file dialog and returns at once; `chosen` gets the chosen absolute paths later, none when
    // the dialog was cancelled. It may be called before this returns.
    virtual void openFileDialog(const FileDialogRequest& request,
                                std::function<void(const QStringList& chosen)> chosen) = 0;

    // Asks for the password of the archive the message names and returns at once; `answered` gets the
    // text later, none when the user cancelled. It may be called before this returns.
    virtual void askPassword(const QString& message,
                             std::function<void(const std::optional<QString>& password)> answered) = 0;

    // Shows the items selected in the file manager.
    virtual void revealInFileManager(const QStringList& paths) = 0;

    virtual int activeProcessorCount() const = 0;

    // Free bytes of the volume that holds the folder; nothing when the system cannot tell.
    virtual std::optional<qint64> availableCapacityBytes(const QString& folder) const = 0;
};
