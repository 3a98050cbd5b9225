#pragma once

#include <QAbstractButton>
#include <QSignalBlocker>
#include <QWidget>

// Pages copy the model's state into their controls without echoing it back as a user edit.
namespace QuietSync {

inline void setChecked(QAbstractButton* toggle, bool checked) {
    if (toggle->isChecked() == checked) return;
    const QSignalBlocker blocker(toggle);
    toggle->setChecked(checked);
}

// Disabling the control that has the window's keyboard focus would pass the focus on along the
// window's chain and scroll to whatever took it (a list row's remove button, which the next Space
// presses). Its parent holds the focus meanwhile and gives it back when the control is enabled again.
inline void setEnabled(QWidget* control, bool enabled) {
    static constexpr char kHeldFocus[] = "quietSyncHeldFocus";
    QWidget* holder = control->parentWidget();
    if (!enabled && control->isEnabled() && control->window()->focusWidget() == control) {
        holder->setFocus(Qt::OtherFocusReason);
        control->setProperty(kHeldFocus, true);
    }
    control->setEnabled(enabled);
    if (!enabled || !control->property(kHeldFocus).toBool()) return;
    control->setProperty(kHeldFocus, false);
    if (control->window()->focusWidget() == holder) control->setFocus(Qt::OtherFocusReason);
}

}  // namespace QuietSync
