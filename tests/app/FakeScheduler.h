#pragma once

#include "app/Scheduler.h"

#include <QList>
#include <QPointer>
#include <algorithm>

// Time passes only when a test says so; calls due by then run in order of their due time.
class FakeScheduler : public Scheduler {
public:
    struct Entry {
        qint64 due;
        QPointer<QObject> context;
        std::function<void()> call;
    };

    qint64 now = 0;
    QList<Entry> pending;
    QList<int> requestedDelays;

    void schedule(int milliseconds, QObject* context, std::function<void()> call) override {
        requestedDelays.append(milliseconds);
        pending.append({now + milliseconds, context, std::move(call)});
    }

    void advance(qint64 milliseconds) {
        const qint64 until = now + milliseconds;
        while (true) {
            const auto next = std::min_element(pending.begin(), pending.end(),
                                               [](const Entry& a, const Entry& b) { return a.due < b.due; });
            if (next == pending.end() || next->due > until) break;
            const Entry entry = *next;
            pending.erase(next);
            now = entry.due;
            if (entry.context) entry.call();
        }
        now = until;
    }
};
