#include "views/kit/WheelGuard.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QPointer>

namespace {

bool turnsOnWheel(const QObject* object) {
    return qobject_cast<const QComboBox*>(object) || qobject_cast<const QAbstractSpinBox*>(object);
}

// Watches the whole application, so controls made later are guarded too.
class WheelFilter : public QObject {
public:
    explicit WheelFilter(QApplication& application) : QObject(&application) {
        application.installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        const QEvent::Type type = event->type();
        if ((type != QEvent::Polish && type != QEvent::Wheel) || !turnsOnWheel(watched)) return false;
        auto* control = static_cast<QWidget*>(watched);
        if (type == QEvent::Polish) {
            // Qt's default for these controls, WheelFocus, hands focus to the one the wheel passes over.
            if (control->focusPolicy() == Qt::WheelFocus) control->setFocusPolicy(Qt::StrongFocus);
            return false;
        }
        if (control->hasFocus()) return false;
        // Unaccepted, the wheel goes on to the control's parents, up to the page's scroll area.
        event->ignore();
        return true;
    }
};

QPointer<WheelFilter>& filter() {
    static QPointer<WheelFilter> instance;
    return instance;
}

}  // namespace

namespace WheelGuard {

void install(QApplication& application) {
    if (!filter()) filter() = new WheelFilter(application);
}

}  // namespace WheelGuard
