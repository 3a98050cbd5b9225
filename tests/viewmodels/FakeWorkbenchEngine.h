#pragma once

#include "viewmodels/WorkbenchEngine.h"

#include <QList>
#include <QMutex>
#include <QString>
#include <QStringList>
#include <QWaitCondition>
#include <exception>
#include <functional>

// A scripted stand-in for the archive engine. It records every call, reports the scripted progress,
// then either blocks until its token is cancelled, throws the chosen error, or succeeds. Compressions
// write an empty file at each output so naming rules see it; extractions return root/<archive name>.
class FakeWorkbenchEngine : public WorkbenchEngine {
public:
    struct Call {
        QString operation = {};  // "extract", "compressSingle" or "compressSplit"
        QStringList files = {};
        QString destination = {};
        QString baseName = {};
        std::optional<QString> password = std::nullopt;  // an extraction's: its first archive's
        int threadCount = 0;
        bool overwriteExisting = false;
        std::optional<qint64> splitSizeBytes = std::nullopt;
    };

    // Each call reports these fractions before it ends.
    void setProgress(QList<double> fractions);
    // Every call throws this (after its progress) until it is reset with nullptr.
    void setError(std::exception_ptr error);
    // Every call waits for its token after writing its outputs, then throws CancellationError.
    void setBlocksUntilCancelled(bool blocks);
    // The files a split compression writes (names inside its destination); by default one volume
    // <base>.7z.001 or <base>.zip.
    void setSplitOutputNames(std::function<QStringList(const QString& baseName)> names);

    // Extractions report these archives as having stayed out of the trash.
    void setUntrashed(QStringList archives);
    // Every archive is encrypted and opens with this password; none (the default): no archive is.
    void setOpeningPassword(std::optional<QString> password);

    QList<Call> calls() const;
    // The progress reporter of the latest compression, still callable after the call ended.
    ProgressHandler lastProgressHandler() const;
    // How many calls are waiting for their token right now.
    int blockedCalls() const;

    OperationOutputs extract(const QStringList& fileURLs, const QString& destinationRootURL,
                             const ExtractionPasswords& passwords, const AppSettings& settings,
                             int threadCount, const CancellationToken& token) override;
    bool isEncrypted(const QString& fileURL, const CancellationToken& token) override;
    std::optional<QString> firstOpeningPassword(const QString& fileURL, const QStringList& candidates,
                                                const CancellationToken& token) override;
    QString compressSingle(const QStringList& files, const QString& destinationURL, CompressionFormat format,
                           CompressionLevel level, const std::optional<QString>& password, int threadCount,
                           bool excludeHiddenFiles, const ProgressHandler& progressHandler,
                           const CancellationToken& token) override;
    SplitCompressionResult compressSplit(const SplitCompressionRequest& request,
                                         const ProgressHandler& progressHandler,
                                         const CancellationToken& token) override;

private:
    void record(const Call& call);
    void finish(const ProgressHandler& progressHandler, const CancellationToken& token);

    mutable QMutex m_mutex;
    QWaitCondition m_cancelled;
    QList<Call> m_calls;
    QList<double> m_progress;
    std::exception_ptr m_error;
    std::optional<QString> m_openingPassword;
    bool m_blocks = false;
    int m_blockedCalls = 0;
    std::function<QStringList(const QString&)> m_splitOutputNames;
    ProgressHandler m_lastProgressHandler;
    QStringList m_untrashed;
};
