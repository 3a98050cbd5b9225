#pragma once

#include <QDateTime>
#include <functional>

// Where the stores take "now" from; tests pass their own.
using Clock = std::function<QDateTime()>;

inline QDateTime systemNow() { return QDateTime::currentDateTimeUtc(); }
