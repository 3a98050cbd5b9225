#include "core/engine/ExtractionSteps.h"

#include "core/engine/FileSystemError.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <filesystem>

namespace ExtractionSteps {

void requireArchive(const QString& fileURL) {
    if (!QFileInfo::exists(fileURL)) throw ArchiveError::fileNotFound(fileURL);
}

void createFolder(const QString& folderURL) {
    std::error_code code;
    std::filesystem::create_directories(std::filesystem::path(QFile::encodeName(folderURL).toStdString()),
                                        code);
    if (code)
        throw FileSystemError(FileSystemError::Kind::createFailed, folderURL,
                              QString::fromStdString(code.message()));
}

QString combinedText(const ProcessResult& result) { return result.error + QLatin1Char('\n') + result.output; }

QString searchableText(const ProcessResult& result, const QStringList& echoedNames) {
    QString text = combinedText(result);
    for (const QString& name : echoedNames) {
        if (!name.isEmpty()) text.remove(name);
    }
    return text.toLower();
}

ArchiveError extractFailed(const QString& combinedText, const QString& blankOutputSentence) {
    if (combinedText.trimmed().isEmpty()) return ArchiveError::extractFailed(blankOutputSentence);
    return ArchiveError::extractFailed(combinedText);
}

bool sevenZipCannotHandle(const ProcessResult& result, const QStringList& echoedNames) {
    const QString text = searchableText(result, echoedNames);
    return text.contains(QLatin1String("can't open as archive")) ||
           text.contains(QLatin1String("unsupported method"));
}

ArchiveError linkOutsideDestination(const QString& linkPath) {
    return ArchiveError::extractFailed(QStringLiteral(u"压缩包中的链接“") + linkPath +
                                       QStringLiteral(u"”指向解压位置之外，已停止解压。"));
}

std::optional<QString> refusedLink(const QString& combinedText) {
    static const QRegularExpression refusal(QStringLiteral("Dangerous link path was ignored : (.+) : "));
    const QRegularExpressionMatch match = refusal.match(combinedText);
    if (!match.hasMatch()) return std::nullopt;
    return match.captured(1);
}

ArchiveError mapExternalError(const ProcessResult& result, const QString& blankOutputSentence,
                              const QStringList& echoedNames) {
    const QString text = combinedText(result);
    if (const std::optional<QString> link = refusedLink(text)) return linkOutsideDestination(*link);
    const QString lowered = searchableText(result, echoedNames);
    if (lowered.contains(QLatin1String("password")) || lowered.contains(QLatin1String("wrong"))) {
        return ArchiveError::wrongPassword();
    }
    if (lowered.contains(QLatin1String("permission denied"))) return ArchiveError::permissionDenied();
    if (lowered.contains(QLatin1String("data error")) || lowered.contains(QLatin1String("crc failed")))
        return ArchiveError::corruptedArchive();
    return extractFailed(text, blankOutputSentence);
}

}  // namespace ExtractionSteps
