#pragma once

#include "core/base/CancellationToken.h"
#include "core/base/CompressionFormat.h"
#include "core/base/CompressionLevel.h"
#include "core/engine/ProcessResult.h"
#include "core/engine/ProcessRunner.h"
#include "core/engine/ToolProgram.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

// Every 7-Zip run of the extractors, the password probe, compression and the archive browser: the
// arguments (ArchiveTools::SevenZip), the password on standard input (never in an argument), the
// time-outs, the retry with the link checks off, and its verdict (classify). Results come back as the tool
// left them, except that an extraction comes back with the status of its verdict: 0 for a success, 1 for a
// warning; callers judge a failure by its words.
class SevenZipTool {
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

    const QString& program() const { return m_program; }

    // 7-Zip's exit status decides: 0 wrote and checked every item, whatever it warned of (bytes after the
    // archive's end, a header it had to look for), except a TAR's header it could not read, which names
    // no check (a name cut short): warned. 1 (a warning), 2 (an error), 7 (a command line it refused), 8
    // (memory) and 255 (stopped) failed, but for a run that failed only to set the items' modes
    // (FAT: every error a mode), which wrote every item, and one that could not read the file: a
    // format or a method it lacks (ToolFailure::sevenZipCannotHandle, the echoed names taken out), or its
    // warning status with its warnings ("WARNINGS:").
    static ToolOutcome classify(const ProcessResult& result, const QStringList& echoedNames = {});

    // l -slt; handler reads the standard output as it arrives, of which the result then keeps only the
    // start (ProcessRunner::HandlerReads::standardOutput).
    ProcessResult listTechnical(const QString& archive, const std::optional<QString>& password,
                                ProcessRunner::TimeLimit timeout, const CancellationToken& token,
                                const ProcessRunner::OutputHandler& handler = {}) const;
    // l -slt of the entries whose path holds a line feed (ArchiveTools::SevenZip::lineFeedListArguments);
    // nothing runs for an archive path 7-Zip would read as a wildcard.
    std::optional<ProcessResult> listWithLineFeeds(const QString& archive,
                                                   const std::optional<QString>& password,
                                                   const CancellationToken& token) const;
    // l: the plain listing.
    ProcessResult listPlain(const QString& archive, const std::optional<QString>& password,
                            const CancellationToken& token) const;
    // x: the whole archive into destination, an empty private folder. A run refused for a link is
    // repeated with the checks off when the archive's links were proved to stay inside
    // (SevenZipLinkChains), after destination is emptied.
    ProcessResult extract(const QString& archive, const QString& destination, int threadCount,
                          const std::optional<QString>& password, const CancellationToken& token) const;
    // x: the named entries (a folder with its contents; every entry when none is named) with their
    // paths into destination, an empty private folder; retried as extract is.
    ProcessResult extractEntries(const QString& archive, const QStringList& entryPaths,
                                 const QString& destination, const std::optional<QString>& password,
                                 double timeout, const CancellationToken& token) const;
    // x -so: the named entries' data in archive order; a link's data is its target.
    ProcessResult printEntries(const QString& archive, const QStringList& entryPaths,
                               const std::optional<QString>& password, const CancellationToken& token) const;
    // t: tests the named entries (every entry when none is named), writing nothing.
    ProcessResult test(const QString& archive, const std::optional<QString>& password,
                       const CancellationToken& token, const QStringList& entryPaths = {}) const;
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
    // d: deletes the named entries (a folder with its contents); the password opens encrypted names.
    // The new archive is written in workFolder, as for add.
    ProcessResult remove(const QString& archive, const QStringList& entryPaths,
                         const std::optional<QString>& password, const QString& workFolder,
                         const CancellationToken& token) const;

private:
    ProcessResult run(
        const QStringList& arguments, ProcessRunner::TimeLimit timeout, const CancellationToken& token,
        const std::optional<QString>& password = std::nullopt,
        const ProcessRunner::OutputHandler& handler = {},
        ProcessRunner::HandlerReads handlerReads = ProcessRunner::HandlerReads::bothStreams) const;
    // Runs runWith(false), and runWith(true) after a refused link when every link was proved safe.
    ProcessResult withLinkCheckRetry(const QString& archive, const QString& destination,
                                     const std::optional<QString>& password, const CancellationToken& token,
                                     const std::function<ProcessResult(bool linkChecksOff)>& runWith) const;

    QString m_program;
};
