#include "viewmodels/FakeBrowserServices.h"

#include "core/base/CancellationError.h"

int FakeBrowserServices::callCount() const {
    std::lock_guard lock(m_mutex);
    return int(m_calls.size());
}

FakeBrowserServices::Call FakeBrowserServices::call(int index) const {
    std::lock_guard lock(m_mutex);
    return m_calls.at(index).call;
}

void FakeBrowserServices::answer(int index, Answer answer) {
    std::lock_guard lock(m_mutex);
    m_calls.at(index).answer = std::move(answer);
    m_changed.notify_all();
}

bool FakeBrowserServices::isCancelled(int index) const {
    std::lock_guard lock(m_mutex);
    return m_calls.at(index).cancelled;
}

void FakeBrowserServices::cancelAll() {
    std::lock_guard lock(m_mutex);
    m_closed = true;
    for (Pending& pending : m_calls) pending.cancelled = pending.cancelled || !pending.answer;
    m_changed.notify_all();
}

FakeBrowserServices::Answer FakeBrowserServices::await(Call call, const CancellationToken& token) {
    size_t index = 0;
    {
        std::lock_guard lock(m_mutex);
        index = m_calls.size();
        m_calls.push_back({std::move(call), std::nullopt, m_closed});
        m_changed.notify_all();
    }
    // Registered without the lock: it runs at once when the token is already cancelled.
    const CancellationToken::Registration registration = token.onCancel([this, index] {
        std::lock_guard lock(m_mutex);
        m_calls[index].cancelled = true;
        m_changed.notify_all();
    });
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [&] { return m_calls[index].answer || m_calls[index].cancelled; });
    if (m_calls[index].cancelled) throw CancellationError();
    Answer answer = *m_calls[index].answer;
    lock.unlock();
    if (answer.error) std::rethrow_exception(answer.error);
    return answer;
}

QList<ArchivePreviewEntry> FakeBrowserServices::previewEntries(const QString& archiveURL,
                                                               const std::optional<QString>& password,
                                                               const CancellationToken& token) {
    return await({QStringLiteral("list"), archiveURL, password, {}, {}, {}}, token).entries;
}

bool FakeBrowserServices::isEncrypted(const QString& archiveURL, const CancellationToken& token) {
    return await({QStringLiteral("encrypted"), archiveURL, std::nullopt, {}, {}, {}}, token).urls.value(0) ==
           QStringLiteral("yes");
}

std::optional<QString> FakeBrowserServices::firstOpeningPassword(const QString& archiveURL,
                                                                 const QStringList& candidates,
                                                                 const CancellationToken& token) {
    const QStringList urls =
        await({QStringLiteral("probe"), archiveURL, std::nullopt, candidates, {}, {}}, token).urls;
    if (urls.isEmpty()) return std::nullopt;
    return urls.first();
}

ArchivePasswordProbe::EntryTest FakeBrowserServices::testFirstEncryptedEntry(const QString& archiveURL,
                                                                             const QString& password,
                                                                             const CancellationToken& token) {
    const QString outcome =
        await({QStringLiteral("test"), archiveURL, password, {}, {}, {}}, token).urls.value(0);
    if (outcome == QStringLiteral("decrypts")) return ArchivePasswordProbe::EntryTest::decrypts;
    if (outcome == QStringLiteral("wrong")) return ArchivePasswordProbe::EntryTest::wrong;
    return ArchivePasswordProbe::EntryTest::unproven;
}

QString FakeBrowserServices::extractedPreviewFile(const ArchivePreviewEntry& entry, const QString& archiveURL,
                                                  const std::optional<QString>& password,
                                                  const CancellationToken& token) {
    return await({QStringLiteral("preview"), archiveURL, password, {entry.path}, {}, {}}, token)
        .urls.value(0);
}

OperationOutputs FakeBrowserServices::extractEntries(const QList<ArchivePreviewEntry>& entries,
                                                     const QString& archiveURL, const QString& destinationURL,
                                                     const std::optional<QString>& password,
                                                     const CancellationToken& token) {
    QStringList paths;
    for (const ArchivePreviewEntry& entry : entries) paths << entry.path;
    const Answer answer =
        await({QStringLiteral("extractEntries"), archiveURL, password, paths, destinationURL, {}}, token);
    return {answer.urls, {}, answer.renamedCount};
}

QString FakeBrowserServices::addFiles(const QStringList& fileURLs, const QString& archiveURL,
                                      const std::optional<QString>& password, const CancellationToken& token) {
    return await({QStringLiteral("add"), archiveURL, password, fileURLs, {}, {}}, token).urls.value(0);
}

QString FakeBrowserServices::deleteEntries(const QList<ArchivePreviewEntry>& entries,
                                           const QString& archiveURL, const std::optional<QString>& password,
                                           const CancellationToken& token) {
    QStringList paths;
    for (const ArchivePreviewEntry& entry : entries) paths << entry.path;
    return await({QStringLiteral("delete"), archiveURL, password, paths, {}, {}}, token).urls.value(0);
}

OperationOutputs FakeBrowserServices::extract(const QStringList& fileURLs, const QString& destinationRootURL,
                                              const ExtractionPasswords& passwords, const AppSettings&, int,
                                              const CancellationToken& token) {
    const Answer answer = await(
        {QStringLiteral("extract"), {}, passwords.value(0), fileURLs, destinationRootURL, passwords}, token);
    return {answer.urls, {}, answer.renamedCount, answer.failures};
}
