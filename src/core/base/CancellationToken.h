#pragma once

#include <functional>
#include <memory>
#include <stop_token>

// A shared "stop this work" flag. Copies share the flag; whoever holds the token can cancel it, and
// blocking operations check it or register a callback that interrupts what they wait for.
class CancellationToken {
public:
    using Registration = std::unique_ptr<std::stop_callback<std::function<void()>>>;

    void cancel() const;
    bool isCancelled() const;

    // Throws CancellationError when cancelled.
    void throwIfCancelled() const;

    // Runs callback on cancellation (at once, on this thread, when already cancelled), for as long as
    // the returned registration lives.
    Registration onCancel(std::function<void()> callback) const;

private:
    std::stop_source m_source;
};
