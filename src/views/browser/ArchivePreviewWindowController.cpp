#include "views/browser/ArchivePreviewWindowController.h"

#include "viewmodels/ArchivePreviewWindowModel.h"
#include "views/browser/ArchiveBrowserWindowPlatform.h"
#include "views/browser/ArchivePreviewWindow.h"
#include "views/browser/BrowserWindowPlacement.h"

#include <QApplication>
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
        const std::optional<QPoint> previous =
            last ? std::optional<QPoint>(last->frameGeometry().topLeft()) : std::nullopt;
        m_window->move(BrowserWindowPlacement::place(frameSize(last), previous, screen->availableGeometry()));
    }
    m_window->setAttribute(Qt::WA_ShowWithoutActivating, !activatesApp);
    m_window->show();
    if (!activatesApp) return;
    m_window->raise();
    m_window->activateWindow();
}

// Before it is first shown a window has no frame yet; the one it gets is that of velmora's windows
// already shown, so the whole of it is placed on the screen, title bar included.
QSize ArchivePreviewWindowController::frameSize(const QWidget* last) const {
    if (m_window->isVisible()) return m_window->frameGeometry().size();
    const QWidget* shown = last;
    for (const QWidget* window : QApplication::topLevelWidgets()) {
        if (!shown && window != m_window && window->isVisible() && window->windowType() == Qt::Window) shown = window;
    }
    if (!shown) return m_window->size();
    return BrowserWindowPlacement::frameSize(m_window->size(), shown->frameGeometry().size(), shown->size());
}

void ArchivePreviewWindowController::close() {
    if (m_window) m_window->close();
}

void ArchivePreviewWindowController::windowClosed() {
    if (onClose) onClose();
}
