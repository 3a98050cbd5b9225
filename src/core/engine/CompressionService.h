#pragma once

#include "core/engine/ArchiveCompressor.h"
#include "core/engine/ArchivePrograms.h"
#include "core/engine/CompressionWorkspace.h"
#include "core/engine/ProcessResult.h"
#include "core/engine/SplitCompressionResult.h"

#include <QtGlobal>

// Creates archives with the external tools: 7-Zip for 7Z and, when present, ZIP (encrypted with
// ZipCrypto, which every unzip opens, when the password is ASCII); the system zip program for split ZIP,
// for passwords 7-Zip refuses and for ZIP without 7-Zip; tar for TAR.GZ. RAR is never created. Inputs
// reach every tool as bare names from one working folder, staged when needed; passwords reach them on
// standard input or a password terminal, never on the command line. The tools are the back-ends of the
// programs given (ArchivePrograms), which assemble every argument list.
//
// Blocking calls for a worker thread. Failures: ArchiveError, FileSystemError, ProcessRunnerError,
// SplitCompressionError (split runs) and CancellationError. Progress values lie strictly between 0 and
// 1; 7-Zip's arrive on the calling thread while the tool runs.
class CompressionService : public ArchiveCompressor {
public:
    explicit CompressionService(ArchivePrograms programs = ArchivePrograms::installed());

    // Checks the password and the inputs, creates the destination's folder, stages, runs the format's tool
    // into a hidden work folder and puts the archive under destinationURL only when it is complete (the
    // next free "name N.ext" when that is taken by then); removes the staging folder, whatever the
    // outcome. Returns the archive's path, under the name it took.
    QString compress(const QStringList& files, const QString& destinationURL, CompressionFormat format,
                     CompressionLevel level, const std::optional<QString>& password, int threadCount,
                     bool excludeHiddenFiles, const ProgressHandler& progressHandler,
                     const CancellationToken& token) override;

    // ZIP or 7Z into the request's folder under the cleaned base name, as one file or as volumes of
    // splitSizeBytes, after dealing with earlier outputs of that name; optionally tests the result
    // before it takes its name. A name taken meanwhile fails with SplitCompressionError::existingOutput.
    SplitCompressionResult compressSplit(const SplitCompressionRequest& request,
                                         const ProgressHandler& progressHandler,
                                         const CancellationToken& token) override;

    // Throws ArchiveError::noInputFiles for none, else the first refusal of ExtractionSteps::requireItem.
    static void checkInputsExist(const QStringList& files);
    // Throws ArchiveError::compressFailed for a password with a format that cannot encrypt, so an
    // archive the user meant to protect is never written in the clear.
    static void checkEncryptionSupported(CompressionFormat format, const std::optional<QString>& password);

    // The tool runs, on a workspace's files.
    void compressZip(const QStringList& files, const QString& destinationURL, CompressionLevel level,
                     const std::optional<QString>& password, int threadCount, bool excludeHiddenFiles,
                     const ProgressHandler& progressHandler, const CancellationToken& token) const;
    void compressMacCompatibleEncryptedZip(const QStringList& files, const QString& destinationURL,
                                           CompressionLevel level, const QString& password,
                                           bool excludeHiddenFiles, const CancellationToken& token) const;
    void compressTarGzip(const QStringList& files, const QString& destinationURL, bool excludeHiddenFiles,
                         const ProgressHandler& progressHandler, const CancellationToken& token) const;

    // Tests an archive (for a set, the volume chosen as primary) with 7-Zip; true or a thrown error.
    bool testArchive(const QString& primaryPartURL, const std::optional<QString>& password,
                     const CancellationToken& token) const;

    // The failure the tool's words name, as every tool run's (ToolFailure::namedFailure: a full disk,
    // a read-only folder, no permission...), or an input that went missing (ArchiveError::fileNotFound
    // with the name the tool printed); else ArchiveError::compressFailed with fallback, a sentence, and
    // the tool's one error line (ToolFailureText::errorLine). echoedNames (the archive) are not read as
    // the tool's words.
    [[noreturn]] static void throwCompressionError(const ProcessResult& result, const QString& fallback,
                                                   const QStringList& echoedNames = {});

private:
    void compressSevenZip(const QStringList& files, const QString& destinationURL, CompressionLevel level,
                          const std::optional<QString>& password, int threadCount, bool excludeHiddenFiles,
                          std::optional<qint64> volumeSizeBytes, const ProgressHandler& progressHandler,
                          const CancellationToken& token) const;
    // zip's run without a password, whole or in volumes of volumeSize.
    void compressPlainZip(const QStringList& files, const QString& destinationURL, CompressionLevel level,
                          const std::optional<QString>& volumeSize, bool excludeHiddenFiles,
                          const ProgressHandler& progressHandler, const CancellationToken& token) const;
    void compressWorkspace(const CompressionWorkspace& workspace, const QString& destinationURL,
                           CompressionFormat format, CompressionLevel level,
                           const std::optional<QString>& password, int threadCount, bool excludeHiddenFiles,
                           const ProgressHandler& progressHandler, const CancellationToken& token) const;
    // Info-ZIP's zip; throws ArchiveError::dependencyMissing when it is not installed.
    InfoZipTool infoZip() const;

    ArchivePrograms m_programs;
};
