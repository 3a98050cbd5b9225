#pragma once

#include "views/browser/ArchivePreviewWindow.h"

#include <QObject>
#include <QPointer>
#include <functional>
#include <memory>

class ArchivePreviewWindowModel;
class ArchiveBrowserWindowPlatform;

// Owns one archive browser window: builds it around the model, shows it, and reports when the window
// closes so that its owner can drop the controller. The model may outlive it while work is still
// running.
class ArchivePreviewWindowController : public QObject {
    Q_OBJECT

public:
    ArchivePreviewWindowController(std::shared_ptr<ArchivePreviewWindowModel> model,
                                   std::shared_ptr<ArchiveBrowserWindowPlatform> platform);
    ~ArchivePreviewWindowController() override;

    // Called once the window has closed.
    std::function<void()> onClose;

    ArchivePreviewWindowModel& model() const { return *m_model; }
    ArchivePreviewWindow* window() const { return m_window; }

    // Brings the window to the front, centred, or after `previous` (the last browser window still
    // open) one step below and right of it (BrowserWindowPlacement); without activatesApp it is shown
    // without taking the focus (a start in the background).
    void show(bool activatesApp, const ArchivePreviewWindowController* previous = nullptr);
    void close();

private:
    void windowClosed();
    QSize frameSize(const QWidget* last) const;

    std::shared_ptr<ArchivePreviewWindowModel> m_model;
    std::shared_ptr<ArchiveBrowserWindowPlatform> m_platform;
    QPointer<ArchivePreviewWindow> m_window;
};
