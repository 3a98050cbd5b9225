#include "core/engine/ExtractionSteps.h"

#include "core/base/FileNameHelper.h"
#include "core/base/FileSystemError.h"
#include "core/base/ToolText.h"
#include "core/engine/ArchiveVolumes.h"
#include "platform/SystemErrorText.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>

#include <cerrno>
#include <filesystem>

#include <sys/stat.h>

namespace ExtractionSteps {

namespace {

// A long entry path keeps its start and its end.
QString elided(const QString& path) {
    constexpr qsizetype kMaxLength = 80;
    constexpr qsizetype kHead = kMaxLength / 2;
    if (path.size() <= kMaxLength) return path;
    return path.left(kHead) + u'…' + path.right(kMaxLength - kHead - 1);
}

// A path the tool printed as the user knows it: inside one of velmora's work folders, the path below
// it (an entry's path in the archive, an archive's name), long ones shortened.
QString shownPath(const QString& printed) {
    static const QRegularExpression workFolder(QStringLiteral(
        "^(?:.*?/)?(?:\\.velmora(?:Extraction|Compression)-|velmoraCompoundTar-|velmora(?:Compression|"
        "Previews)/)[^/]*(?:/|$)"));
    QString path = printed.trimmed();
    path.remove(workFolder);
    if (path.startsWith(QLatin1String("./"))) path.remove(0, 2);
    return elided(path);
}

// 7-Zip's report of a failed system call, one line: "ERROR: Cannot open output file : errno=20 : Not a
// directory : <path>", "System ERROR: errno=1 : Operation not permitted"; a hard link names its target
// after its own path. The system's wording of the number holds no colon.
struct SystemFailure {
    QString action;  // "Cannot open output file"; empty when the line names none
    int errorNumber = 0;
    QStringList paths;  // as the user knows them (shownPath)
};

std::optional<SystemFailure> systemFailure(const QString& line) {
    static const QRegularExpression failure(
        QStringLiteral("^(?:.*?(?:ERROR|WARNING): )?(?:(.+?) : )?errno=(\\d+) : [^:]*?(?: : (.+))?$"));
    const QRegularExpressionMatch match = failure.match(line.trimmed());
    if (!match.hasMatch()) return std::nullopt;
    SystemFailure parsed{match.captured(1), match.captured(2).toInt(), {}};
    if (match.hasCaptured(3)) {
        for (const QString& path : match.captured(3).split(QStringLiteral(" : ")))
            parsed.paths << shownPath(path);
    }
    return parsed;
}

// A mode the file system would not take ("ERROR: Cannot set file attribute : errno=38 : Function not
// implemented : <path>"): FAT holds no Unix modes; FUSE mounts of it say the call is not implemented or
// not supported, the kernel's FAT driver refuses a mode it cannot store. The item itself is complete.
bool isUnsetMode(const QString& line) {
    const std::optional<SystemFailure> failure = systemFailure(line);
    return failure && failure->action == QLatin1String("Cannot set file attribute") &&
           (failure->errorNumber == ENOSYS || failure->errorNumber == EOPNOTSUPP ||
            failure->errorNumber == EPERM);
}

// The words for what 7-Zip tried; nothing for what it rarely reports.
QString actionText(const QString& action) {
    static const QHash<QString, QString> words{
        {QStringLiteral("Cannot open output file"), QStringLiteral(u"无法写入")},
        {QStringLiteral("Cannot create folder"), QStringLiteral(u"无法创建文件夹")},
        {QStringLiteral("Cannot create output directory"), QStringLiteral(u"无法创建文件夹")},
        {QStringLiteral("Cannot create symbolic link"), QStringLiteral(u"无法创建链接")},
        {QStringLiteral("Cannot create hard link"), QStringLiteral(u"无法创建硬链接")},
        {QStringLiteral("Cannot open input file"), QStringLiteral(u"无法读取")},
        {QStringLiteral("Cannot set file attribute"), QStringLiteral(u"无法设置文件属性")},
    };
    return words.value(action);
}

// "无法写入“a/b.txt”：文件名太长": what failed on which entry, and why, in Chinese.
QString systemFailureText(const SystemFailure& failure) {
    QString subject = actionText(failure.action);
    if (!failure.paths.isEmpty() && !failure.paths.first().isEmpty())
        subject += QStringLiteral(u"“") + failure.paths.first() + QStringLiteral(u"”");
    const QString reason = SystemErrorText::reason(failure.errorNumber);
    return subject.isEmpty() ? reason : subject + QStringLiteral(u"：") + reason;
}

// Any other line with its paths in the destination, not in the hidden work folder.
QString withoutWorkFolders(QString line) {
    static const QRegularExpression workFolder(
        QStringLiteral("/\\.velmora(?:Extraction|Compression)-[0-9A-Za-z-]+(?=/|$|\\s|\\))"));
    return line.remove(workFolder);
}

// The tool's error line as the user reads it: 7-Zip's failed system calls in Chinese.
QString shownLine(const QString& line) {
    if (const std::optional<SystemFailure> failure = systemFailure(line)) return systemFailureText(*failure);
    return withoutWorkFolders(line);
}

// Whether the words stand in the text as whole words: an entry called "a" or "pass" is in "password",
// not a word of it.
bool says(const QString& text, QLatin1String words) {
    const auto isWordCharacter = [&text](qsizetype index) {
        return index >= 0 && index < text.size() && (text[index].isLetterOrNumber() || text[index] == u'_');
    };
    for (qsizetype at = text.indexOf(words); at >= 0; at = text.indexOf(words, at + 1)) {
        if (!isWordCharacter(at - 1) && !isWordCharacter(at + words.size())) return true;
    }
    return false;
}

// The line without the name where the tools print it: as the whole line ("ERROR: a.7z" is followed by
// "a.7z"), or as its last field, after " : ", ": " or " = " ("ERROR: Wrong password : a", "Path = a",
// "Testing archive: /x/a.7z"). A path holds a "/", which none of the tools' words do, so a path goes
// wherever it stands ("warning [/x/a.zip]:", "inflating: /out/a.txt"). Nowhere else: an entry named "a"
// leaves "Wrong password" whole, one named "Wrong password" leaves the words before its field.
QString withoutEchoedName(const QString& line, const QString& name) {
    if (name.contains(u'/')) return QString(line).remove(name);
    if (line.trimmed() == name) return {};
    if (!line.endsWith(name)) return line;
    const QStringView before = QStringView(line).chopped(name.size());
    for (const QLatin1String separator : {QLatin1String(" : "), QLatin1String(": "), QLatin1String(" = ")}) {
        if (before.endsWith(separator)) return before.toString();
    }
    return line;
}

// 7-Zip could not open the file as an archive: an extraction says "Can't open as archive", a listing
// and the line after "ERROR: <archive>" "Cannot open the file as [zip] archive".
bool saysCannotOpen(const QString& searchable) {
    return says(searchable, QLatin1String("can't open as archive")) ||
           says(searchable, QLatin1String("cannot open the file as"));
}

ArchiveError unwrittenLink(const QString& linkPath, const QString& reason) {
    return ArchiveError::extractFailed(QStringLiteral(u"压缩包中的硬链接“") + linkPath +
                                       QStringLiteral(u"”") + reason + QStringLiteral(u"，已停止解压。"));
}

}  // namespace

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
    QStringList lines = text.split(QLatin1Char('\n'));
    for (QString& line : lines) {
        for (const QString& name : echoedNames) {
            if (!name.isEmpty()) line = withoutEchoedName(line, name);
        }
    }
    return lines.join(QLatin1Char('\n')).toLower();
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

bool onlyModesUnset(const ProcessResult& result) {
    // 7-Zip reports every error on standard error and ends such a run with 2.
    if (result.status != 2) return false;
    bool anyUnset = false;
    for (const QString& line : result.error.split(QLatin1Char('\n'))) {
        if (line.trimmed().isEmpty()) continue;
        if (!isUnsetMode(line)) return false;
        anyUnset = true;
    }
    return anyUnset;
}

bool onlyWarnings(const ProcessResult& result, const QStringList& echoedNames) {
    if (result.status != 1) return false;
    // unzip names every entry it did not write on a line of its own.
    for (const QString& line : combinedText(result).split(QLatin1Char('\n'))) {
        if (line.trimmed().startsWith(QLatin1String("skipping:"))) return false;
    }
    return !namedFailure(result, echoedNames);
}

void emptyFolder(const QString& folderURL) {
    namespace fs = std::filesystem;
    std::error_code code;
    for (const fs::directory_entry& item :
         fs::directory_iterator(ToolText::encodedName(folderURL).toStdString(), code)) {
        fs::remove_all(item.path(), code);  // never follows a link
        if (code) break;
    }
    if (code)
        throw FileSystemError::fromErrorNumber(FileSystemError::Kind::removeFailed, folderURL, code.value());
}

bool sevenZipCannotHandle(const ProcessResult& result, const QStringList& echoedNames) {
    const QString text = searchableText(result, echoedNames);
    return saysCannotOpen(text) || says(text, QLatin1String("unsupported method"));
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

std::optional<ArchiveError> unwritableEntry(const QString& combinedText) {
    // 7-Zip makes a hard link last, from a placeholder file that a later entry of its name overwrote.
    static const QRegularExpression overwritten(QStringLiteral("Temporary link file is not empty : (.+)"));
    if (const QRegularExpressionMatch match = overwritten.match(combinedText); match.hasMatch())
        return unwrittenLink(shownPath(match.captured(1)), QStringLiteral(u"与同名条目冲突，无法创建"));
    for (const QString& line : combinedText.split(QLatin1Char('\n'))) {
        const std::optional<SystemFailure> failure = systemFailure(line);
        if (!failure || failure->paths.isEmpty()) continue;
        const QString& path = failure->paths.first();
        if (failure->action == QLatin1String("Cannot create hard link") && failure->errorNumber == ENOENT &&
            failure->paths.size() == 2) {
            return unwrittenLink(
                path, QStringLiteral(u"指向的“") + failure->paths.last() + QStringLiteral(u"”不存在"));
        }
        // Something on the entry's way is not a folder: a link (7-Zip writes through none) or a file.
        if (failure->errorNumber == ENOTDIR && (failure->action == QLatin1String("Cannot open output file") ||
                                                failure->action == QLatin1String("Cannot create folder"))) {
            return ArchiveError::extractFailed(
                QStringLiteral(u"压缩包中的“") + path +
                QStringLiteral(u"”位于链接或文件之下，无法经由它写入，已停止解压。"));
        }
    }
    return std::nullopt;
}

bool namesPasswordProblem(const QString& searchable) {
    // "break signaled": 7-Zip asked for a password and found none on its standard input.
    for (const char* words : {"wrong password", "incorrect password", "password is incorrect",
                              "cannot open encrypted archive", "break signaled"}) {
        if (says(searchable, QLatin1String(words))) return true;
    }
    return false;
}

bool namesFullDisk(const QString& searchable) {
    // unrar says only "write error in the file"; unzip "write error (disk full?)".
    for (const char* words :
         {"no space left on device", "errno=28", "disk full", "write error in the file"}) {
        if (says(searchable, QLatin1String(words))) return true;
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
    if (says(lowered, QLatin1String("read-only file system"))) return ArchiveError::destinationNotWritable();
    if (namesPasswordProblem(lowered)) return ArchiveError::wrongPassword();
    // A set of numbered pieces that ends early lacks the piece after its last one.
    if (says(lowered, QLatin1String("unexpected end of archive"))) {
        if (const std::optional<QString> next = ArchiveVolumes::volumeAfterLast(echoedNames.value(0)))
            return ArchiveError::missingVolume(*next);
    }
    // 7-Zip follows "Is not archive" with the "errno=1" its open left behind: no permission problem.
    if (says(lowered, QLatin1String("is not archive")) || saysCannotOpen(lowered))
        return ArchiveError::corruptedArchive();
    if (says(lowered, QLatin1String("permission denied")) ||
        says(lowered, QLatin1String("operation not permitted")))
        return ArchiveError::permissionDenied();
    // unzip says "bad CRC 1a2b3c4d  (should be …)" and "invalid compressed data to inflate".
    for (const char* words :
         {"data error", "crc failed", "checksum error", "headers error", "unexpected end of archive",
          "is not rar archive", "cannot find zipfile", "not a zipfile", "end-of-central-directory", "bad crc",
          "invalid compressed data"}) {
        if (says(lowered, QLatin1String(words))) return ArchiveError::corruptedArchive();
    }
    return unwritableEntry(text);
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
        // A mode the file system would not take is not what failed.
        if (!line.contains(error) || line.contains(summary) || isUnsetMode(line)) continue;
        // 7-Zip names a file it could not open twice ("ERROR: a.7z", "a.7z") before it gives the reason.
        if (index + 1 < lines.size() && line == QLatin1String("ERROR: ") + lines[index + 1].trimmed())
            continue;
        // "System ERROR:" has its reason on the next line.
        for (qsizetype next = index + 1; line.endsWith(QLatin1Char(':')) && next < lines.size(); ++next) {
            if (!lines[next].trimmed().isEmpty()) line += QLatin1Char(' ') + lines[next].trimmed();
        }
        return shownLine(line).left(kMaxLength);
    }
    // Only errors go to standard error: its first line, when none says "error".
    for (const QString& line : result.error.split(QLatin1Char('\n'))) {
        if (!line.trimmed().isEmpty() && !line.contains(summary) && !isUnsetMode(line))
            return shownLine(line.trimmed()).left(kMaxLength);
    }
    return std::nullopt;
}

}  // namespace ExtractionSteps
