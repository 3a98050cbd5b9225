#include "core/engine/ArchivePasswordProbe.h"

#include "core/base/ArchiveFormat.h"
#include "core/base/FileNameHelper.h"
#include "core/base/SplitArchiveDetector.h"
#include "core/engine/ArchiveTools.h"
#include "core/engine/ToolFallback.h"

#include <QRegularExpression>

namespace {

using ToolFallback::Program;

// The kind whose order applies; old-scheme RAR volumes (name.r00) have no kind of their own.
std::optional<ArchiveFormat::Kind> kindOf(const QString& fileURL) {
    if (const std::optional<ArchiveFormat::Kind> kind = ArchiveFormat::kind(fileURL)) return kind;
    const std::optional<SplitArchiveDetector::Match> volume =
        SplitArchiveDetector::detect(FileNameHelper::lastPathComponent(fileURL));
    if (volume && volume->format == SplitArchiveFormat::rarOld) return ArchiveFormat::Kind::rar;
    return std::nullopt;
}

struct Answer {
    Program program;
    ProcessResult result;
};

// The deciding run of the archive's programs in order; Info-ZIP's tools answer neither question.
std::optional<Answer> ask(const QString& fileURL, const ArchivePrograms& programs, bool hasPassword,
                          const std::function<ProcessResult(const UnrarTool&)>& withUnrar,
                          const std::function<ProcessResult(const SevenZipTool&)>& withSevenZip,
                          const CancellationToken& token) {
    Program decider = Program::sevenZip;
    const auto attempt = [&](Program program) -> std::optional<ProcessResult> {
        std::optional<ProcessResult> result;
        if (program == Program::unrar) {
            if (const std::optional<UnrarTool> unrar = programs.unrarTool()) result = withUnrar(*unrar);
        } else if (program == Program::sevenZip) {
            if (const std::optional<SevenZipTool> sevenZip = programs.sevenZipTool())
                result = withSevenZip(*sevenZip);
        }
        if (result) decider = program;
        return result;
    };
    const std::optional<ProcessResult> result = ToolFallback::runInOrder(
        ToolFallback::order(kindOf(fileURL), hasPassword), attempt, {fileURL}, token);
    if (!result) return std::nullopt;
    return Answer{decider, *result};
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
    const std::optional<Answer> answer = ask(
        fileURL, programs, true, [&](const UnrarTool& unrar) { return unrar.test(fileURL, password, token); },
        [&](const SevenZipTool& sevenZip) { return sevenZip.test(fileURL, password, token); }, token);
    return answer && answer->result.status == 0;
}

}  // namespace

namespace ArchivePasswordProbe {

bool isEncrypted(const QString& fileURL, const CancellationToken& token, const ArchivePrograms& programs) {
    const std::optional<Answer> answer = ask(
        fileURL, programs, false,
        [&](const UnrarTool& unrar) { return unrar.listTechnical(fileURL, std::nullopt, token); },
        [&](const SevenZipTool& sevenZip) {
            return sevenZip.listTechnical(fileURL, std::nullopt, ArchiveTools::kListingTimeout, token);
        },
        token);
    if (!answer) return false;
    return answer->program == Program::unrar ? rarListingShowsEncryption(answer->result)
                                             : sevenZipListingShowsEncryption(answer->result);
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
