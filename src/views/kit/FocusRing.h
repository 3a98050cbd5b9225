#pragma once

#include <QPointer>
#include <QWidget>

class QApplication;
class QPainter;

// The keyboard focus in the kit's style: an accent ring just outside the control that has focus.
// It follows focus taken from the keyboard (Tab, Shift+Tab, a shortcut) and stays away when a
// pointer click gave it, so clicking does not leave rings behind. The ring is a transparent widget
// beside the control, in the nearest container with room for it (never outside a scroll area's
// view), so it never takes a click; it goes with the window it sits in and is made again for the
// next control.
class FocusRing : public QWidget {
    Q_OBJECT

public:
    // Starts following focus in the application; later calls do nothing.
    static void install(QApplication& application);
    // The ring shown now, null when none is.
    static FocusRing* shown();

    // Whether focus that arrived for this reason is shown.
    static bool showsFor(Qt::FocusReason reason);
    // The ring's geometry around a control with this geometry, in the same coordinates.
    static QRect ringGeometry(const QRect& control);
    // Draws a ring filling `ring`, for views that draw the focus of their own items.
    static void paint(QPainter& painter, const QRect& ring);

    explicit FocusRing(QWidget* control);

    QWidget* control() const { return m_control; }
    // Whether a move or resize of this object can move the control within the ring's container.
    bool followsMovesOf(const QObject* watched) const;
    // Back into place beside the control, or hidden when the control is not shown.
    void place();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPointer<QWidget> m_control;
};
