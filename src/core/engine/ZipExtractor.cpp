#include "core/engine/ZipExtractor.h"

#include "core/base/FileNameHelper.h"
#include "core/base/ZipCentralDirectory.h"
#include "core/engine/ArchiveTools.h"
#include "core/engine/ExtractionStaging.h"
#include "core/engine/ExtractionSteps.h"
#include "core/engine/LegacyNameRenamer.h"
#include "core/engine/ProcessRunner.h"
#include "core/engine/SevenZipTool.h"

#include <QRegularExpression>

ZipExtractor::ZipExtractor(QStringList supportedExtensions)
    : m_supportedExtensions(std::move(supportedExtensions)) {}

bool ZipExtractor::canHandle(const QString& fileURL) const {
    if (m_supportedExtensions.contains(FileNameHelper::pathExtension(fileURL).toLower())) return true;
    static const QRegularExpression volume(QStringLiteral("\\.z\\d{2}$"));
    return volume.match(FileNameHelper::lastPathComponent(fileURL).toLower()).hasMatch();
}

int ZipExtractor::extract(const QString& fileURL, const QString& destinationURL,
                          const std::optional<QString>& password, int threadCount,
                          const CancellationToken& token) {
    ExtractionSteps::requireArchive(fileURL);
    ExtractionStaging staging(destinationURL);
    extractInto(fileURL, staging.path(), password, threadCount, token);
    LegacyNameRenamer::renameExtractedArchive(
        staging.path(), [&fileURL] { return ZipCentralDirectory::legacyNameSource(fileURL); });
    return static_cast<int>(staging.commit().size());
}

void ZipExtractor::extractInto(const QString& fileURL, const QString& destinationURL,
                               const std::optional<QString>& password, int threadCount,
                               const CancellationToken& token) {
    const QStringList echoedNames{fileURL, destinationURL};
    const std::optional<ProcessResult> result =
        extractWithSevenZip(fileURL, destinationURL, password, threadCount, token);
    if (result && result->status == 0) return;
    if (result && !ExtractionSteps::sevenZipCannotHandle(*result, echoedNames)) {
        throw ExtractionSteps::mapExternalError(*result, QStringLiteral(u"第三方 7Z 工具返回错误。"),
                                                echoedNames);
    }
    // A cancelled run is not a failed one: never fall back after it.
    token.throwIfCancelled();
    // unzip knows none of ZIPX's own methods; only an encrypted one is worth its try.
    const bool hasPassword = password && !password->isEmpty();
    if (!hasPassword && FileNameHelper::pathExtension(fileURL).toLower() != QLatin1String("zip")) {
        if (result)
            throw ExtractionSteps::mapExternalError(*result, QStringLiteral(u"第三方 7Z 工具返回错误。"),
                                                    echoedNames);
        throw ArchiveError::dependencyMissing(
            QStringLiteral(u"ZIPX 解压需要 7-Zip 工具，请重新安装 velmora。"));
    }
    extractWithSystemUnzip(fileURL, destinationURL, password, token);
}

std::optional<ProcessResult> ZipExtractor::extractWithSevenZip(const QString& fileURL,
                                                               const QString& destinationURL,
                                                               const std::optional<QString>& password,
                                                               int threadCount,
                                                               const CancellationToken& token) {
    const std::optional<SevenZipTool> sevenZip = SevenZipTool::locate();
    if (!sevenZip) return std::nullopt;
    return sevenZip->extract(fileURL, destinationURL, threadCount, password, token);
}

void ZipExtractor::extractWithSystemUnzip(const QString& fileURL, const QString& destinationURL,
                                          const std::optional<QString>& password,
                                          const CancellationToken& token) {
    const ProcessResult result = ProcessRunner::run(
        ArchiveTools::kUnzipPath, ArchiveTools::Unzip::extractArguments(fileURL, destinationURL),
        std::nullopt, ArchiveTools::kLongRunTimeout, {}, token, ArchiveTools::givenPassword(password),
        ProcessRunner::InputChannel::terminal);
    if (result.status != 0) throw mapZipError(result, {fileURL, destinationURL});
}

ArchiveError ZipExtractor::mapZipError(const ProcessResult& result, const QStringList& echoedNames) {
    const QString text = ExtractionSteps::combinedText(result);
    const QString lowered = ExtractionSteps::searchableText(result, echoedNames);
    if (ExtractionSteps::namesFullDisk(lowered)) return ArchiveError::diskFull();
    if (lowered.contains(QLatin1String("read-only file system")))
        return ArchiveError::destinationNotWritable();
    if (ExtractionSteps::namesPasswordProblem(lowered)) return ArchiveError::wrongPassword();
    if (lowered.contains(QLatin1String("permission denied")) ||
        lowered.contains(QLatin1String("operation not permitted"))) {
        return ArchiveError::permissionDenied();
    }
    for (const char* corrupt : {"cannot find zipfile", "not a zipfile", "end-of-central-directory"}) {
        if (lowered.contains(QLatin1String(corrupt))) return ArchiveError::corruptedArchive();
    }
    return ExtractionSteps::extractFailed(text, QStringLiteral(u"系统 ZIP 工具返回错误。"));
}
