#pragma once

#include <QMetaObject>
#include <QObject>
#include <QThreadPool>
#include <exception>
#include <functional>
#include <type_traits>
#include <utility>
#include <variant>

// The result of work done on a worker thread: its value, or the exception it ended with.
template <typename T>
class Outcome {
public:
    static Outcome success(T value) { return Outcome(std::move(value)); }
    static Outcome failure(std::exception_ptr error) { return Outcome(std::move(error)); }

    bool succeeded() const { return std::holds_alternative<T>(m_state); }
    // The value; rethrows the stored exception when the work failed.
    T& value() {
        if (!succeeded()) std::rethrow_exception(std::get<std::exception_ptr>(m_state));
        return std::get<T>(m_state);
    }
    // The exception the work ended with; only when it failed.
    std::exception_ptr error() const { return std::get<std::exception_ptr>(m_state); }

private:
    explicit Outcome(T value) : m_state(std::move(value)) {}
    explicit Outcome(std::exception_ptr error) : m_state(std::move(error)) {}

    std::variant<T, std::exception_ptr> m_state;
};

// Work that returns nothing reports this.
struct Done {};

// Runs blocking work on a dedicated pool and hands the outcome back to the thread of `context`
// through a queued call. The runner is meant to be a member of `context`: its destructor waits for
// the workers while `context` still exists, and calls still queued when `context` goes are dropped.
class BackgroundRunner {
public:
    // Without a pool the runner makes its own; tests hand in one they can wait on.
    explicit BackgroundRunner(QObject* context, QThreadPool* pool = nullptr);
    ~BackgroundRunner();

    BackgroundRunner(const BackgroundRunner&) = delete;
    BackgroundRunner& operator=(const BackgroundRunner&) = delete;

    // Runs `work` on a worker thread, then `deliver(Outcome<R>&)` on the context's thread.
    template <typename Work, typename Deliver>
    void run(Work work, Deliver deliver) {
        using Result = std::invoke_result_t<Work&>;
        using Value = std::conditional_t<std::is_void_v<Result>, Done, Result>;
        QObject* context = m_context;
        m_pool->start([work = std::move(work), deliver = std::move(deliver), context]() mutable {
            auto outcome = std::make_shared<Outcome<Value>>(capture<Value>(work));
            QMetaObject::invokeMethod(
                context, [deliver, outcome]() mutable { deliver(*outcome); }, Qt::QueuedConnection);
        });
    }

    // Queues `call` on the context's thread; safe from any thread while a worker runs.
    void post(std::function<void()> call) const;

    void waitForDone();

private:
    template <typename Value, typename Work>
    static Outcome<Value> capture(Work& work) {
        try {
            if constexpr (std::is_same_v<Value, Done> && std::is_void_v<std::invoke_result_t<Work&>>) {
                work();
                return Outcome<Value>::success(Done{});
            } else {
                return Outcome<Value>::success(work());
            }
        } catch (...) {
            return Outcome<Value>::failure(std::current_exception());
        }
    }

    QObject* m_context;
    QThreadPool m_ownPool;
    QThreadPool* m_pool;
};
