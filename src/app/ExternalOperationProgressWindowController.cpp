#include "app/ExternalOperationProgressWindowController.h"

#include "app/ExternalOperationProgressView.h"
#include "views/kit/ConfirmationAlert.h"

#include <QApplication>
#include <QCursor>
#include <QLayout>
#include <QMessageBox>
#include <QScreen>
#include <algorithm>

namespace {

constexpr QSize kSize(380, 196);
// Between progress windows side by side.
constexpr int kGap = 12;

// `frame` moved as little as it takes to lie within `screen`.
QRect within(QRect frame, const QRect& screen) {
    frame.moveLeft(std::max(screen.left(), std::min(frame.left(), screen.right() + 1 - frame.width())));
    frame.moveTop(std::max(screen.top(), std::min(frame.top(), screen.bottom() + 1 - frame.height())));
    return frame;
}

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
    connect(m_view.get(), &ExternalOperationProgressView::closed, this,
            &ExternalOperationProgressWindowController::closed);
}

ExternalOperationProgressWindowController::~ExternalOperationProgressWindowController() = default;

QWidget* ExternalOperationProgressWindowController::window() const { return m_view.get(); }

void ExternalOperationProgressWindowController::show(const QString& title, const QString& message,
                                                     const QString& note) {
    m_closedByUser = false;
    m_model.start(title, message, note);
    fitHeight();
    raise();
}

void ExternalOperationProgressWindowController::update(double progress, const QString& message) {
    m_model.update(progress, message);
}

void ExternalOperationProgressWindowController::finish(const QString& title, const QString& message,
                                                       StatusKind outcome) {
    m_model.finish(title, message, outcome);
    fitHeight();
    if (!m_closedByUser) raise();
}

// A long reason or note makes the window taller rather than losing its end.
void ExternalOperationProgressWindowController::fitHeight() {
    m_view->setFixedSize(kSize.width(),
                         std::max(kSize.height(), m_view->layout()->heightForWidth(kSize.width())));
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
    if (!m_view->isVisible()) place();
    m_view->show();
    m_view->raise();
    m_view->activateWindow();
}

// On the screen under the pointer, where the request came from; window managers would otherwise put
// it wherever they place new windows, over another run's window too.
void ExternalOperationProgressWindowController::place() {
    QScreen* screen = QGuiApplication::screenAt(QCursor::pos());
    if (!screen) screen = QGuiApplication::primaryScreen();
    if (!screen) return;
    QList<QRect> taken;
    QSize frame = m_view->size();
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window == m_view.get() || !window->isVisible() ||
            !qobject_cast<ExternalOperationProgressView*>(window))
            continue;
        // This window's frame is not known before it is shown; theirs is the same.
        if (taken.isEmpty()) frame += window->frameGeometry().size() - window->geometry().size();
        taken.append(window->frameGeometry());
    }
    m_view->move(freeSpot(frame, screen->availableGeometry(), taken));
}

// The cells of the grid that fits the most frames on the screen, nearest the middle first. The
// middle itself overlaps some of them; once it is taken, the cells left still hold one window each.
QList<QRect> ExternalOperationProgressWindowController::gridCells(QSize frame, const QRect& screen) {
    const int columns = std::max(1, (screen.width() + kGap) / (frame.width() + kGap));
    const int rows = std::max(1, (screen.height() + kGap) / (frame.height() + kGap));
    const QPoint origin = screen.topLeft() +
                          QPoint((screen.width() - columns * (frame.width() + kGap) + kGap) / 2,
                                 (screen.height() - rows * (frame.height() + kGap) + kGap) / 2);
    QList<QRect> cells;
    for (int row = 0; row < rows; ++row) {
        for (int column = 0; column < columns; ++column) {
            cells << QRect(origin + QPoint(column * (frame.width() + kGap), row * (frame.height() + kGap)), frame);
        }
    }
    const auto distance = [&screen](const QRect& cell) {
        const QPoint offset = cell.center() - screen.center();
        return qint64(offset.x()) * offset.x() + qint64(offset.y()) * offset.y();
    };
    std::stable_sort(cells.begin(), cells.end(),
                     [&](const QRect& a, const QRect& b) { return distance(a) < distance(b); });
    return cells;
}

QPoint ExternalOperationProgressWindowController::freeSpot(QSize frame, const QRect& screen,
                                                           const QList<QRect>& taken) {
    QRect centred(QPoint(), frame);
    centred.moveCenter(screen.center());
    QList<QRect> candidates{centred};
    candidates << gridCells(frame, screen);
    // Windows of other sizes (a finished one grows with its reason) may leave room off the grid.
    for (const QRect& other : taken) {
        candidates << QRect(QPoint(other.right() + 1 + kGap, other.top()), frame)
                   << QRect(QPoint(other.left() - kGap - frame.width(), other.top()), frame)
                   << QRect(QPoint(other.left(), other.bottom() + 1 + kGap), frame)
                   << QRect(QPoint(other.left(), other.top() - kGap - frame.height()), frame);
    }
    for (const QRect& candidate : std::as_const(candidates)) {
        const QRect shown = within(candidate, screen);
        if (std::none_of(taken.begin(), taken.end(),
                         [&](const QRect& other) { return other.intersects(shown); }))
            return shown.topLeft();
    }
    // A screen full of them: stepped down and right from the middle, so each one's title still shows,
    // and still on the screen.
    constexpr int kCascade = 28;
    centred.translate(QPoint(kCascade, kCascade) * static_cast<int>(taken.size() % 8));
    return within(centred, screen).topLeft();
}
