#include "core/engine/TarTool.h"

#include "core/engine/ArchiveTools.h"
#include "core/engine/ProcessRunner.h"

ProcessResult TarTool::createGzip(const QString& archive, const QStringList& names, const QString& workingFolder,
                                  bool excludeHidden, const CancellationToken& token) const {
    QStringList arguments = ArchiveTools::Tar::createGzip(archive);
    if (excludeHidden) arguments += ArchiveTools::Tar::hiddenExclusions();
    arguments += ArchiveTools::Tar::endOfSwitches();
    return ProcessRunner::run(m_program, arguments + names, workingFolder, ArchiveTools::kLongRunTimeout, {},
                              token);
}
