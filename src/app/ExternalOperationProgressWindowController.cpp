#include "app/ExternalOperationProgressWindowController.h"

#include "app/ExternalOperationProgressView.h"

ExternalOperationProgressWindowController::ExternalOperationProgressWindowController(QObject* parent)
    : QObject(parent), m_view(std::make_unique<ExternalOperationProgressView>(m_model)) {
    m_view->setWindowTitle(QStringLiteral("velmora"));
    m_view->setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                           Qt::WindowMinimizeButtonHint | Qt::WindowStaysOnTopHint);
    m_view->setFixedSize(380, 196);
    connect(m_view.get(), &ExternalOperationProgressView::cancelRequested, this,
            &ExternalOperationProgressWindowController::requestCancel);
}

ExternalOperationProgressWindowController::~ExternalOperationProgressWindowController() = default;

QWidget* ExternalOperationProgressWindowController::window() const { return m_view.get(); }

void ExternalOperationProgressWindowController::show(const QString& title, const QString& message) {
    m_model.start(title, message);
    raise();
}

void ExternalOperationProgressWindowController::update(double progress, const QString& message) {
    m_model.update(progress, message);
}

void ExternalOperationProgressWindowController::finish(const QString& title, const QString& message,
                                                       bool isError) {
    m_model.finish(title, message, isError);
    raise();
}

void ExternalOperationProgressWindowController::close() { m_view->close(); }

void ExternalOperationProgressWindowController::requestCancel() {
    m_model.setMessage(QStringLiteral(u"正在取消任务..."));
    if (onCancel) onCancel();
}

void ExternalOperationProgressWindowController::raise() {
    m_view->show();
    m_view->raise();
    m_view->activateWindow();
}
