#include "views/kit/FocusRing.h"

#include "views/kit/Theme.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QFocusEvent>
#include <QPainter>

namespace {

constexpr int kGap = 3;
constexpr int kWidth = 2;

// Watches focus for the whole application and keeps at most one ring.
class FocusTracker : public QObject {
public:
    explicit FocusTracker(QApplication& application) : QObject(&application) {
        application.installEventFilter(this);
    }

    QPointer<FocusRing> ring;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        switch (event->type()) {
            case QEvent::FocusIn:
                // Styles and windows hear of focus too; only the control's own event counts.
                if (watched->isWidgetType())
                    focusArrived(static_cast<QWidget*>(watched), static_cast<QFocusEvent*>(event)->reason());
                break;
            case QEvent::Move:
            case QEvent::Resize:
            case QEvent::Show:
            case QEvent::Hide:
            case QEvent::ParentChange:
                if (ring && ring->followsMovesOf(watched)) ring->place();
                break;
            default:
                break;
        }
        return false;
    }

private:
    void focusArrived(QWidget* control, Qt::FocusReason reason) {
        // A window coming back or a closed popup returns focus where it was, ring and all.
        if (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason) return;
        if (ring && ring->control() == control) return;
        delete ring.data();
        if (!FocusRing::showsFor(reason) || control->isWindow()) return;
        ring = new FocusRing(control);
        ring->place();
    }
};

// A scroll area's viewport clips what it shows; a ring never leaves it.
bool isViewport(const QWidget* widget) {
    const auto* area = qobject_cast<const QAbstractScrollArea*>(widget->parentWidget());
    return area && area->viewport() == widget;
}

QPointer<FocusTracker>& tracker() {
    static QPointer<FocusTracker> instance;
    return instance;
}

}  // namespace

void FocusRing::install(QApplication& application) {
    if (!tracker()) tracker() = new FocusTracker(application);
}

FocusRing* FocusRing::shown() {
    const FocusTracker* watcher = tracker();
    return watcher && watcher->ring && watcher->ring->isVisible() ? watcher->ring.data() : nullptr;
}

bool FocusRing::showsFor(Qt::FocusReason reason) {
    return reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason ||
           reason == Qt::ShortcutFocusReason;
}

QRect FocusRing::ringGeometry(const QRect& control) { return control.adjusted(-kGap, -kGap, kGap, kGap); }

FocusRing::FocusRing(QWidget* control) : QWidget(control->parentWidget()), m_control(control) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
}

bool FocusRing::followsMovesOf(const QObject* watched) const {
    if (!m_control || !watched->isWidgetType()) return false;
    for (const QWidget* widget = m_control; widget && widget != parentWidget();
         widget = widget->parentWidget()) {
        if (widget == watched) return true;
    }
    return false;
}

// Beside the control, in the nearest container with room for the whole ring: a control flush with
// its row's edge would lose a side of it.
void FocusRing::place() {
    if (!m_control || !m_control->isVisible() || m_control->isWindow()) {
        hide();
        return;
    }
    QWidget* holder = m_control->parentWidget();
    QRect ring = ringGeometry(m_control->geometry());
    while (!holder->rect().contains(ring) && holder->parentWidget() && !holder->isWindow() &&
           !isViewport(holder)) {
        ring.translate(holder->pos());
        holder = holder->parentWidget();
    }
    if (parentWidget() != holder) setParent(holder);
    setGeometry(ring);
    raise();
    show();
}

void FocusRing::paint(QPainter& painter, const QRect& ring) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Theme::color(Theme::Colour::accent, 0.85), kWidth));
    painter.setBrush(Qt::NoBrush);
    const double inset = kWidth / 2.0;
    painter.drawRoundedRect(QRectF(ring).adjusted(inset, inset, -inset, -inset), 7, 7);
    painter.restore();
}

void FocusRing::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    paint(painter, rect());
}
