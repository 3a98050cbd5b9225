#include "views/browser/ArchivePreviewWindowController.h"

#include "viewmodels/ArchivePreviewWindowModel.h"
#include "views/browser/ArchiveBrowserWindowPlatform.h"
#include "views/browser/ArchivePreviewWindow.h"
#include "views/browser/BrowserWindowPlacement.h"

#include <QScreen>

ArchivePreviewWindowController::ArchivePreviewWindowController(
    std::shared_ptr<ArchivePreviewWindowModel> model, std::shared_ptr<ArchiveBrowserWindowPlatform> platform)
    : m_model(std::move(model)),
      m_platform(std::move(platform)),
      m_window(new ArchivePreviewWindow(*m_model)) {
    m_platform->setWindow(m_window);
    connect(m_window, &ArchivePreviewWindow::closed, this, &ArchivePreviewWindowController::windowClosed);
}

ArchivePreviewWindowController::~ArchivePreviewWindowController() {
    // The window may be closing right now, inside its own event handler.
    if (m_window) m_window->deleteLater();
}

void ArchivePreviewWindowController::show(bool activatesApp, const ArchivePreviewWindowController* previous) {
    const QWidget* last =
        previous && previous->window() && previous->window()->isVisible() ? previous->window() : nullptr;
    if (const QScreen* screen = last ? last->screen() : m_window->screen()) {
        QRect frame = m_window->frameGeometry();
        if (last) {
            frame.moveTopLeft(BrowserWindowPlacement::cascaded(last->frameGeometry().topLeft(), frame.size(),
                                                               screen->availableGeometry()));
        } else {
            frame.moveCenter(screen->availableGeometry().center());
        }
        m_window->move(frame.topLeft());
    }
    m_window->setAttribute(Qt::WA_ShowWithoutActivating, !activatesApp);
    m_window->show();
    if (!activatesApp) return;
    m_window->raise();
    m_window->activateWindow();
}

void ArchivePreviewWindowController::close() {
    if (m_window) m_window->close();
}

void ArchivePreviewWindowController::windowClosed() {
    if (onClose) onClose();
}
