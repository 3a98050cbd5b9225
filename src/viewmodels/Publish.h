#pragma once

#include <QObject>
#include <concepts>

// The setter of a published property: stores the value and announces it, first through the
// property's own change signal (when it has one that somebody listens to), then through the owner's
// changed(). A value equal to the stored one announces nothing, so views may write back freely.
template <typename Owner, typename T>
void publish(Owner* owner, T& field, const T& value, void (Owner::*signal)() = nullptr) {
    if constexpr (std::equality_comparable<T>) {
        if (field == value) return;
    }
    field = value;
    if (signal) Q_EMIT(owner->*signal)();
    Q_EMIT owner->changed();
}
