#include "platform/DefaultsWriter.h"

#include <algorithm>

DefaultsWriter::DefaultsWriter(DefaultsStore defaults, WriteReport report)
    : m_defaults(std::move(defaults)), m_report(std::move(report)), m_thread([this] { run(); }) {}

DefaultsWriter::~DefaultsWriter() {
    {
        const std::lock_guard queueLock(m_queueMutex);
        m_stopping = true;
    }
    m_queueChanged.notify_one();
    m_thread.join();
}

void DefaultsWriter::writeLater(const QString& key, Encoder encode) {
    {
        const std::lock_guard queueLock(m_queueMutex);
        const auto waiting = std::find_if(m_waiting.begin(), m_waiting.end(),
                                          [&](const auto& entry) { return entry.first == key; });
        if (waiting != m_waiting.end()) {
            waiting->second = std::move(encode);
        } else {
            m_waiting.append({key, std::move(encode)});
        }
    }
    m_queueChanged.notify_one();
}

std::optional<QString> DefaultsWriter::writeNow(const QString& key, const QByteArray& bytes) {
    const std::lock_guard writeLock(m_writeMutex);
    std::optional<QString> failure = m_defaults.write(key, bytes);
    if (!failure) {
        const std::lock_guard queueLock(m_queueMutex);
        m_waiting.removeIf([&](const auto& entry) { return entry.first == key; });
    }
    m_idle.notify_all();
    return failure;
}

void DefaultsWriter::waitForWrites() {
    std::unique_lock queueLock(m_queueMutex);
    m_idle.wait(queueLock, [this] { return m_waiting.isEmpty() && !m_writing; });
}

bool DefaultsWriter::takeNext(std::pair<QString, Encoder>& next) {
    const std::lock_guard queueLock(m_queueMutex);
    if (m_waiting.isEmpty()) return false;
    next = m_waiting.takeFirst();
    m_writing = true;
    return true;
}

void DefaultsWriter::run() {
    while (true) {
        {
            std::unique_lock queueLock(m_queueMutex);
            m_queueChanged.wait(queueLock, [this] { return m_stopping || !m_waiting.isEmpty(); });
            if (m_stopping && m_waiting.isEmpty()) return;
        }
        const std::lock_guard writeLock(m_writeMutex);
        std::pair<QString, Encoder> next;
        if (!takeNext(next)) continue;
        // A failed write leaves the stored value as it was; the next write of the key tries again.
        const std::optional<QString> failure = m_defaults.write(next.first, next.second());
        if (m_report) m_report(next.first, failure);
        {
            const std::lock_guard queueLock(m_queueMutex);
            m_writing = false;
        }
        m_idle.notify_all();
    }
}
