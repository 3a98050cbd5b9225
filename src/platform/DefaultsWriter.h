#pragma once

#include "platform/DefaultsStore.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>
#include <utility>

// Writes values of a DefaultsStore on a thread of its own, so that encoding and writing a large value
// does not hold up the thread that changed it. Writes happen one at a time in the order asked; a value
// still waiting for its turn is replaced by a newer one of the same key. Called from one thread.
class DefaultsWriter {
public:
    using Encoder = std::function<QByteArray()>;
    // Called on the writing thread after each write of writeLater's: the key, and the reason when the
    // value could not be written.
    using WriteReport = std::function<void(const QString& key, const std::optional<QString>& failure)>;

    explicit DefaultsWriter(DefaultsStore defaults, WriteReport report = {});
    // Writes what is still waiting before it returns.
    ~DefaultsWriter();
    DefaultsWriter(const DefaultsWriter&) = delete;
    DefaultsWriter& operator=(const DefaultsWriter&) = delete;

    const DefaultsStore& defaults() const { return m_defaults; }

    // Encodes and writes the value on the writing thread. encode must not touch anything the calling
    // thread changes meanwhile: it gets its own copy of the data.
    void writeLater(const QString& key, Encoder encode);

    // Writes the value before returning, after the write in progress; once it is written, a value of
    // the key still waiting is dropped, since this one is newer. The reason when it could not be
    // written; a waiting value then stays, so what the caller kept unchanged is still written.
    [[nodiscard]] std::optional<QString> writeNow(const QString& key, const QByteArray& bytes);

    // Blocks until nothing waits and no write is under way.
    void waitForWrites();

private:
    void run();
    // Takes the next waiting value; the write lock must be held so no writeNow overtakes it.
    bool takeNext(std::pair<QString, Encoder>& next);

    DefaultsStore m_defaults;
    WriteReport m_report;
    // Held for the length of every write, so writes never overlap and keep their order.
    std::mutex m_writeMutex;
    std::mutex m_queueMutex;  // taken after m_writeMutex, never before
    std::condition_variable m_queueChanged;
    std::condition_variable m_idle;
    QList<std::pair<QString, Encoder>> m_waiting;
    bool m_writing = false;  // a value taken from m_waiting is being written
    bool m_stopping = false;
    std::thread m_thread;
};
