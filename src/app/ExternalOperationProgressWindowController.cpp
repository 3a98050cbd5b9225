#include "app/ExternalOperationProgressWindowController.h"

#include "app/ExternalOperationProgressView.h"
#include "views/kit/ConfirmationAlert.h"

#include <QCursor>
#include <QGuiApplication>
#include <QLayout>
#include <QMessageBox>
#include <QScreen>
#include <algorithm>

namespace {

constexpr QSize kSize(380, 196);

}  // namespace

ExternalOperationProgressWindowController::ExternalOperationProgressWindowController(QObject* parent)
    : QObject(parent), m_view(std::make_unique<ExternalOperationProgressView>(m_model)) {
    m_view->setWindowTitle(QStringLiteral("velmora"));
    // Exactly these buttons: a fixed-size window has nothing to maximise.
    m_view->setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowCloseButtonHint | Qt::WindowMinimizeButtonHint |
                           Qt::WindowStaysOnTopHint);
    m_view->setFixedSize(kSize);
    connect(m_view.get(), &ExternalOperationProgressView::cancelRequested, this,
            &ExternalOperationProgressWindowController::requestCancel);
    connect(m_view.get(), &ExternalOperationProgressView::closeRequested, this,
            &ExternalOperationProgressWindowController::close);
    connect(m_view.get(), &ExternalOperationProgressView::closeWhileRunningRequested, this,
            &ExternalOperationProgressWindowController::askBeforeClosing);
}

ExternalOperationProgressWindowController::~ExternalOperationProgressWindowController() = default;

QWidget* ExternalOperationProgressWindowController::window() const { return m_view.get(); }

void ExternalOperationProgressWindowController::show(const QString& title, const QString& message) {
    m_closedByUser = false;
    m_model.start(title, message);
    m_view->setFixedSize(kSize);
    raise();
}

void ExternalOperationProgressWindowController::update(double progress, const QString& message) {
    m_model.update(progress, message);
}

void ExternalOperationProgressWindowController::finish(const QString& title, const QString& message,
                                                       StatusKind outcome) {
    m_model.finish(title, message, outcome);
    // A long reason makes the window taller rather than losing its end.
    m_view->setFixedHeight(std::max(kSize.height(), m_view->layout()->heightForWidth(kSize.width())));
    if (!m_closedByUser) raise();
}

void ExternalOperationProgressWindowController::close() { m_view->close(); }

void ExternalOperationProgressWindowController::requestCancel() {
    m_model.setMessage(QStringLiteral(u"正在取消任务..."));
    if (onCancel) onCancel();
}

// An answered question is deleted later.
QMessageBox* ExternalOperationProgressWindowController::closeQuestion() const {
    return m_closeQuestion && m_closeQuestion->isVisible() ? m_closeQuestion.data() : nullptr;
}

void ExternalOperationProgressWindowController::askBeforeClosing() {
    if (QMessageBox* asked = closeQuestion()) return asked->raise();
    const QPointer<ExternalOperationProgressWindowController> controller(this);
    m_closeQuestion = ConfirmationAlert::open(
        m_view.get(), QStringLiteral(u"还有任务正在进行，关闭窗口会停止它。确定关闭吗？"), QString(),
        QStringLiteral(u"关闭"), [controller](bool close) {
            if (controller && close) controller->stopAndClose();
        });
}

// An operation that ended while the question was open has nothing left to stop.
void ExternalOperationProgressWindowController::stopAndClose() {
    if (!m_model.isFinished()) {
        m_closedByUser = true;
        requestCancel();
    }
    m_view->hide();
}

void ExternalOperationProgressWindowController::raise() {
    if (!m_view->isVisible()) centre();
    m_view->show();
    m_view->raise();
    m_view->activateWindow();
}

// On the screen under the pointer, where the request came from; window managers would otherwise put
// it wherever they place new windows.
void ExternalOperationProgressWindowController::centre() {
    QScreen* screen = QGuiApplication::screenAt(QCursor::pos());
    if (!screen) screen = QGuiApplication::primaryScreen();
    if (!screen) return;
    QRect frame(QPoint(), m_view->size());
    frame.moveCenter(screen->availableGeometry().center());
    m_view->move(frame.topLeft());
}
