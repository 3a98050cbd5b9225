#pragma once

#include "core/base/CancellationToken.h"
#include "core/base/CompressionFormat.h"
#include "core/base/CompressionLevel.h"
#include "core/engine/ArchiveDriver.h"
#include "core/engine/ProcessResult.h"
#include "core/engine/ProcessRunner.h"
#include "core/engine/ToolProgram.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

// Every 7-Zip run of the extractors, the password probe, compression and the archive browser: the
// arguments (ArchiveTools::SevenZip), the password on standard input (never in an argument), the
// time-outs, the retry with the link checks off, a compressed TAR reached through its layer, and its
// verdict (classify). Results come back as the tool left them, except that an extraction comes back with
// the status of its verdict: 0 for a success, 1 for a warning; callers judge a failure by its words.
class SevenZipTool : public ArchiveDriver {
public:
    explicit SevenZipTool(QString program) : m_program(std::move(program)) {}

    // How 7-Zip writes a new ZIP or 7Z archive of the items named relative to workingFolder.
    struct Creation {
        CompressionFormat format = CompressionFormat::zip;
        CompressionLevel level = CompressionLevel::standard;
        int threadCount = 1;
        // Leave out dot-files and __MACOSX inside the folders given.
        bool excludeHidden = false;
        // 7Z volumes of this size, else one file.
        std::optional<qint64> volumeSizeBytes;
    };

    ToolProgram program() const override { return ToolProgram::sevenZip; }

    // 7-Zip's exit status decides: 0 wrote and checked every item, whatever it warned of (bytes after the
    // archive's end, a header it had to look for), except a TAR's header it could not read, which names
    // no check (a name cut short): warned. 1 (a warning), 2 (an error), 7 (a command line it refused), 8
    // (memory) and 255 (stopped) failed, but for a run that failed only to set the items' modes
    // (FAT: every error a mode), which wrote every item, and one that could not read the file: a
    // format or a method it lacks (ToolFailure::sevenZipCannotHandle, the echoed names taken out), or its
    // warning status with its warnings ("WARNINGS:").
    ToolOutcome classify(const ProcessResult& result, const QStringList& echoedNames) const override;

    // l -slt, of a compressed TAR the TAR inside; handler reads the standard output as it arrives.
    ProcessResult list(const QString& archive, const std::optional<QString>& password,
                       const CancellationToken& token,
                       const ProcessRunner::OutputHandler& handler) const override;
    // l -slt within timeout.
    ProcessResult listTechnical(const QString& archive, const std::optional<QString>& password,
                                ProcessRunner::TimeLimit timeout, const CancellationToken& token) const;
    std::optional<ProcessResult> listTechnical(const QString& archive, const std::optional<QString>& password,
                                               const CancellationToken& token) const override;
    // 7-Zip asks for the password of encrypted headers before it lists anything, and marks encrypted
    // entries ("Encrypted = +").
    Encryption encryptionIn(const ProcessResult& technicalListing) const override;
    // l -slt of the entries whose path holds a line feed (ArchiveTools::SevenZip::lineFeedListArguments);
    // nothing runs for an archive path 7-Zip would read as a wildcard.
    std::optional<ProcessResult> listWithLineFeeds(const QString& archive,
                                                   const std::optional<QString>& password,
                                                   const CancellationToken& token) const;
    // l: the plain listing.
    ProcessResult listPlain(const QString& archive, const std::optional<QString>& password,
                            const CancellationToken& token) const;
    // x: the whole archive into destination, an empty private folder; of a compressed TAR, the TAR
    // inside (whose password is the outer file's alone). A run refused for a link is repeated with the
    // checks off when the archive's links were proved to stay inside (SevenZipLinkChains), after
    // destination is emptied.
    ProcessResult extract(const QString& archive, const QString& destination, int threadCount,
                          const std::optional<QString>& password,
                          const CancellationToken& token) const override;
    // x: the named entries (a folder with its contents; every entry when none is named) with their
    // paths into destination, an empty private folder; of a compressed TAR as extract; retried as
    // extract is.
    ProcessResult extractEntries(const QString& archive, const QStringList& entryPaths,
                                 const QString& destination, const std::optional<QString>& password,
                                 double timeout, const CancellationToken& token) const override;
    // x -so: the named entries' data in archive order; a link's data is its target.
    ProcessResult printEntries(const QString& archive, const QStringList& entryPaths,
                               const std::optional<QString>& password, const CancellationToken& token) const;
    // t.
    std::optional<ProcessResult> test(const QString& archive, const std::optional<QString>& password,
                                      const QStringList& entryPaths,
                                      const CancellationToken& token) const override;
    // a: a new archive of names, with percentages for progress. A password
    // encrypts a ZIP with ZipCrypto (ASCII only: SevenZip::takesZipPassword) and a 7Z's data, not its
    // names.
    ProcessResult create(const QString& archive, const QStringList& names, const QString& workingFolder,
                         const Creation& creation, const std::optional<QString>& password,
                         const ProcessRunner::OutputHandler& progress, const CancellationToken& token) const;
    // a: adds items named by full path at the top level of a "zip" or "7z" archive. The password opens
    // an archive with encrypted names; 7-Zip encrypts what it adds to a 7Z with it as well. The new
    // archive is written in workFolder, then replaces the old one.
    ProcessResult add(const QString& archive, const QString& type, const QStringList& items,
                      const std::optional<QString>& password, const QString& workFolder,
                      const CancellationToken& token) const;
    // d.
    std::optional<ProcessResult> remove(const QString& archive, const QStringList& entryPaths,
                                        const std::optional<QString>& password, const QString& workFolder,
                                        const CancellationToken& token) const override;

    // The TAR inside a compressed TAR (CompoundTar): 7-Zip unpacks the layer into a private work folder,
    // then read runs on the TAR there, whose path is written back as the archive's in the run's output.
    // A disk the layer fills is the temporary folder's, named so (ArchiveError::unwritable). A failed
    // unpack is the result. threadCount, when given, is the unpacking's (-mmt).
    ProcessResult throughLayer(const QString& archive, const std::optional<QString>& password,
                               std::optional<int> threadCount, const CancellationToken& token,
                               const std::function<ProcessResult(const QString& tarFile)>& read) const;

private:
    ProcessResult run(
        const QStringList& arguments, ProcessRunner::TimeLimit timeout, const CancellationToken& token,
        const std::optional<QString>& password = std::nullopt,
        const ProcessRunner::OutputHandler& handler = {},
        ProcessRunner::HandlerReads handlerReads = ProcessRunner::HandlerReads::bothStreams) const;
    // x of an archive that is not a compressed TAR.
    ProcessResult extractWhole(const QString& archive, const QString& destination, int threadCount,
                               const std::optional<QString>& password, const CancellationToken& token) const;
    ProcessResult extractNamed(const QString& archive, const QStringList& entryPaths,
                               const QString& destination, const std::optional<QString>& password,
                               double timeout, const CancellationToken& token) const;
    // Runs runWith(false), and runWith(true) after a refused link when every link was proved safe.
    ProcessResult withLinkCheckRetry(const QString& archive, const QString& destination,
                                     const std::optional<QString>& password, const CancellationToken& token,
                                     const std::function<ProcessResult(bool linkChecksOff)>& runWith) const;

    QString m_program;
};
