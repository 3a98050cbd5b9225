#pragma once

#include "core/base/CancellationToken.h"
#include "core/engine/ArchiveCompressor.h"
#include "core/engine/ArchiveExtractor.h"
#include "core/engine/ArchivePrograms.h"
#include "core/engine/ExtractionOptions.h"
#include "core/engine/ExtractionPasswords.h"
#include "core/engine/OperationOutputs.h"
#include "core/engine/SplitCompressionResult.h"

#include <QString>
#include <QStringList>
#include <memory>
#include <optional>
#include <vector>

// The front door of the archive engine: extraction of a list of archives and compression. It holds
// its extractors and its compressor and no other state, so calls may overlap. Every operation is a
// blocking call for a worker thread.
class ArchiveService {
public:
    using Extractors = std::vector<std::shared_ptr<ArchiveExtractor>>;

    ArchiveService(Extractors extractors, std::shared_ptr<ArchiveCompressor> compressor);

    // ZIP, 7Z and RAR extractors, in the order they are asked, running the given programs.
    static Extractors standardExtractors(const ArchivePrograms& programs = ArchivePrograms::installed());

    const Extractors& extractors() const { return m_extractors; }
    const std::shared_ptr<ArchiveCompressor>& compressor() const { return m_compressor; }

    // Extracts the archives in order, one tool run at a time, and returns the folder that received each
    // extracted archive's contents. With extractToSeparateFolder each archive gets a new folder named
    // after it in destinationRootURL; otherwise one archive goes straight into destinationRootURL and
    // several into one new "解压文件" folder there, listed once per archive. New folders are made before
    // their tool runs, each under a name no other run holds. Nothing already there is replaced: the
    // result counts the items that went in under a free name instead. A failed archive leaves its
    // destination as it was (a folder made for it is removed; the shared folder only while nothing
    // went in). A lone archive's failure is thrown; of several, each failed archive is listed in the
    // result's failures and the others go on. Cancellation stops the whole run. Any volume of a split
    // set extracts the whole set from its main volume, and a set missing a volume fails naming it
    // before any tool runs (ArchiveVolumes). With separate folders and options.deleteSourceAfterExtract
    // on, the archives that extracted (every volume of a set, none of a failed archive's set) are moved
    // to the trash after the last one; those that stay are listed as untrashed.
    OperationOutputs extract(const QStringList& fileURLs, const QString& destinationRootURL,
                             const std::optional<QString>& password, const ExtractionOptions& options,
                             int threadCount, const CancellationToken& token) const;
    // As above, each archive with its own password.
    OperationOutputs extract(const QStringList& fileURLs, const QString& destinationRootURL,
                             const ExtractionPasswords& passwords, const ExtractionOptions& options,
                             int threadCount, const CancellationToken& token) const;

    // Compresses files and folders, in order, into the one archive destinationURL, creating its folder,
    // or into the next free name beside it when that is taken; returns the archive's path. An empty list
    // and missing inputs are refused before anything is written. RAR is refused.
    QString compressSingle(const QStringList& files, const QString& destinationURL, CompressionFormat format,
                           CompressionLevel level, const std::optional<QString>& password, int threadCount,
                           bool excludeHiddenFiles, const ProgressHandler& progressHandler,
                           const CancellationToken& token) const;

    // Writes a ZIP or 7Z archive, whole or in volumes, into the request's folder under the cleaned base
    // name (see CompressionService::compressSplit). A compressor that cannot write volumes refuses with
    // SplitCompressionError::unsupportedFormat.
    SplitCompressionResult compressSplit(const SplitCompressionRequest& request,
                                         const ProgressHandler& progressHandler,
                                         const CancellationToken& token) const;

private:
    // The archives (with the other volumes of their sets) that a finished extraction moves to the
    // trash: none unless each got its own folder and deleteSourceAfterExtract is on, never a failed one.
    static QStringList sourcesToTrash(const QStringList& fileURLs, const QList<ArchiveFailure>& failures,
                                      const ExtractionOptions& options);
    ArchiveExtractor& extractorFor(const QString& fileURL) const;
    // Returns the folder that received the archive's contents; counts the items renamed there.
    QString extractArchive(const QString& givenURL, const QString& destinationRootURL, const QString& rootURL,
                           const std::optional<QString>& password, const ExtractionOptions& options,
                           int threadCount, const CancellationToken& token, int& renamedCount) const;

    const Extractors m_extractors;
    const std::shared_ptr<ArchiveCompressor> m_compressor;
};
