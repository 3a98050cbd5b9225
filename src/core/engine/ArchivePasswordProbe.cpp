#include "core/engine/ArchivePasswordProbe.h"

#include "core/engine/ArchiveTools.h"
#include "core/engine/ProcessRunner.h"
#include "core/engine/RarArchiveAlias.h"
#include "core/engine/RarExtractor.h"
#include "core/engine/SevenZipTool.h"

#include <QRegularExpression>

namespace {

bool isRar(const QString& fileURL) { return RarExtractor({QStringLiteral("rar")}).canHandle(fileURL); }

ProcessResult runTool(const QString& program, const QStringList& arguments, double timeout,
                      const CancellationToken& token, const std::optional<QString>& password) {
    return ProcessRunner::run(program, arguments, std::nullopt, timeout, {}, token,
                              ArchiveTools::givenPassword(password));
}

// unrar marks each encrypted entry, and says so for an archive whose headers are encrypted.
bool rarIsEncrypted(const QString& unrar, const QString& fileURL, const CancellationToken& token) {
    const RarArchiveAlias alias(fileURL);
    const ProcessResult result =
        runTool(unrar, ArchiveTools::Rar::technicalListArguments(alias.path(), std::nullopt),
                ArchiveTools::kListingTimeout, token, std::nullopt);
    static const QRegularExpression marks(QStringLiteral("^\\s*(Flags: .*encrypted|Details: .*encrypted)"),
                                          QRegularExpression::MultilineOption);
    return marks.match(result.output).hasMatch();
}

// 7-Zip asks for the password of encrypted headers before it lists anything, and marks encrypted
// entries in its technical listing.
bool sevenZipIsEncrypted(const SevenZipTool& sevenZip, const QString& fileURL,
                         const CancellationToken& token) {
    const ProcessResult result =
        sevenZip.listTechnical(fileURL, std::nullopt, ArchiveTools::kListingTimeout, token);
    if (result.status != 0) return result.output.contains(QLatin1String("Enter password"));
    static const QRegularExpression mark(QStringLiteral("^Encrypted = \\+$"),
                                         QRegularExpression::MultilineOption);
    return mark.match(result.output).hasMatch();
}

bool opens(const QString& fileURL, const QString& password, const CancellationToken& token) {
    if (isRar(fileURL)) {
        const std::optional<QString> unrar = ArchiveTools::Rar::locate();
        if (!unrar) return false;
        const RarArchiveAlias alias(fileURL);
        return runTool(*unrar, ArchiveTools::Rar::testArguments(alias.path(), password),
                       ArchiveTools::kLongRunTimeout, token, password)
                   .status == 0;
    }
    const std::optional<SevenZipTool> sevenZip = SevenZipTool::locate();
    return sevenZip && sevenZip->test(fileURL, password, token).status == 0;
}

}  // namespace

namespace ArchivePasswordProbe {

bool isEncrypted(const QString& fileURL, const CancellationToken& token) {
    if (isRar(fileURL)) {
        const std::optional<QString> unrar = ArchiveTools::Rar::locate();
        return unrar && rarIsEncrypted(*unrar, fileURL, token);
    }
    const std::optional<SevenZipTool> sevenZip = SevenZipTool::locate();
    return sevenZip && sevenZipIsEncrypted(*sevenZip, fileURL, token);
}

std::optional<QString> firstOpeningPassword(const QString& fileURL, const QStringList& candidates,
                                            const CancellationToken& token) {
    for (const QString& candidate : candidates) {
        if (candidate.isEmpty()) continue;
        if (opens(fileURL, candidate, token)) return candidate;
    }
    return std::nullopt;
}

}  // namespace ArchivePasswordProbe
