#pragma once

#include <QAbstractButton>
#include <QSignalBlocker>

// Pages copy the model's state into their controls without echoing it back as a user edit.
namespace QuietSync {

inline void setChecked(QAbstractButton* toggle, bool checked) {
    if (toggle->isChecked() == checked) return;
    const QSignalBlocker blocker(toggle);
    toggle->setChecked(checked);
}

}  // namespace QuietSync
