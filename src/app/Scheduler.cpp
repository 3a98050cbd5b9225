#include "app/Scheduler.h"

#include <QTimer>

void TimerScheduler::schedule(int milliseconds, QObject* context, std::function<void()> call) {
    QTimer::singleShot(milliseconds, context, std::move(call));
}
