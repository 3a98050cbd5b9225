#include "core/engine/RarExtractor.h"

#include "core/base/FileNameHelper.h"
#include "core/engine/ArchiveError.h"
#include "core/engine/ArchiveTools.h"
#include "core/engine/ExtractionStaging.h"
#include "core/engine/ExtractionSteps.h"
#include "core/engine/ProcessRunner.h"
#include "core/engine/RarArchiveAlias.h"

#include <QRegularExpression>

RarExtractor::RarExtractor(QStringList supportedExtensions)
    : m_supportedExtensions(std::move(supportedExtensions)) {}

bool RarExtractor::canHandle(const QString& fileURL) const {
    if (m_supportedExtensions.contains(FileNameHelper::pathExtension(fileURL).toLower())) return true;
    static const QRegularExpression newVolume(QStringLiteral("\\.part\\d+\\.rar$"));
    static const QRegularExpression oldVolume(QStringLiteral("\\.r\\d+$"));
    const QString name = FileNameHelper::lastPathComponent(fileURL).toLower();
    return newVolume.match(name).hasMatch() || oldVolume.match(name).hasMatch();
}

int RarExtractor::extract(const QString& fileURL, const QString& destinationURL,
                          const std::optional<QString>& password, int /*threadCount*/,
                          const CancellationToken& token) {
    ExtractionSteps::requireArchive(fileURL);
    const std::optional<QString> unrar = ArchiveTools::Rar::locate();
    if (!unrar)
        throw ArchiveError::dependencyMissing(QStringLiteral(u"RAR 解压工具不可用，请重新安装 velmora。"));
    ExtractionStaging staging(destinationURL);
    const RarArchiveAlias alias(fileURL);
    const ProcessResult result = ProcessRunner::run(
        *unrar, ArchiveTools::Rar::extractArguments(alias.path(), staging.path(), password), std::nullopt,
        ArchiveTools::kLongRunTimeout, {}, token, ArchiveTools::givenPassword(password));
    if (result.status != 0) {
        throw ExtractionSteps::mapExternalError(result, QStringLiteral(u"第三方 RAR 工具返回错误。"),
                                                {fileURL, alias.path(), staging.path()});
    }
    return static_cast<int>(staging.commit().size());
}
