#include "core/base/CancellationToken.h"

#include "core/base/CancellationError.h"

void CancellationToken::cancel() const {
    // request_stop is thread-safe; the source itself is only a handle to shared state.
    std::stop_source source = m_source;
    source.request_stop();
}

bool CancellationToken::isCancelled() const { return m_source.stop_requested(); }

void CancellationToken::throwIfCancelled() const {
    if (isCancelled()) throw CancellationError();
}

CancellationToken::Registration CancellationToken::onCancel(std::function<void()> callback) const {
    return std::make_unique<std::stop_callback<std::function<void()>>>(m_source.get_token(),
                                                                       std::move(callback));
}
