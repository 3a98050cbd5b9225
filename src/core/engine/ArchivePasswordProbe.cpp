#include "core/engine/ArchivePasswordProbe.h"

#include "core/engine/ArchiveTools.h"
#include "core/engine/ToolFallback.h"

#include <QRegularExpression>

namespace {

// The deciding run of the archive's programs in order; Info-ZIP's tools answer neither question.
std::optional<ToolFallback::Run> ask(const QString& fileURL, const ArchivePrograms& programs,
                                     bool hasPassword, const ToolFallback::Attempts& attempts,
                                     const CancellationToken& token) {
    return ToolFallback::runInOrder(programs, ToolFallback::order(fileURL, hasPassword), attempts, {fileURL},
                                    token);
}

// unrar marks each encrypted entry, and says so for an archive whose headers are encrypted.
bool rarListingShowsEncryption(const ProcessResult& result) {
    static const QRegularExpression marks(QStringLiteral("^\\s*(Flags: .*encrypted|Details: .*encrypted)"),
                                          QRegularExpression::MultilineOption);
    return marks.match(result.output).hasMatch();
}

// 7-Zip asks for the password of encrypted headers before it lists anything, and marks encrypted
// entries in its technical listing.
bool sevenZipListingShowsEncryption(const ProcessResult& result) {
    if (result.status != 0) return result.output.contains(QLatin1String("Enter password"));
    static const QRegularExpression mark(QStringLiteral("^Encrypted = \\+$"),
                                         QRegularExpression::MultilineOption);
    return mark.match(result.output).hasMatch();
}

bool opens(const QString& fileURL, const QString& password, const ArchivePrograms& programs,
           const CancellationToken& token) {
    ToolFallback::Attempts attempts;
    attempts.unrar = [&](const UnrarTool& unrar) { return unrar.test(fileURL, password, token); };
    attempts.sevenZip = [&](const SevenZipTool& sevenZip) { return sevenZip.test(fileURL, password, token); };
    const std::optional<ToolFallback::Run> run = ask(fileURL, programs, true, attempts, token);
    return run && run->result.status == 0;
}

}  // namespace

namespace ArchivePasswordProbe {

bool isEncrypted(const QString& fileURL, const CancellationToken& token, const ArchivePrograms& programs) {
    ToolFallback::Attempts attempts;
    attempts.unrar = [&](const UnrarTool& unrar) {
        return unrar.listTechnical(fileURL, std::nullopt, token);
    };
    attempts.sevenZip = [&](const SevenZipTool& sevenZip) {
        return sevenZip.listTechnical(fileURL, std::nullopt, ArchiveTools::kListingTimeout, token);
    };
    const std::optional<ToolFallback::Run> run = ask(fileURL, programs, false, attempts, token);
    if (!run) return false;
    return run->program == ToolFallback::Program::unrar ? rarListingShowsEncryption(run->result)
                                                        : sevenZipListingShowsEncryption(run->result);
}

std::optional<QString> firstOpeningPassword(const QString& fileURL, const QStringList& candidates,
                                            const CancellationToken& token, const ArchivePrograms& programs) {
    for (const QString& candidate : candidates) {
        if (candidate.isEmpty()) continue;
        if (opens(fileURL, candidate, programs, token)) return candidate;
    }
    return std::nullopt;
}

}  // namespace ArchivePasswordProbe
