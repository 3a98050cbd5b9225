#pragma once

#include <QObject>
#include <functional>

// Runs a call once after a fixed delay on the GUI thread. Every timed step of the shell goes through
// one scheduler, so tests can let time pass at will instead of waiting for it.
class Scheduler {
public:
    virtual ~Scheduler() = default;

    // Runs `call` after `milliseconds` unless `context` has been destroyed by then.
    virtual void schedule(int milliseconds, QObject* context, std::function<void()> call) = 0;
};

// The real clock: a single-shot timer on the context's thread.
class TimerScheduler : public Scheduler {
public:
    void schedule(int milliseconds, QObject* context, std::function<void()> call) override;
};
