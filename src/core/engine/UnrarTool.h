#pragma once

#include "core/base/CancellationToken.h"
#include "core/engine/ArchiveDriver.h"
#include "core/engine/ProcessResult.h"
#include "core/engine/ProcessRunner.h"
#include "core/engine/ToolProgram.h"

#include <QString>
#include <QStringList>
#include <optional>

// Every run of RARLAB's unrar: the arguments (ArchiveTools::Rar), the password on standard input, and
// the archive given through a RarArchiveAlias, since unrar reads its archive argument as a mask. The
// alias's path is written back as the archive's in the output, so a failure names the user's file.
// Results come back as the tool left them, but for links: unrar skips a link leading out of the
// destination and still calls the run a success, so an extraction that held one fails naming it
// (ArchiveError, as for the other programs' refusals).
class UnrarTool : public ArchiveDriver {
public:
    explicit UnrarTool(QString program) : m_program(std::move(program)) {}

    ToolProgram program() const override { return ToolProgram::unrar; }

    // unrar's exit status decides: 0 succeeded; 1 (a warning), 2 (fatal), 3 (a CRC error), 4 (a locked
    // archive), 5 (a write error), 6 (an open error), 7 (a command line), 8 (memory), 9 (a file it could
    // not create), 10 (no files to extract), 11 (a wrong password) and 255 (stopped) failed, the words
    // naming the reason.
    ToolOutcome classify(const ProcessResult& result, const QStringList& echoedNames) const override;

    // lt -v: the technical listing of every volume.
    ProcessResult list(const QString& archive, const std::optional<QString>& password,
                       const CancellationToken& token,
                       const ProcessRunner::OutputHandler& handler) const override;
    std::optional<ProcessResult> listTechnical(const QString& archive, const std::optional<QString>& password,
                                               const CancellationToken& token) const override;
    // unrar marks each encrypted entry, and says so for an archive whose headers are encrypted.
    Encryption encryptionIn(const ProcessResult& technicalListing) const override;
    // x: the whole archive into destination; throws ArchiveError for a link leading out.
    ProcessResult extract(const QString& archive, const QString& destination, int threadCount,
                          const std::optional<QString>& password,
                          const CancellationToken& token) const override;
    // x: the named entries with their paths into destination, one run each; the first failure ends it.
    // Throws ArchiveError for a link among them leading out.
    ProcessResult extractEntries(const QString& archive, const QStringList& entryPaths,
                                 const QString& destination, const std::optional<QString>& password,
                                 double timeout, const CancellationToken& token) const override;
    // t: every entry of every volume when none is named.
    std::optional<ProcessResult> test(const QString& archive, const std::optional<QString>& password,
                                      const QStringList& entryPaths,
                                      const CancellationToken& token) const override;

private:
    ProcessResult run(const QString& archive, const QString& alias, const QStringList& arguments,
                      ProcessRunner::TimeLimit timeout, const std::optional<QString>& password,
                      const CancellationToken& token, const ProcessRunner::OutputHandler& handler = {}) const;
    // Throws for the first link among the entries extracted (all when none is named) whose target,
    // followed through the archive's links, leads out, as the technical listing gives them.
    void requireLinksInside(const QString& archive, const QStringList& entryPaths,
                            const std::optional<QString>& password, const CancellationToken& token) const;

    QString m_program;
};
