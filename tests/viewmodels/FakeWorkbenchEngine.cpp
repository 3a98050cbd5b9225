#include "viewmodels/FakeWorkbenchEngine.h"

#include "core/base/CancellationError.h"
#include "core/engine/CompressionTarget.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMutexLocker>

namespace {

void touch(const QString& path) {
    QFile file(path);
    file.open(QIODevice::WriteOnly);
}

}  // namespace

void FakeWorkbenchEngine::setProgress(QList<double> fractions) {
    QMutexLocker lock(&m_mutex);
    m_progress = std::move(fractions);
}

void FakeWorkbenchEngine::setError(std::exception_ptr error) {
    QMutexLocker lock(&m_mutex);
    m_error = std::move(error);
}

void FakeWorkbenchEngine::setBlocksUntilCancelled(bool blocks) {
    QMutexLocker lock(&m_mutex);
    m_blocks = blocks;
}

void FakeWorkbenchEngine::setSplitOutputNames(std::function<QStringList(const QString&)> names) {
    QMutexLocker lock(&m_mutex);
    m_splitOutputNames = std::move(names);
}

void FakeWorkbenchEngine::setOpeningPassword(std::optional<QString> password) {
    QMutexLocker lock(&m_mutex);
    m_openingPassword = std::move(password);
}

bool FakeWorkbenchEngine::isEncrypted(const QString&, const CancellationToken&) {
    QMutexLocker lock(&m_mutex);
    return m_openingPassword.has_value();
}

std::optional<QString> FakeWorkbenchEngine::firstOpeningPassword(const QString&,
                                                                 const QStringList& candidates,
                                                                 const CancellationToken&) {
    QMutexLocker lock(&m_mutex);
    if (!m_openingPassword || !candidates.contains(*m_openingPassword)) return std::nullopt;
    return m_openingPassword;
}

QList<FakeWorkbenchEngine::Call> FakeWorkbenchEngine::calls() const {
    QMutexLocker lock(&m_mutex);
    return m_calls;
}

ProgressHandler FakeWorkbenchEngine::lastProgressHandler() const {
    QMutexLocker lock(&m_mutex);
    return m_lastProgressHandler;
}

int FakeWorkbenchEngine::blockedCalls() const {
    QMutexLocker lock(&m_mutex);
    return m_blockedCalls;
}

void FakeWorkbenchEngine::record(const Call& call) {
    QMutexLocker lock(&m_mutex);
    m_calls.append(call);
}

void FakeWorkbenchEngine::finish(const ProgressHandler& progressHandler, const CancellationToken& token) {
    QMutexLocker lock(&m_mutex);
    if (progressHandler) m_lastProgressHandler = progressHandler;
    const QList<double> progress = m_progress;
    const std::exception_ptr error = m_error;
    const bool blocks = m_blocks;
    lock.unlock();

    if (progressHandler) {
        for (double fraction : progress) progressHandler(fraction);
    }
    if (blocks) {
        const auto registration = token.onCancel([this] {
            QMutexLocker wake(&m_mutex);
            m_cancelled.wakeAll();
        });
        lock.relock();
        ++m_blockedCalls;
        while (!token.isCancelled()) m_cancelled.wait(&m_mutex);
        --m_blockedCalls;
        lock.unlock();
        throw CancellationError();
    }
    if (error) std::rethrow_exception(error);
}

OperationOutputs FakeWorkbenchEngine::extract(const QStringList& fileURLs, const QString& destinationRootURL,
                                              const ExtractionPasswords& passwords, const AppSettings&,
                                              int threadCount, const CancellationToken& token) {
    record({.operation = QStringLiteral("extract"),
            .files = fileURLs,
            .destination = destinationRootURL,
            .password = passwords.value(0),
            .threadCount = threadCount});
    finish({}, token);
    QStringList outputs;
    for (const QString& file : fileURLs)
        outputs << QDir(destinationRootURL).filePath(QFileInfo(file).baseName());
    QMutexLocker lock(&m_mutex);
    return {outputs, m_untrashed};
}

void FakeWorkbenchEngine::setUntrashed(QStringList archives) {
    QMutexLocker lock(&m_mutex);
    m_untrashed = std::move(archives);
}

QString FakeWorkbenchEngine::compressSingle(const QStringList& files, const QString& destinationURL,
                                            CompressionFormat format, CompressionLevel,
                                            const std::optional<QString>& password, int threadCount, bool,
                                            const ProgressHandler& progressHandler,
                                            const CancellationToken& token) {
    record({.operation = QStringLiteral("compressSingle"),
            .files = files,
            .destination = destinationURL,
            .password = password,
            .threadCount = threadCount});
    // The engine's naming: the next free name when the one asked for is taken.
    QString archive = destinationURL;
    for (int number = 1; QFileInfo::exists(archive) || QFileInfo(archive).isSymLink(); ++number) {
        archive = QFileInfo(destinationURL).path() + QLatin1Char('/') +
                  CompressionTarget::numberedName(QFileInfo(destinationURL).fileName(),
                                                  CompressionFormats::fileExtension(format), number);
    }
    touch(archive);
    finish(progressHandler, token);
    return archive;
}

SplitCompressionResult FakeWorkbenchEngine::compressSplit(const SplitCompressionRequest& request,
                                                          const ProgressHandler& progressHandler,
                                                          const CancellationToken& token) {
    const QString& baseName = request.baseName;
    record({.operation = QStringLiteral("compressSplit"),
            .files = request.files,
            .destination = request.destinationDirectoryURL,
            .baseName = baseName,
            .password = request.password,
            .threadCount = request.threadCount,
            .overwriteExisting = request.overwriteExisting,
            .splitSizeBytes = request.splitSizeBytes});
    QMutexLocker lock(&m_mutex);
    const QStringList names =
        m_splitOutputNames
            ? m_splitOutputNames(baseName)
            : QStringList{baseName + (request.format == CompressionFormat::zip ? QStringLiteral(".zip")
                                                                               : QStringLiteral(".7z.001"))};
    lock.unlock();
    SplitCompressionResult result;
    for (const QString& name : names) {
        const QString path = QDir(request.destinationDirectoryURL).filePath(name);
        touch(path);
        result.outputURLs << path;
    }
    result.validationPassed = request.validateAfterCompletion;
    finish(progressHandler, token);
    return result;
}
