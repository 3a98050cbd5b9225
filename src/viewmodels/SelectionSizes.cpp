#include "viewmodels/SelectionSizes.h"

#include "viewmodels/CompressionEstimateHelper.h"
#include "viewmodels/FileSizeHelper.h"

SelectionSizes::SelectionSizes(QThreadPool* pool, QObject* parent)
    : QObject(parent), m_background(this, pool) {}

SelectionSizes::~SelectionSizes() {
    m_sizingToken.cancel();
    m_estimateToken.cancel();
}

void SelectionSizes::setPaths(const QStringList& paths) {
    if (paths == m_paths) return;
    m_paths = paths;
    startSizing();
    startEstimate();
    Q_EMIT changed();
}

void SelectionSizes::setEstimateParameters(CompressionFormat format, CompressionLevel level) {
    if (m_estimateParameters && m_estimateParameters->format == format &&
        m_estimateParameters->level == level) {
        return;
    }
    m_estimateParameters = Parameters{format, level};
    startEstimate();
    Q_EMIT changed();
}

std::optional<qint64> SelectionSizes::size(const QString& path) const {
    const auto found = m_sizes.constFind(path);
    if (found == m_sizes.constEnd()) return std::nullopt;
    return *found;
}

std::optional<qint64> SelectionSizes::total() const {
    qint64 sum = 0;
    for (const QString& path : m_paths) {
        const auto known = size(path);
        if (!known) return std::nullopt;
        sum += *known;
    }
    return sum;
}

void SelectionSizes::waitForDone() { m_background.waitForDone(); }

void SelectionSizes::startSizing() {
    const quint64 generation = ++m_sizingGeneration;
    m_sizingToken.cancel();
    m_sizingToken = CancellationToken();
    m_background.run(
        [paths = m_paths, token = m_sizingToken, archives = m_sizesArchives] {
            QHash<QString, qint64> sizes;
            for (const QString& path : paths) {
                sizes.insert(path, archives ? FileSizeHelper::archiveSize(path, token)
                                            : FileSizeHelper::totalSize(path, token));
            }
            return sizes;
        },
        [this, generation](Outcome<QHash<QString, qint64>>& outcome) {
            if (generation != m_sizingGeneration || !outcome.succeeded()) return;
            m_sizes = outcome.value();
            Q_EMIT changed();
        });
}

void SelectionSizes::startEstimate() {
    const quint64 generation = ++m_estimateGeneration;
    m_estimateToken.cancel();
    m_estimateToken = CancellationToken();
    m_estimate.reset();
    if (!m_estimateParameters) return;
    if (m_paths.isEmpty()) {
        m_estimate = 0;
        return;
    }
    m_background.run(
        [paths = m_paths, parameters = *m_estimateParameters, token = m_estimateToken] {
            return CompressionEstimateHelper::estimatedSize(paths, parameters.format, parameters.level,
                                                            token);
        },
        [this, generation](Outcome<qint64>& outcome) {
            if (generation != m_estimateGeneration || !outcome.succeeded()) return;
            m_estimate = outcome.value();
            Q_EMIT changed();
        });
}
