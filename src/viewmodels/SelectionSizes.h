#pragma once

#include "core/base/CancellationToken.h"
#include "core/base/CompressionFormat.h"
#include "core/base/CompressionLevel.h"
#include "viewmodels/BackgroundRunner.h"

#include <QHash>
#include <QObject>
#include <QStringList>
#include <optional>

// Byte sizes of a page's selected files and folders, and the estimated archive size, worked out on a
// worker thread when the selection (or the estimate's format and level) changes, never while a page
// is drawn: a folder tree can take seconds to walk. Results are kept, so a page redrawn at every
// progress report only reads them. A newer selection cancels the walk of the older one, and so does
// the end of this object, so neither waits for a large tree; a result that arrives after the
// selection changed again is dropped.
class SelectionSizes : public QObject {
    Q_OBJECT

public:
    explicit SelectionSizes(QThreadPool* pool = nullptr, QObject* parent = nullptr);
    ~SelectionSizes() override;

    // Starts working out the sizes of a new selection; the same list again does nothing.
    void setPaths(const QStringList& paths);
    const QStringList& paths() const { return m_paths; }

    // Archives to extract: a split set's volume counts its whole set (FileSizeHelper::archiveSize).
    void setSizesArchives(bool archives) { m_sizesArchives = archives; }

    // Also works out the estimate, for this format and level, from now on.
    void setEstimateParameters(CompressionFormat format, CompressionLevel level);

    // Nothing while the size is not known yet.
    std::optional<qint64> size(const QString& path) const;
    std::optional<qint64> total() const;
    std::optional<qint64> estimate() const { return m_estimate; }

    // Blocks until the work under way is done; for tests and the screenshot program.
    void waitForDone();

Q_SIGNALS:
    void changed();

private:
    struct Parameters {
        CompressionFormat format;
        CompressionLevel level;
    };

    void startSizing();
    void startEstimate();

    QStringList m_paths;
    QHash<QString, qint64> m_sizes;
    std::optional<Parameters> m_estimateParameters;
    std::optional<qint64> m_estimate;
    quint64 m_sizingGeneration = 0;
    quint64 m_estimateGeneration = 0;
    CancellationToken m_sizingToken;
    bool m_sizesArchives = false;
    CancellationToken m_estimateToken;
    BackgroundRunner m_background;
};
