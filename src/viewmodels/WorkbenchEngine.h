#pragma once

#include "core/base/CancellationToken.h"
#include "core/base/CompressionFormat.h"
#include "core/base/CompressionLevel.h"
#include "core/engine/ArchiveCompressor.h"
#include "core/engine/ExtractionPasswords.h"
#include "core/engine/OperationOutputs.h"
#include "core/engine/SplitCompressionRequest.h"
#include "core/engine/SplitCompressionResult.h"
#include "core/state/AppSettings.h"
#include "viewmodels/PasswordProbing.h"

#include <QString>
#include <QStringList>
#include <optional>

// A compression of sources into archives in one folder, by the compress page, drops and outside
// requests alike: what differs between them is only these values.
struct SourceCompression {
    QStringList sources;
    // The folder of the archives.
    QString root;
    CompressionFormat format = CompressionFormat::zip;
    CompressionLevel level = CompressionLevel::standard;
    std::optional<QString> password;
    // Hidden sources are left out, and hidden items inside folders.
    bool excludeHiddenFiles = true;
    // One archive per source when there are several, else one for all.
    bool separateArchives = true;
    // The sources go to the trash once every archive is written.
    bool trashSources = false;
    int threadCount = 1;
};

// The archive operations the main window and outside requests start. Blocking calls for a worker
// thread; each throws the engine's typed errors, and CancellationError once the token is cancelled.
// The application wires the archive service in (ArchiveServiceWorkbenchEngine); tests put a scripted
// engine in its place.
class WorkbenchEngine : public PasswordProbing {
public:
    virtual ~WorkbenchEngine() = default;

    // The one compression step of every way in: leaves out hidden sources, names each archive after
    // its only source less the last extension, or "Archive", has compressSingle write it, and trashes
    // the sources after the last one. The archives in order, and the sources that stayed.
    OperationOutputs compressSources(const SourceCompression& run, const ProgressHandler& progressHandler,
                                     const CancellationToken& token);

    // One output location per archive, in the order of fileURLs, and the archives that stayed when
    // they were to go to the trash. Each archive is extracted with its own password.
    virtual OperationOutputs extract(const QStringList& fileURLs, const QString& destinationRootURL,
                                     const ExtractionPasswords& passwords, const AppSettings& settings,
                                     int threadCount, const CancellationToken& token) = 0;

    // The archive written: destinationURL, or the next free name beside it.
    virtual QString compressSingle(const QStringList& files, const QString& destinationURL,
                                   CompressionFormat format, CompressionLevel level,
                                   const std::optional<QString>& password, int threadCount,
                                   bool excludeHiddenFiles, const ProgressHandler& progressHandler,
                                   const CancellationToken& token) = 0;

    virtual SplitCompressionResult compressSplit(const SplitCompressionRequest& request,
                                                 const ProgressHandler& progressHandler,
                                                 const CancellationToken& token) = 0;
};
