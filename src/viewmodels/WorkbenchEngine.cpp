#include "viewmodels/WorkbenchEngine.h"

#include "core/base/FileNameHelper.h"
#include "core/engine/ArchiveError.h"
#include "core/engine/CompressionStaging.h"
#include "core/engine/SourceTrash.h"

#include <QDir>

namespace {

// The name less its last extension; a folder named old.backup gives old, a name without a dot (or
// with only a leading one) stays whole.
QString nameWithoutLastExtension(const QString& url) {
    const QString name = FileNameHelper::lastPathComponent(url);
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot > 0 ? name.left(dot) : name;
}

}  // namespace

OperationOutputs WorkbenchEngine::compressSources(const SourceCompression& run,
                                                  const ProgressHandler& progressHandler,
                                                  const CancellationToken& token) {
    QStringList sources = run.sources;
    if (run.excludeHiddenFiles) sources = CompressionStaging::withoutHiddenInputs(sources);
    if (sources.isEmpty()) throw ArchiveError::noInputFiles();

    const QString extension = CompressionFormats::fileExtension(run.format);
    const auto makeArchive = [&](const QStringList& files, const QString& baseName) {
        token.throwIfCancelled();
        // The engine takes the next free "base N.ext" when the name is taken.
        const QString archive = QDir(run.root).filePath(baseName + QLatin1Char('.') + extension);
        return compressSingle(files, archive, run.format, run.level, run.password, run.threadCount,
                              run.excludeHiddenFiles, progressHandler, token);
    };

    QStringList archives;
    if (sources.size() > 1 && run.separateArchives) {
        for (const QString& source : sources)
            archives << makeArchive({source}, nameWithoutLastExtension(source));
    } else {
        const QString baseName =
            sources.size() == 1 ? nameWithoutLastExtension(sources.first()) : QStringLiteral("Archive");
        archives << makeArchive(sources, baseName);
    }
    token.throwIfCancelled();
    SourceTrash::Outcome trashed =
        run.trashSources ? SourceTrash::trashCompressedSources(sources, archives) : SourceTrash::Outcome();
    return {
        .outputs = archives, .untrashed = std::move(trashed.stayed), .trashed = std::move(trashed.trashed)};
}
