#include "core/engine/UnrarTool.h"

#include "core/engine/ArchiveTools.h"
#include "core/engine/ProcessRunner.h"
#include "core/engine/RarArchiveAlias.h"

ProcessResult UnrarTool::run(const QString& archive, const QString& alias, const QStringList& arguments,
                             ProcessRunner::TimeLimit timeout, const std::optional<QString>& password,
                             const CancellationToken& token) const {
    ProcessResult result = ProcessRunner::run(m_program, arguments, std::nullopt, timeout, {}, token,
                                              ArchiveTools::givenPassword(password));
    if (alias != archive) {
        result.output.replace(alias, archive);
        result.error.replace(alias, archive);
    }
    return result;
}

ProcessResult UnrarTool::listTechnical(const QString& archive, const std::optional<QString>& password,
                                       const CancellationToken& token) const {
    const RarArchiveAlias alias(archive);
    return run(archive, alias.path(), ArchiveTools::Rar::technicalListArguments(alias.path(), password),
               ArchiveTools::kListingTimeout, password, token);
}

ProcessResult UnrarTool::extract(const QString& archive, const QString& destination,
                                 const std::optional<QString>& password, const CancellationToken& token) const {
    const RarArchiveAlias alias(archive);
    return run(archive, alias.path(), ArchiveTools::Rar::extractArguments(alias.path(), destination, password),
               ArchiveTools::kLongRunTimeout, password, token);
}

ProcessResult UnrarTool::extractEntries(const QString& archive, const QStringList& entryPaths,
                                        const QString& destination, const std::optional<QString>& password,
                                        double timeout, const CancellationToken& token) const {
    const RarArchiveAlias alias(archive);
    ProcessResult result;
    for (const QString& path : entryPaths) {
        result = run(archive, alias.path(),
                     ArchiveTools::Rar::extractEntryArguments(alias.path(), path, destination, password),
                     timeout, password, token);
        if (result.status != 0) break;
    }
    return result;
}

ProcessResult UnrarTool::test(const QString& archive, const std::optional<QString>& password,
                              const CancellationToken& token, const QStringList& entryPaths) const {
    const RarArchiveAlias alias(archive);
    return run(archive, alias.path(), ArchiveTools::Rar::testArguments(alias.path(), password, entryPaths),
               ArchiveTools::kLongRunTimeout, password, token);
}
