#include "core/engine/RarExtractor.h"

#include "core/base/ArchiveFormat.h"
#include "core/base/FileNameHelper.h"
#include "core/engine/ArchiveError.h"
#include "core/engine/ArchiveTools.h"
#include "core/engine/ExtractionStaging.h"
#include "core/engine/ExtractionSteps.h"
#include "core/engine/ToolFallback.h"

#include <QRegularExpression>

namespace {

ArchiveError rarToolMissing() {
    return ArchiveError::dependencyMissing(QStringLiteral(u"RAR 解压工具不可用，请重新安装 velmora。"));
}

}  // namespace

RarExtractor::RarExtractor(QStringList supportedExtensions, ArchivePrograms programs)
    : m_supportedExtensions(std::move(supportedExtensions)), m_programs(std::move(programs)) {}

bool RarExtractor::canHandle(const QString& fileURL) const {
    if (m_supportedExtensions.contains(FileNameHelper::pathExtension(fileURL).toLower())) return true;
    static const QRegularExpression newVolume(QStringLiteral("\\.part\\d+\\.rar$"));
    static const QRegularExpression oldVolume(QStringLiteral("\\.r\\d+$"));
    const QString name = FileNameHelper::lastPathComponent(fileURL).toLower();
    return newVolume.match(name).hasMatch() || oldVolume.match(name).hasMatch();
}

int RarExtractor::extract(const QString& fileURL, const QString& destinationURL,
                          const std::optional<QString>& password, int threadCount,
                          const CancellationToken& token) {
    ExtractionSteps::requireArchive(fileURL);
    ExtractionStaging staging(destinationURL);
    extractInto(fileURL, staging.path(), password, threadCount, token);
    return static_cast<int>(staging.commit().size());
}

void RarExtractor::extractInto(const QString& fileURL, const QString& destinationURL,
                               const std::optional<QString>& password, int threadCount,
                               const CancellationToken& token) const {
    using ToolFallback::Program;
    const QStringList echoedNames{fileURL, destinationURL};
    Program decider = Program::unrar;
    const auto attempt = [&](Program program) -> std::optional<ProcessResult> {
        std::optional<ProcessResult> result;
        if (program == Program::unrar) {
            if (const std::optional<UnrarTool> unrar = m_programs.unrarTool())
                result = unrar->extract(fileURL, destinationURL, password, token);
        } else if (const std::optional<SevenZipTool> sevenZip = m_programs.sevenZipTool()) {
            result = sevenZip->extract(fileURL, destinationURL, threadCount, password, token);
        }
        if (result) decider = program;
        return result;
    };
    // Old-scheme volumes (name.r00) have no kind of their own, but are RAR all the same.
    const std::optional<ProcessResult> result = ToolFallback::runInOrder(
        ToolFallback::order(ArchiveFormat::Kind::rar, ArchiveTools::givenPassword(password).has_value()),
        attempt, echoedNames, token);
    if (!result) throw rarToolMissing();
    if (result->status == 0) return;
    if (decider == Program::unrar)
        throw ExtractionSteps::mapExternalError(*result, QStringLiteral(u"第三方 RAR 工具返回错误。"),
                                                echoedNames);
    // A 7-Zip without RAR support leaves no program that opens it.
    if (ExtractionSteps::sevenZipCannotHandle(*result, echoedNames)) throw rarToolMissing();
    throw ExtractionSteps::mapExternalError(*result, QStringLiteral(u"第三方 7Z 工具返回错误。"),
                                            echoedNames);
}
