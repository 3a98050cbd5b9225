#include "app/QuitController.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPushButton>
#include <QWidget>

QuitController::QuitController(Hooks hooks, QObject* parent) : QObject(parent), m_hooks(std::move(hooks)) {
    qApp->installEventFilter(this);
}

QuitController::~QuitController() { delete m_confirmation; }

// Main, browser and progress windows and dialogs; not the drop panel, menus or tool tips.
bool QuitController::isCountedWindow(const QWidget* widget) {
    if (!widget || !widget->isWindow()) return false;
    const Qt::WindowType type = widget->windowType();
    return type == Qt::Window || type == Qt::Dialog;
}

bool QuitController::anyWindowVisible(const QWidget* except) {
    const QWidgetList windows = QApplication::topLevelWidgets();
    return std::any_of(windows.begin(), windows.end(), [except](const QWidget* window) {
        return window != except && isCountedWindow(window) && window->isVisible();
    });
}

bool QuitController::mainWindowMayHide(QWidget* mainWindow) {
    if (m_hooks.keepsRunningWithoutWindows() || anyWindowVisible(mainWindow)) return true;
    requestQuit(mainWindow);
    return false;
}

bool QuitController::eventFilter(QObject* watched, QEvent* event) {
    // Ctrl+Q itself: the platform's "quit" binding is empty under some themes.
    if (event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->keyCombination() == QKeyCombination(Qt::ControlModifier, Qt::Key_Q)) {
        // A key from the window system reaches the window's QWindow first, the active window's.
        requestQuit(watched->isWidgetType() ? static_cast<QWidget*>(watched)->window()
                                            : QApplication::activeWindow());
        return true;
    }
    if (event->type() == QEvent::Hide && watched->isWidgetType() &&
        isCountedWindow(static_cast<QWidget*>(watched))) {
        // Decided once the hiding is over, when the window no longer counts as visible.
        QMetaObject::invokeMethod(this, &QuitController::quitUnlessWindowsRemain, Qt::QueuedConnection);
    }
    return QObject::eventFilter(watched, event);
}

void QuitController::quitUnlessWindowsRemain() {
    if (m_hooks.keepsRunningWithoutWindows() || anyWindowVisible()) return;
    if (!m_hooks.isWorkRunning()) {
        Q_EMIT quitRequested();
        return;
    }
    requestQuit(nullptr);
}

void QuitController::requestQuit(QWidget* from) {
    if (!m_hooks.isWorkRunning()) {
        Q_EMIT quitRequested();
        return;
    }
    if (m_confirmation) return;
    // Work still runs: ask over a window the user sees rather than stop it unseen.
    if (!from || !from->isVisible()) from = m_hooks.revealMainWindow();
    m_confirmation = new QMessageBox(QMessageBox::Warning, QStringLiteral(u"退出 velmora"),
                                     QStringLiteral(u"还有任务正在进行，退出会停止这些任务。确定退出吗？"),
                                     QMessageBox::NoButton, from);
    // Above every velmora window, the progress window that stays on top included: a question under
    // it could be neither seen nor answered while the window it blocks waits.
    m_confirmation->setWindowFlag(Qt::WindowStaysOnTopHint);
    QPushButton* quit = m_confirmation->addButton(QStringLiteral(u"退出"), QMessageBox::DestructiveRole);
    m_confirmation->addButton(QStringLiteral(u"取消"), QMessageBox::RejectRole);
    m_confirmation->setAttribute(Qt::WA_DeleteOnClose);
    connect(m_confirmation, &QMessageBox::finished, this, [this, quit] {
        if (m_confirmation && m_confirmation->clickedButton() == quit) Q_EMIT quitRequested();
    });
    m_confirmation->open();
}
