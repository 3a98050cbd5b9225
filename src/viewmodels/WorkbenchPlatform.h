#pragma once

#include <QString>
#include <QStringList>
#include <optional>

// What the main window's model asks of the desktop. The application supplies the real panels and
// file manager; tests supply scripted answers, so the model runs without a display.
class WorkbenchPlatform {
public:
    struct OpenPanelRequest {
        bool canChooseFiles = true;
        bool canChooseDirectories = false;
        bool allowsMultipleSelection = false;
        // Empty: the platform's own button text.
        QString prompt = {};
    };

    virtual ~WorkbenchPlatform() = default;

    // Shows a modal open panel; returns the chosen absolute paths, empty when it was cancelled.
    virtual QStringList runOpenPanel(const OpenPanelRequest& request) = 0;

    // Shows the items selected in the file manager.
    virtual void revealInFileManager(const QStringList& paths) = 0;

    virtual int activeProcessorCount() const = 0;

    // Free bytes of the volume that holds the folder; nothing when the system cannot tell.
    virtual std::optional<qint64> availableCapacityBytes(const QString& folder) const = 0;
};
