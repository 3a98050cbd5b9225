#include "core/engine/InfoZipTool.h"

#include "core/base/ZipCentralDirectory.h"
#include "core/engine/ArchiveTools.h"
#include "core/engine/ProcessRunner.h"
#include "core/engine/ToolFailure.h"

namespace {

// unzip and zip -e read the password on their terminal.
ProcessResult run(const QString& program, const QStringList& arguments,
                  const std::optional<QString>& workingFolder, ProcessRunner::TimeLimit timeout,
                  const std::optional<QString>& password, const CancellationToken& token) {
    return ProcessRunner::run(program, arguments, workingFolder, timeout, {}, token,
                              ArchiveTools::givenPassword(password), ProcessRunner::InputChannel::terminal);
}

// unzip's warning status with every entry done (ToolFailure::onlyWarnings) is a finished run. Its
// "zipfile is empty" is one only for an archive that claims no entries: an end record that claims some
// its directory does not hold is damage (ToolFailure::namedFailure).
ProcessResult finished(ProcessResult result, const QString& archive, const QStringList& echoedNames) {
    if (ToolFailure::unzipFoundNoEntries(result)) {
        if (result.status == 1 && ZipCentralDirectory::claimedEntryCount(archive).value_or(0) == 0)
            result.status = 0;
    } else if (ToolFailure::onlyWarnings(result, echoedNames)) {
        result.status = 0;
    }
    return result;
}

}  // namespace

ProcessResult InfoZipTool::list(const QString& archive, const CancellationToken& token) const {
    return finished(run(m_unzip, ArchiveTools::Unzip::listArguments(archive), std::nullopt,
                        ArchiveTools::kListingTimeout, std::nullopt, token),
                    archive, {archive});
}

ProcessResult InfoZipTool::extract(const QString& archive, const QString& destination,
                                   const std::optional<QString>& password, const CancellationToken& token) const {
    return finished(run(m_unzip, ArchiveTools::Unzip::extractArguments(archive, destination), std::nullopt,
                        ArchiveTools::kLongRunTimeout, password, token),
                    archive, {archive, destination});
}

ProcessResult InfoZipTool::extractEntries(const QString& archive, const QStringList& entryPaths,
                                          const QString& destination, const std::optional<QString>& password,
                                          double timeout, const CancellationToken& token) const {
    ProcessResult result;
    for (const QString& path : entryPaths) {
        result = finished(run(m_unzip, ArchiveTools::Unzip::extractEntryArguments(archive, path, destination),
                              std::nullopt, timeout, password, token),
                          archive, {archive, destination});
        if (result.status != 0) break;
    }
    return result;
}

ProcessResult InfoZipTool::create(const QString& archive, const QStringList& names, const QString& workingFolder,
                                  const Creation& creation, const std::optional<QString>& password,
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

ProcessResult InfoZipTool::remove(const QString& archive, const QStringList& entryPaths,
                                  const QString& workFolder, const CancellationToken& token) const {
    return run(m_zip, ArchiveTools::Zip::deleteArguments(archive, entryPaths, workFolder), std::nullopt,
               ArchiveTools::kEditTimeout, std::nullopt, token);
}
