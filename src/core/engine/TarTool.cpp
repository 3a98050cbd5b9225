#include "core/engine/TarTool.h"

#include "core/engine/ArchiveTools.h"
#include "core/engine/ProcessRunner.h"

namespace {

ProcessResult ranByTar(ProcessResult result) {
    result.program = ToolProgram::tar;
    return result;
}

}  // namespace

ToolOutcome TarTool::classify(const ProcessResult& result, const QStringList&) const {
    return result.status == 0 ? ToolOutcome::success : ToolOutcome::failed;
}

ProcessResult TarTool::createGzip(const QString& archive, const QStringList& names,
                                  const QString& workingFolder, bool excludeHidden,
                                  const CancellationToken& token) const {
    QStringList arguments = ArchiveTools::Tar::createGzip(archive);
    if (excludeHidden) arguments += ArchiveTools::Tar::hiddenExclusions();
    arguments += ArchiveTools::Tar::endOfSwitches();
    return ranByTar(ProcessRunner::run(m_program, arguments + names, workingFolder,
                                       ArchiveTools::kLongRunTimeout, {}, token));
}

ProcessResult TarTool::list(const QString& archive, const std::optional<QString>&,
                            const CancellationToken& token,
                            const ProcessRunner::OutputHandler& handler) const {
    return ranByTar(
        ProcessRunner::run(m_program, ArchiveTools::Tar::listArguments(archive, decompression(archive)),
                           std::nullopt, ArchiveTools::kListingTimeout, handler, token, std::nullopt,
                           ProcessRunner::InputChannel::pipe, ProcessRunner::HandlerReads::standardOutput));
}

ProcessResult TarTool::extract(const QString& archive, const QString& destination, int,
                               const std::optional<QString>& password, const CancellationToken& token) const {
    return extractEntries(archive, {}, destination, password, ArchiveTools::kLongRunTimeout, token);
}

ProcessResult TarTool::extractEntries(const QString& archive, const QStringList& entryPaths,
                                      const QString& destination, const std::optional<QString>&,
                                      double timeout, const CancellationToken& token) const {
    return ranByTar(ProcessRunner::run(
        m_program,
        ArchiveTools::Tar::extractArguments(archive, destination, entryPaths, decompression(archive)),
        std::nullopt, timeout, {}, token));
}

QStringList TarTool::decompression(const QString& archive) const {
    return m_sevenZip ? ArchiveTools::Tar::decompressor(archive, *m_sevenZip) : QStringList();
}
