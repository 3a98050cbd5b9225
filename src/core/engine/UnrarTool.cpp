#include "core/engine/UnrarTool.h"

#include "core/engine/ArchiveLinks.h"
#include "core/engine/ArchiveTools.h"
#include "core/engine/ProcessRunner.h"
#include "core/engine/RarArchiveAlias.h"
#include "core/engine/ToolFailureText.h"
#include "core/engine/UnrarListing.h"

#include <QList>
#include <QRegularExpression>

namespace {

// A Windows link's target with "/" between folders; one starting with a drive (C:\x) or with a "\"
// (\??\C:\x) is absolute.
QString windowsTarget(QString target) {
    static const QRegularExpression drive(QStringLiteral("^[A-Za-z]:"));
    if (drive.match(target).hasMatch()) return QStringLiteral("/");
    return target.replace(QLatin1Char('\\'), QLatin1Char('/'));
}

// Every link of the technical listing, in order ("Type: Unix symbolic link", "Target: ../x").
QList<std::pair<QString, QString>> listedLinks(const QString& listing) {
    QList<std::pair<QString, QString>> links;
    for (const UnrarListing::Entry& entry : UnrarListing::read(listing).entries) {
        if (entry.target.isNull()) continue;
        if (entry.type == u"Unix symbolic link")
            links.append({entry.name.toString(), entry.target.toString()});
        if (entry.type == u"Windows symbolic link" || entry.type == u"Junction")
            links.append({entry.name.toString(), windowsTarget(entry.target.toString())});
    }
    return links;
}

bool isAmong(const QString& path, const QStringList& entryPaths) {
    if (entryPaths.isEmpty()) return true;
    for (const QString& entry : entryPaths) {
        if (path == entry || path.startsWith(entry + QLatin1Char('/'))) return true;
    }
    return false;
}

}  // namespace

ToolOutcome UnrarTool::classify(const ProcessResult& result, const QStringList&) const {
    return result.status == 0 ? ToolOutcome::success : ToolOutcome::failed;
}

ProcessResult UnrarTool::run(const QString& archive, const QString& alias, const QStringList& arguments,
                             ProcessRunner::TimeLimit timeout, const std::optional<QString>& password,
                             const CancellationToken& token,
                             const ProcessRunner::OutputHandler& handler) const {
    ProcessResult result = ProcessRunner::run(
        m_program, arguments, std::nullopt, timeout, handler, token, ArchiveTools::givenPassword(password),
        ProcessRunner::InputChannel::pipe, ProcessRunner::HandlerReads::standardOutput);
    result.program = ToolProgram::unrar;
    if (alias != archive) {
        result.output.replace(alias, archive);
        result.error.replace(alias, archive);
    }
    return result;
}

ProcessResult UnrarTool::list(const QString& archive, const std::optional<QString>& password,
                              const CancellationToken& token,
                              const ProcessRunner::OutputHandler& handler) const {
    const RarArchiveAlias alias(archive);
    return run(archive, alias.path(), ArchiveTools::Rar::technicalListArguments(alias.path(), password),
               ArchiveTools::kListingTimeout, password, token, handler);
}

std::optional<ProcessResult> UnrarTool::listTechnical(const QString& archive,
                                                      const std::optional<QString>& password,
                                                      const CancellationToken& token) const {
    return list(archive, password, token, {});
}

ArchiveDriver::Encryption UnrarTool::encryptionIn(const ProcessResult& technicalListing) const {
    const UnrarListing::Listing listing = UnrarListing::read(technicalListing.output);
    for (const UnrarListing::Entry& entry : listing.entries) {
        if (UnrarListing::isEncrypted(entry)) return {true, entry.name.toString()};
    }
    return {listing.showsEncryption, std::nullopt};
}

ProcessResult UnrarTool::extract(const QString& archive, const QString& destination, int,
                                 const std::optional<QString>& password,
                                 const CancellationToken& token) const {
    const RarArchiveAlias alias(archive);
    const ProcessResult result =
        run(archive, alias.path(), ArchiveTools::Rar::extractArguments(alias.path(), destination, password),
            ArchiveTools::kLongRunTimeout, password, token);
    if (result.status == 0) requireLinksInside(archive, {}, password, token);
    return result;
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
        if (result.status != 0) return result;
    }
    if (!entryPaths.isEmpty()) requireLinksInside(archive, entryPaths, password, token);
    return result;
}

std::optional<ProcessResult> UnrarTool::test(const QString& archive, const std::optional<QString>& password,
                                             const QStringList& entryPaths,
                                             const CancellationToken& token) const {
    const RarArchiveAlias alias(archive);
    return run(archive, alias.path(), ArchiveTools::Rar::testArguments(alias.path(), password, entryPaths),
               ArchiveTools::kLongRunTimeout, password, token);
}

void UnrarTool::requireLinksInside(const QString& archive, const QStringList& entryPaths,
                                   const std::optional<QString>& password,
                                   const CancellationToken& token) const {
    const ProcessResult listing = list(archive, password, token, {});
    // Without a listing, the check of what reached the disk stays (ExtractionStaging).
    if (listing.status != 0) return;
    const QList<std::pair<QString, QString>> links = listedLinks(listing.output);
    ArchiveLinks::Links all;
    for (const auto& [path, target] : links) all.insert(path, target);
    for (const auto& [path, target] : links) {
        if (isAmong(path, entryPaths) && ArchiveLinks::leadsOut(path, target, all))
            throw ToolFailureText::linkOutsideDestination(path);
    }
}
