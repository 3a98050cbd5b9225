#include "core/engine/InfoZipTool.h"

#include "core/base/ZipCentralDirectory.h"
#include "core/engine/ArchiveTools.h"
#include "core/engine/InfoZipWords.h"
#include "core/engine/ProcessRunner.h"
#include "core/engine/ToolFailure.h"
#include "core/engine/ToolFailureLines.h"

#include <QRegularExpression>

namespace {

// unzip and zip -e read the password on their terminal.
ProcessResult run(const QString& program, const QStringList& arguments,
                  const std::optional<QString>& workingFolder, ProcessRunner::TimeLimit timeout,
                  const std::optional<QString>& password, const CancellationToken& token,
                  const ProcessRunner::OutputHandler& handler = {}) {
    ProcessResult result = ProcessRunner::run(
        program, arguments, workingFolder, timeout, handler, token, ArchiveTools::givenPassword(password),
        ProcessRunner::InputChannel::terminal, ProcessRunner::HandlerReads::standardOutput);
    result.program = ToolProgram::infoZip;
    return result;
}

// unzip's "zipfile is empty" finishes the run only for an archive that claims no entries: an end record
// that claims some its directory does not hold is damage (ToolFailure::namedFailure).
ProcessResult finished(ProcessResult result, const QString& archive) {
    if (result.status == 1 && ToolFailure::unzipFoundNoEntries(result) &&
        ZipCentralDirectory::claimedEntryCount(archive).value_or(0) == 0)
        result.status = 0;
    return result;
}

// unzip ended with its warning status and still listed or wrote every entry: it skipped none ("skipping:
// a  incorrect password") and its words name no failure (ToolFailure::namedFailure). A few bytes before the
// first header or a comment cut short is such a warning; the run did its work.
bool onlyWarnings(const ProcessResult& result, const QStringList& echoedNames) {
    // unzip names every entry it did not write on a line of its own.
    for (const QString& line : ToolFailureLines::combinedText(result).split(QLatin1Char('\n'))) {
        if (line.trimmed().startsWith(InfoZipWords::kSkipping)) return false;
    }
    return !ToolFailure::namedFailure(result, echoedNames);
}

// unzip doubts what it wrote of an entry: its recorded sizes disagree. Its other warnings (a comment cut
// short, bytes before the first header) are the archive's, every entry whole.
bool doubtsAnEntry(const ProcessResult& result) {
    static const QRegularExpression sizes(InfoZipWords::kSizesDisagreeLine);
    for (const QString& line : ToolFailureLines::combinedText(result).split(QLatin1Char('\n'))) {
        if (sizes.match(line.trimmed()).hasMatch()) return true;
    }
    return false;
}

}  // namespace

ToolOutcome InfoZipTool::classify(const ProcessResult& result, const QStringList& echoedNames) const {
    constexpr int kSucceeded = 0;
    constexpr int kWarning = 1;
    if (result.status == kSucceeded) return ToolOutcome::success;
    if (result.status == kWarning && onlyWarnings(result, echoedNames))
        return doubtsAnEntry(result) ? ToolOutcome::warned : ToolOutcome::success;
    return ToolOutcome::failed;
}

ProcessResult InfoZipTool::list(const QString& archive, const std::optional<QString>&,
                                const CancellationToken& token,
                                const ProcessRunner::OutputHandler& handler) const {
    return finished(run(m_unzip, ArchiveTools::Unzip::listArguments(archive), std::nullopt,
                        ArchiveTools::kListingTimeout, std::nullopt, token, handler),
                    archive);
}

ProcessResult InfoZipTool::extract(const QString& archive, const QString& destination, int,
                                   const std::optional<QString>& password,
                                   const CancellationToken& token) const {
    return finished(run(m_unzip, ArchiveTools::Unzip::extractArguments(archive, destination), std::nullopt,
                        ArchiveTools::kLongRunTimeout, password, token),
                    archive);
}

ProcessResult InfoZipTool::extractEntries(const QString& archive, const QStringList& entryPaths,
                                          const QString& destination, const std::optional<QString>& password,
                                          double timeout, const CancellationToken& token) const {
    // One run per entry: the first failure ends them, and a doubt about one entry stands for them all.
    ProcessResult result;
    std::optional<ProcessResult> doubted;
    for (const QString& path : entryPaths) {
        result = finished(run(m_unzip, ArchiveTools::Unzip::extractEntryArguments(archive, path, destination),
                              std::nullopt, timeout, password, token),
                          archive);
        const ToolOutcome outcome = classify(result, {archive, destination});
        if (outcome == ToolOutcome::failed) return result;
        if (outcome == ToolOutcome::warned && !doubted) doubted = result;
    }
    return doubted.value_or(result);
}

ProcessResult InfoZipTool::create(const QString& archive, const QStringList& names,
                                  const QString& workingFolder, const Creation& creation,
                                  const std::optional<QString>& password,
                                  const CancellationToken& token) const {
    QStringList arguments = ArchiveTools::Zip::recursiveWithoutExtraAttributes();
    arguments += ArchiveTools::Zip::storeLinks();
    arguments << CompressionLevels::zipLevelSwitch(creation.level);
    if (ArchiveTools::givenPassword(password)) arguments += ArchiveTools::Zip::encrypt();
    if (creation.volumeSize) arguments += ArchiveTools::Zip::split(*creation.volumeSize);
    arguments << archive;
    if (creation.excludeHidden) arguments += ArchiveTools::Zip::hiddenExclusions();
    arguments += ArchiveTools::Zip::endOfSwitches();
    return run(m_zip, arguments + names, workingFolder, ArchiveTools::kLongRunTimeout, password, token);
}

std::optional<ProcessResult> InfoZipTool::remove(const QString& archive, const QStringList& entryPaths,
                                                 const std::optional<QString>&, const QString& workFolder,
                                                 const CancellationToken& token) const {
    // zip reads a name that is a folder in its current folder as that folder's ("a.txt/"), and then
    // deletes nothing; its own empty work folder holds no such name.
    return run(m_zip, ArchiveTools::Zip::deleteArguments(archive, entryPaths, workFolder), workFolder,
               ArchiveTools::kEditTimeout, std::nullopt, token);
}

bool InfoZipTool::readsAsSwitch(const QString& name) const {
    return ArchiveTools::InfoZip::isReadAsSwitch(name);
}
