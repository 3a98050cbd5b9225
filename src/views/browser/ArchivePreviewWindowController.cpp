#include "views/browser/ArchivePreviewWindowController.h"

#include "viewmodels/ArchivePreviewWindowModel.h"
#include "views/browser/ArchiveBrowserWindowPlatform.h"
#include "views/browser/ArchivePreviewWindow.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScreen>
#include <QTextEdit>

ArchivePreviewWindowController::ArchivePreviewWindowController(
    std::shared_ptr<ArchivePreviewWindowModel> model, std::shared_ptr<ArchiveBrowserWindowPlatform> platform)
    : m_model(std::move(model)),
      m_platform(std::move(platform)),
      m_window(new ArchivePreviewWindow(*m_model)) {
    m_platform->setWindow(m_window);
    connect(m_window, &ArchivePreviewWindow::closed, this, &ArchivePreviewWindowController::windowClosed);
}

ArchivePreviewWindowController::~ArchivePreviewWindowController() {
    if (m_filterInstalled) qApp->removeEventFilter(this);
    // The window may be closing right now, inside its own event handler.
    if (m_window) m_window->deleteLater();
}

void ArchivePreviewWindowController::show(bool activatesApp) {
    if (!m_filterInstalled) {
        qApp->installEventFilter(this);
        m_filterInstalled = true;
    }
    if (const QScreen* screen = m_window->screen()) {
        QRect frame = m_window->frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
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
    if (m_filterInstalled) {
        qApp->removeEventFilter(this);
        m_filterInstalled = false;
    }
    if (onClose) onClose();
}

bool ArchivePreviewWindowController::isTypingIntoTextField() const {
    QWidget* focus = QApplication::focusWidget();
    if (qobject_cast<QLineEdit*>(focus) || qobject_cast<QAbstractSpinBox*>(focus)) return true;
    if (const auto* combo = qobject_cast<QComboBox*>(focus)) return combo->isEditable();
    if (const auto* text = qobject_cast<QPlainTextEdit*>(focus)) return !text->isReadOnly();
    if (const auto* text = qobject_cast<QTextEdit*>(focus)) return !text->isReadOnly();
    return false;
}

bool ArchivePreviewWindowController::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress || !m_window || !m_window->isActiveWindow()) return false;
    // Only keys aimed at this window, not at one of its sheets or another window.
    if (!watched->isWidgetType() || static_cast<QWidget*>(watched)->window() != m_window) return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() != Qt::Key_Space || key->modifiers() != Qt::NoModifier || isTypingIntoTextField())
        return false;
    m_model->handleSpacePreviewShortcut();
    return true;
}
