#include "core/engine/ExtractionSteps.h"

#include "core/base/FileNameHelper.h"
#include "core/base/FileSystemError.h"
#include "core/base/ToolText.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <cerrno>
#include <filesystem>

#include <sys/stat.h>

namespace ExtractionSteps {

void requireArchive(const QString& fileURL) {
    if (!QFileInfo::exists(fileURL)) throw ArchiveError::fileNotFound(fileURL);
}

void createFolder(const QString& folderURL) {
    std::error_code code;
    std::filesystem::create_directories(std::filesystem::path(QFile::encodeName(folderURL).toStdString()),
                                        code);
    if (code) throwCreateFailed(folderURL, code.value());
}

void throwCreateFailed(const QString& folderURL, int errorNumber) {
    switch (errorNumber) {
        case EACCES:
        case EPERM:
        case EROFS:
            throw ArchiveError::destinationNotWritable(folderURL);
        case ENOSPC:
        case EDQUOT:
            throw ArchiveError::diskFull();
        default:
            throw FileSystemError::fromErrorNumber(FileSystemError::Kind::createFailed, folderURL,
                                                   errorNumber);
    }
}

QString reserveFolder(const QString& baseName, const QString& parentURL, WorkJournal::Record* record) {
    createFolder(parentURL);
    for (;;) {
        const QString candidate = FileNameHelper::uniqueDirectoryURL(baseName, parentURL);
        if (record) record->add(candidate, WorkJournal::Kind::Placeholder);
        if (::mkdir(ToolText::encodedName(candidate).constData(), 0777) == 0) return candidate;
        if (errno != EEXIST)
            throw FileSystemError::fromErrorNumber(FileSystemError::Kind::createFailed, candidate, errno);
    }
}

QString combinedText(const ProcessResult& result) { return result.error + QLatin1Char('\n') + result.output; }

QString searchableText(const ProcessResult& result, const QStringList& echoedNames) {
    QString text = combinedText(result);
    // 7-Zip and unrar print their question for a password whether or not it was needed: it names no
    // password problem.
    text.remove(QLatin1String("Enter password (will not be echoed):"));
    for (const QString& name : echoedNames) {
        if (!name.isEmpty()) text.remove(name);
    }
    return text.toLower();
}

QString withErrorLine(const QString& sentence, const ProcessResult& result) {
    const std::optional<QString> line = errorLine(result);
    if (!line) return sentence;
    const QString opening = sentence.endsWith(u'。') ? sentence.chopped(1) : sentence;
    return opening + QStringLiteral(u"（") + *line + QStringLiteral(u"）。");
}

QString extractingToolFailed(ToolFallback::Program program) {
    switch (program) {
        case ToolFallback::Program::unrar:
            return QStringLiteral(u"unrar 解压工具返回错误。");
        case ToolFallback::Program::infoZip:
            return QStringLiteral(u"unzip 解压工具返回错误。");
        case ToolFallback::Program::sevenZip:
        case ToolFallback::Program::zipReader:  // lists only; never extracts
            break;
    }
    return QStringLiteral(u"7-Zip 解压工具返回错误。");
}

bool sevenZipCannotHandle(const ProcessResult& result, const QStringList& echoedNames) {
    const QString text = searchableText(result, echoedNames);
    // Extraction says "Can't open as archive", a listing "Cannot open the file as [zip] archive".
    return text.contains(QLatin1String("can't open as archive")) ||
           text.contains(QLatin1String("cannot open the file as")) ||
           text.contains(QLatin1String("unsupported method"));
}

ArchiveError linkOutsideDestination(const QString& linkPath) {
    return ArchiveError::extractFailed(QStringLiteral(u"压缩包中的链接“") + linkPath +
                                       QStringLiteral(u"”指向解压位置之外，已停止解压。"));
}

std::optional<ArchiveError> refusedLink(const QString& combinedText) {
    // "ERROR: Dangerous link path was ignored : up : ../../etc/hostname"; "ERROR: Dangerous link via
    // another link was ignored : vialink : dirlink/f.txt". A link leading out is named first.
    static const QRegularExpression outside(QStringLiteral("Dangerous link path was ignored : (.+) : "));
    static const QRegularExpression chain(
        QStringLiteral("Dangerous link via another link was ignored : (.+) : "));
    if (const QRegularExpressionMatch match = outside.match(combinedText); match.hasMatch())
        return linkOutsideDestination(match.captured(1));
    const QRegularExpressionMatch match = chain.match(combinedText);
    if (!match.hasMatch()) return std::nullopt;
    return ArchiveError::extractFailed(
        QStringLiteral(u"压缩包中的链接“") + match.captured(1) +
        QStringLiteral(u"”经由其他链接指向目标，无法确认它留在解压位置之内，已停止解压。"));
}

bool namesPasswordProblem(const QString& searchable) {
    // "break signaled": 7-Zip asked for a password and found none on its standard input.
    for (const char* words : {"wrong password", "incorrect password", "password is incorrect",
                              "cannot open encrypted archive", "break signaled"}) {
        if (searchable.contains(QLatin1String(words))) return true;
    }
    return false;
}

bool namesFullDisk(const QString& searchable) {
    // unrar says only "write error in the file"; unzip "write error (disk full?)".
    for (const char* words :
         {"no space left on device", "errno=28", "disk full", "write error in the file"}) {
        if (searchable.contains(QLatin1String(words))) return true;
    }
    return false;
}

std::optional<QString> missingVolume(const QString& combinedText) {
    // 7-Zip: "Missing volume : a.z01"; unrar: "Cannot find volume /folder/a.part2.rar".
    static const QRegularExpression missing(QStringLiteral("(?:Missing volume : |Cannot find volume )(.+)"));
    const QRegularExpressionMatch match = missing.match(combinedText);
    if (!match.hasMatch()) return std::nullopt;
    return QFileInfo(match.captured(1).trimmed()).fileName();
}

std::optional<ArchiveError> namedFailure(const ProcessResult& result, const QStringList& echoedNames) {
    const QString text = combinedText(result);
    if (std::optional<ArchiveError> link = refusedLink(text)) return link;
    if (const std::optional<QString> volume = missingVolume(text))
        return ArchiveError::missingVolume(*volume);
    const QString lowered = searchableText(result, echoedNames);
    // A full disk or a read-only folder fails an encrypted archive too: they come before the password.
    if (namesFullDisk(lowered)) return ArchiveError::diskFull();
    if (lowered.contains(QLatin1String("read-only file system")))
        return ArchiveError::destinationNotWritable();
    if (namesPasswordProblem(lowered)) return ArchiveError::wrongPassword();
    if (lowered.contains(QLatin1String("permission denied")) ||
        lowered.contains(QLatin1String("operation not permitted")))
        return ArchiveError::permissionDenied();
    for (const char* words :
         {"data error", "crc failed", "checksum error", "headers error", "unexpected end of archive",
          "is not rar archive", "cannot find zipfile", "not a zipfile", "end-of-central-directory"}) {
        if (lowered.contains(QLatin1String(words))) return ArchiveError::corruptedArchive();
    }
    return std::nullopt;
}

ArchiveError mapExternalError(const ProcessResult& result, const QString& sentence,
                              const QStringList& echoedNames) {
    if (std::optional<ArchiveError> named = namedFailure(result, echoedNames)) return *named;
    return ArchiveError::extractFailed(withErrorLine(sentence, result));
}

std::optional<QString> errorLine(const ProcessResult& result) {
    // Counts and the tools' closing words, which name no reason.
    static const QRegularExpression summary(
        QStringLiteral("errors?: \\d+$|exiting with failure status|error is not recoverable"),
        QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression error(QStringLiteral("error|^\\S*tar: "),
                                          QRegularExpression::CaseInsensitiveOption);
    constexpr qsizetype kMaxLength = 200;
    const QStringList lines = (result.error + QLatin1Char('\n') + result.output).split(QLatin1Char('\n'));
    for (qsizetype index = 0; index < lines.size(); ++index) {
        QString line = lines[index].trimmed();
        if (!line.contains(error) || line.contains(summary)) continue;
        // 7-Zip names a file it could not open twice ("ERROR: a.7z", "a.7z") before it gives the reason.
        if (index + 1 < lines.size() && line == QLatin1String("ERROR: ") + lines[index + 1].trimmed())
            continue;
        // "System ERROR:" has its reason on the next line.
        for (qsizetype next = index + 1; line.endsWith(QLatin1Char(':')) && next < lines.size(); ++next) {
            if (!lines[next].trimmed().isEmpty()) line += QLatin1Char(' ') + lines[next].trimmed();
        }
        return line.left(kMaxLength);
    }
    // Only errors go to standard error: its first line, when none says "error".
    for (const QString& line : result.error.split(QLatin1Char('\n'))) {
        if (!line.trimmed().isEmpty() && !line.contains(summary)) return line.trimmed().left(kMaxLength);
    }
    return std::nullopt;
}

}  // namespace ExtractionSteps
