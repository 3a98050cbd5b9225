#include "core/engine/ExtractionSteps.h"

#include "core/base/FileNameHelper.h"
#include "core/base/FileSystemError.h"
#include "core/base/InputItem.h"
#include "platform/ToolText.h"
#include "core/engine/ArchiveLinks.h"
#include "core/engine/ArchiveVolumes.h"
#include "platform/SystemErrorText.h"
#include "platform/WorkTree.h"

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

// A failed system call a tool reported: what it tried, the error number, the paths. 7-Zip says it on one
// line, "ERROR: Cannot open output file : errno=20 : Not a directory : <path>", "System ERROR: errno=1 :
// Operation not permitted" (a hard link names its target after its own path; the system's wording of the
// number holds no colon); the other forms are read into the same words (failureAt).
struct SystemFailure {
    QString action;       // 7-Zip's words for the step ("Cannot open output file"); empty when none is named
    int errorNumber = 0;  // 0 when the tool gave no reason
    QStringList paths;    // as the user knows them (shownPath)
};

constexpr auto kOpenInput = QLatin1String("Cannot open input file");
constexpr auto kOpenOutput = QLatin1String("Cannot open output file");

std::optional<SystemFailure> systemFailure(const QString& line) {
    static const QRegularExpression failure(
        QStringLiteral("^(.*?(?:ERROR|WARNING): )?(?:(.+?) : )?errno=(\\d+) : [^:]*?(?: : (.+))?$"));
    // A listing names the archive it could not open: "ERROR: a.7z : opening : errno=13 : Permission denied".
    static const QRegularExpression opening(QStringLiteral("^(.+) : opening$"));
    const QRegularExpressionMatch match = failure.match(line.trimmed());
    if (!match.hasMatch()) return std::nullopt;
    SystemFailure parsed{match.captured(2), match.captured(3).toInt(), {}};
    if (match.hasCaptured(4)) {
        for (const QString& path : match.captured(4).split(QStringLiteral(" : ")))
            parsed.paths << shownPath(path);
    }
    if (const QRegularExpressionMatch listed = opening.match(parsed.action); listed.hasMatch()) {
        parsed = {kOpenInput, parsed.errorNumber, {shownPath(listed.captured(1))}};
    } else if (!match.hasCaptured(1) && parsed.paths.isEmpty() && !parsed.action.isEmpty()) {
        // Compression's list of inputs it could not read names the input first: "a/secret.txt : errno=13 :
        // Permission denied".
        QString input = parsed.action;
        if (input.endsWith(QLatin1Char('/'))) input.chop(1);  // a folder is printed with its slash
        parsed = {kOpenInput, parsed.errorNumber, {shownPath(input)}};
    }
    return parsed;
}

// A failure of GNU tar reading a TAR, whose names it prints in C quoting (ArchiveTools::Tar): "tar:
// "d/a:b.txt": Cannot open: Invalid argument". An extraction writes its entries by relative names only
// (tar takes a leading "/" off), so an absolute name it could not open is the archive it reads.
std::optional<SystemFailure> tarReadingFailure(const QString& line) {
    static const QRegularExpression failure(QStringLiteral(
        "^\\S*tar: (\"(?:[^\"\\\\]++|\\\\.)*+\"): Cannot (open|mkdir|mknod|create symlink to|hard link "
        "to)\\b.*: ([^:]+)$"));
    const QRegularExpressionMatch match = failure.match(line);
    if (!match.hasMatch()) return std::nullopt;
    const std::optional<int> reason = SystemErrorText::errorNumberOf(match.captured(3));
    const std::optional<QByteArray> name = ToolText::cUnquoted(match.captured(1).toUtf8());
    if (!reason || !name) return std::nullopt;
    const QString path = ToolText::decode(*name);
    static const QHash<QString, QString> actions{
        {QStringLiteral("open"), kOpenOutput},
        {QStringLiteral("mkdir"), QStringLiteral("Cannot create folder")},
        // Only root may make a device node; 7-Zip then writes an empty file in its place.
        {QStringLiteral("mknod"), QStringLiteral("Cannot create device")},
        {QStringLiteral("create symlink to"), QStringLiteral("Cannot create symbolic link")},
        {QStringLiteral("hard link to"), QStringLiteral("Cannot create hard link")},
    };
    const QString action = path.startsWith(u'/') ? QString(kOpenInput) : actions.value(match.captured(2));
    return SystemFailure{action, *reason, {shownPath(path)}};
}

// An entry GNU tar will not make up, which it reads as "." with a warning and then fails to write: a hard
// link without a target (named on the next line, "tar: \"a\": Cannot hard link to ‘.’: …") or an entry
// without a name. Damage of the archive, which no other program should paper over.
std::optional<ArchiveError> tarEmptyEntry(const QString& combinedText) {
    static const QRegularExpression substituted(
        QStringLiteral("^\\S*tar: Substituting `\\.' for empty (hard link target|member name)$"),
        QRegularExpression::MultilineOption);
    const QRegularExpressionMatch match = substituted.match(combinedText);
    if (!match.hasMatch()) return std::nullopt;
    if (match.captured(1) == QLatin1String("member name"))
        return ArchiveError::corruptedEntry(QStringLiteral(u"压缩包已损坏：其中有一个没有名称的条目。"));
    static const QRegularExpression link(
        QStringLiteral("\\n\\S*tar: (\"(?:[^\"\\\\]++|\\\\.)*+\"): Cannot hard link to"));
    const QRegularExpressionMatch named = link.match(combinedText, match.capturedEnd());
    const std::optional<QByteArray> name =
        named.hasMatch() ? ToolText::cUnquoted(named.captured(1).toUtf8()) : std::nullopt;
    if (!name)
        return ArchiveError::corruptedEntry(QStringLiteral(u"压缩包已损坏：其中有一个没有目标的硬链接。"));
    return ArchiveError::corruptedEntry(QStringLiteral(u"压缩包已损坏：硬链接“") +
                                        shownPath(ToolText::decode(*name)) + QStringLiteral(u"”没有目标。"));
}

// The failed system call reported from the line at index on, over as many lines as it takes (consumed):
// 7-Zip's one line; 7-Zip's archive it could not open ("ERROR: a.7z", "Cannot open the file as archive",
// the error number after a blank line); unrar's "Cannot open a.rar" and "Cannot create <path>", and
// unzip's "error:  cannot open zipfile [ a.zip ]", each with the system's words on the next line; tar's
// and zip's inputs they could not read.
std::optional<SystemFailure> failureAt(const QStringList& lines, qsizetype index, qsizetype& consumed) {
    static const QRegularExpression sevenZipOpen(QStringLiteral("^ERROR: (.+)$"));
    static const QRegularExpression unrar(QStringLiteral("^Cannot (open|create) (.+)$"));
    static const QRegularExpression unzip(QStringLiteral("^error:\\s+cannot open zipfile \\[ (.+) \\]$"));
    static const QRegularExpression tar(QStringLiteral("^\\S*tar: (.+): Cannot (?:open|stat|read): (.+)$"));
    static const QRegularExpression zip(QStringLiteral("^zip warning: could not open for reading: (.+)$"));
    static const QRegularExpression zipWarning(QStringLiteral("^zip warning: (.+)$"));
    const auto line = [&](qsizetype offset) {
        return index + offset < lines.size() ? lines[index + offset].trimmed() : QString();
    };
    const auto reasonAt = [&](qsizetype offset) { return SystemErrorText::errorNumberOf(line(offset)); };
    consumed = 1;
    if (std::optional<SystemFailure> failure = systemFailure(line(0))) return failure;
    // 7-Zip refuses to change an archive the user may not write: "The file is read-only", then its path.
    if (line(0) == QLatin1String("The file is read-only") && !line(1).isEmpty()) {
        consumed = 2;
        return SystemFailure{kOpenOutput, EACCES, {shownPath(line(1))}};
    }
    if (const QRegularExpressionMatch match = sevenZipOpen.match(line(0));
        match.hasMatch() && line(1) == QLatin1String("Cannot open the file as archive")) {
        const qsizetype numbered = line(2).isEmpty() ? 3 : 2;
        const std::optional<SystemFailure> failure = systemFailure(line(numbered));
        if (!failure || !failure->action.isEmpty()) return std::nullopt;
        consumed = numbered + 1;
        return SystemFailure{kOpenInput, failure->errorNumber, {shownPath(match.captured(1))}};
    }
    if (const QRegularExpressionMatch match = unrar.match(line(0)); match.hasMatch()) {
        const bool creating = match.captured(1) == QLatin1String("create");
        const std::optional<int> reason = reasonAt(1);
        // "Cannot open" begins other tools' sentences too; only with the system's words is it unrar's.
        if (!reason && !creating) return std::nullopt;
        consumed = reason ? 2 : 1;
        return SystemFailure{creating ? QString(kOpenOutput) : QString(kOpenInput),
                             reason.value_or(0),
                             {shownPath(match.captured(2))}};
    }
    if (const QRegularExpressionMatch match = unzip.match(line(0)); match.hasMatch()) {
        const std::optional<int> reason = reasonAt(1);
        consumed = reason ? 2 : 1;
        return SystemFailure{kOpenInput, reason.value_or(0), {shownPath(match.captured(1))}};
    }
    if (std::optional<SystemFailure> failure = tarReadingFailure(line(0))) return failure;
    // Creating, tar names its inputs as they are: "tar: a/secret.txt: Cannot open: Permission denied".
    if (const QRegularExpressionMatch match = tar.match(line(0)); match.hasMatch()) {
        if (const std::optional<int> reason = SystemErrorText::errorNumberOf(match.captured(2)))
            return SystemFailure{kOpenInput, *reason, {shownPath(match.captured(1))}};
    }
    // zip gives the system's words as a warning of their own, on standard error: "zip warning: Permission
    // denied".
    if (const QRegularExpressionMatch match = zip.match(line(0)); match.hasMatch()) {
        SystemFailure failure{kOpenInput, 0, {shownPath(match.captured(1))}};
        for (const QString& other : lines) {
            const QRegularExpressionMatch warning = zipWarning.match(other.trimmed());
            const std::optional<int> reason =
                warning.hasMatch() ? SystemErrorText::errorNumberOf(warning.captured(1)) : std::nullopt;
            if (reason) failure.errorNumber = *reason;
        }
        return failure;
    }
    return std::nullopt;
}

// A mode the file system would not take ("ERROR: Cannot set file attribute : errno=38 : Function not
// implemented : <path>"): FAT holds no Unix modes; FUSE mounts of it say the call is not implemented or
// not supported, the kernel's FAT driver refuses a mode it cannot store. The item itself is complete.
bool isUnsetMode(const SystemFailure& failure) {
    return failure.action == QLatin1String("Cannot set file attribute") &&
           (failure.errorNumber == ENOSYS || failure.errorNumber == EOPNOTSUPP ||
            failure.errorNumber == EPERM);
}

bool isUnsetMode(const QString& line) {
    const std::optional<SystemFailure> failure = systemFailure(line);
    return failure && isUnsetMode(*failure);
}

// What 7-Zip tried, in words, and whether it read or wrote; a step that makes a name is marked, since a
// file system refuses a name it cannot hold (a colon or 300 bytes on FAT) as EPERM, EINVAL or EILSEQ.
struct Action {
    QString words;  // empty for what it rarely reports
    SystemErrorText::Access access = SystemErrorText::Access::write;
    bool makesName = false;
};

Action actionOf(const QString& action) {
    using SystemErrorText::Access;
    static const QHash<QString, Action> actions{
        {kOpenOutput, {QStringLiteral(u"无法写入"), Access::write, true}},
        {QStringLiteral("Cannot create folder"), {QStringLiteral(u"无法创建文件夹"), Access::write, true}},
        {QStringLiteral("Cannot create output directory"),
         {QStringLiteral(u"无法创建文件夹"), Access::write, true}},
        {QStringLiteral("Cannot create symbolic link"), {QStringLiteral(u"无法创建链接")}},
        {QStringLiteral("Cannot create hard link"), {QStringLiteral(u"无法创建硬链接")}},
        {QStringLiteral("Cannot create device"), {QStringLiteral(u"无法创建设备文件")}},
        {kOpenInput, {QStringLiteral(u"无法读取"), Access::read}},
        {QStringLiteral("Cannot set file attribute"), {QStringLiteral(u"无法设置文件属性")}},
    };
    return actions.value(action);
}

bool isUnholdableName(const SystemFailure& failure) {
    const int number = failure.errorNumber;
    return actionOf(failure.action).makesName && (number == EPERM || number == EINVAL || number == EILSEQ);
}

// A refusal of an item the user may not read or write, named: EACCES, or EPERM for a read (a write the
// file system does not permit, a link on FAT, a name it cannot hold, a mode, is no matter of permission).
std::optional<ArchiveError> refusal(const SystemFailure& failure) {
    const SystemErrorText::Access access = actionOf(failure.action).access;
    const bool refused = failure.errorNumber == EACCES ||
                         (failure.errorNumber == EPERM && access == SystemErrorText::Access::read);
    if (!refused || failure.paths.isEmpty()) return std::nullopt;
    return ArchiveError::permissionDenied(failure.paths.first(), access);
}

// "无法写入“a/b.txt”：文件名太长": what failed on which entry, and why, in Chinese.
QString systemFailureText(const SystemFailure& failure) {
    const Action action = actionOf(failure.action);
    QString subject = action.words;
    if (!failure.paths.isEmpty() && !failure.paths.first().isEmpty())
        subject += QStringLiteral(u"“") + failure.paths.first() + QStringLiteral(u"”");
    QString reason;
    if (isUnholdableName(failure))
        reason = QStringLiteral(u"目标位置不能使用这个名称");
    else if (failure.errorNumber != 0)
        reason = SystemErrorText::reason(failure.errorNumber, action.access);
    if (reason.isEmpty()) return subject;
    return subject.isEmpty() ? reason : subject + QStringLiteral(u"：") + reason;
}

// unzip's lines that name an entry and what kept it from being written: a name it could not turn into a
// file name ("mapname:  conversion of <name> failed"), a method it lacks ("skipping: <name>  `tokenize'
// method not supported"); 7-Zip's and unrar's missing method ("ERROR: Unsupported Method : <name>",
// "Unknown method in <name>").
std::optional<QString> entryFailureText(const QString& line) {
    static const QRegularExpression mapname(QStringLiteral("^mapname:\\s+conversion of (.*) failed$"));
    static const QRegularExpression method(QStringLiteral(
        "^(?:skipping: (.+?)\\s+`[^']*' method not supported|(?:ERROR: )?Unsupported Method : (.+)|Unknown "
        "method in (.+))$"));
    if (const QRegularExpressionMatch match = mapname.match(line); match.hasMatch()) {
        const QString name = match.captured(1).trimmed();
        if (name.isEmpty()) return QStringLiteral(u"压缩包中有名称为空的条目，无法写入");
        return QStringLiteral(u"无法写入“") + shownPath(name) + QStringLiteral(u"”：这个名称不能用作文件名");
    }
    if (const QRegularExpressionMatch match = method.match(line); match.hasMatch()) {
        const QString name = match.captured(1) + match.captured(2) + match.captured(3);  // one of them
        return QStringLiteral(u"无法解压“") + shownPath(name) + QStringLiteral(u"”：不支持它的压缩方法");
    }
    return std::nullopt;
}

// Each failure the tools' lines report, recognised and worded, in the order printed: a failed system
// call (not a mode the file system would not take) or an entry that could not be written.
struct LineReport {
    std::optional<SystemFailure> failure;
    QString text;
};

QList<LineReport> lineReports(const QString& text) {
    QList<LineReport> reports;
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (qsizetype index = 0, consumed = 1; index < lines.size(); index += consumed) {
        if (const std::optional<SystemFailure> failure = failureAt(lines, index, consumed)) {
            if (!isUnsetMode(*failure)) reports.append({failure, systemFailureText(*failure)});
        } else if (const std::optional<QString> entry = entryFailureText(lines[index].trimmed())) {
            reports.append({std::nullopt, *entry});
        }
    }
    return reports;
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

// Whether the tool's words refuse a permission outside the failed system calls it reported with an item
// and a reason: those are judged as what they are (a mode or a name the file system would not take, an
// item's refusal).
bool mentionsPermission(const QString& text, const QStringList& echoedNames) {
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (qsizetype index = 0, consumed = 1; index < lines.size(); index += consumed) {
        const std::optional<SystemFailure> failure = failureAt(lines, index, consumed);
        if (failure && failure->errorNumber != 0 && !failure->paths.isEmpty()) continue;
        QString line;
        for (qsizetype part = index; part < index + consumed; ++part) line += lines[part] + QLatin1Char(' ');
        for (const QString& name : echoedNames) {
            if (!name.isEmpty()) line = withoutEchoedName(line, name);
        }
        line = line.toLower();
        if (says(line, QLatin1String("permission denied")) ||
            says(line, QLatin1String("operation not permitted")))
            return true;
    }
    return false;
}

// Whether one of the lines is one of the tool's whole lines (compared without the white space around it).
bool hasLine(const QString& text, const QRegularExpression& line) {
    for (const QStringView each : QStringView(text).split(u'\n')) {
        if (line.match(each.trimmed()).hasMatch()) return true;
    }
    return false;
}

// unrar's damaged headers: "Corrupt header is found", "Main archive header is corrupt", "<entry> - the file
// header is corrupt" (the entry's name first, its words last, as unrar prints them).
bool unrarSaysCorruptHeader(const QString& text) {
    static const QRegularExpression corrupt(QStringLiteral(
        "^(?:Corrupt header is found|Main archive header is corrupt|(?:.+ - )?the file header is corrupt)$"));
    return hasLine(text, corrupt);
}

// unrar's method it does not know ("Unknown method in <entry>", "You may need a newer version of RAR."):
// the entry is named as 7-Zip's and unzip's are (entryFailureText), never as damage.
bool unrarLacksMethod(const QString& text) {
    static const QRegularExpression unknown(QStringLiteral("^Unknown method in .+$"));
    return hasLine(text, unknown);
}

// unzip's words of a central directory that is not where or what its end record says: "start of central
// directory not found;" and "zipfile corrupt.", "expected central file header signature not found (file
// #2).", "missing 7 bytes in zipfile", "invalid zip file with overlapped components (possible zip bomb)".
bool unzipSaysCorruptDirectory(const QString& text) {
    static const QRegularExpression corrupt(QStringLiteral(
        "^(?:error(?: \\[.+\\])?:\\s+(?:start of central directory not found;|expected central file header "
        "signature not found \\(file #\\d+\\)\\.|missing \\d+ bytes in zipfile|invalid zip file with "
        "overlapped components \\(possible zip bomb\\))|zipfile corrupt\\.)$"));
    return hasLine(text, corrupt);
}

// kind is "链接" or "硬链接".
ArchiveError unwrittenLink(const QString& kind, const QString& linkPath, const QString& reason) {
    return ArchiveError::extractFailed(QStringLiteral(u"压缩包中的") + kind + QStringLiteral(u"“") +
                                       linkPath + QStringLiteral(u"”") + reason +
                                       QStringLiteral(u"，已停止解压。"));
}

}  // namespace

void requireItem(const QString& fileURL) {
    switch (InputItem::stateOf(fileURL)) {
        case InputItem::State::usable:
            return;
        case InputItem::State::missing:
            throw ArchiveError::fileNotFound(fileURL);
        case InputItem::State::notFileOrFolder:
            throw ArchiveError::notFileOrFolder(fileURL);
    }
}

void createFolder(const QString& folderURL) {
    std::error_code code;
    std::filesystem::create_directories(std::filesystem::path(ToolText::encodedName(folderURL).toStdString()),
                                        code);
    if (code) throwWriteIntoFailed(folderURL, code.value());
}

void throwCreateFailed(const QString& folderURL, int errorNumber) {
    switch (errorNumber) {
        case EACCES:
        case EPERM:
            throw ArchiveError::destinationNotWritable(folderURL);
        case EROFS:
            throw *ArchiveError::unwritable(folderURL, errorNumber);
        case ENOSPC:
        case EDQUOT:
            throw ArchiveError::diskFull();  // the journal's disk, or the folder's
        default:
            throw FileSystemError::fromErrorNumber(FileSystemError::Kind::createFailed, folderURL,
                                                   errorNumber);
    }
}

void throwWriteIntoFailed(const QString& folderURL, int errorNumber) {
    if (errorNumber == ENOSPC || errorNumber == EDQUOT)
        throw *ArchiveError::unwritable(folderURL, errorNumber);
    throwCreateFailed(folderURL, errorNumber);
}

QString reserveFolder(const QString& baseName, const QString& parentURL, WorkJournal::Record* record) {
    createFolder(parentURL);
    for (;;) {
        const QString candidate = FileNameHelper::uniqueDirectoryURL(baseName, parentURL);
        const QByteArray native = ToolText::encodedName(candidate);
        if (::mkdir(native.constData(), 0777) != 0) {
            if (errno == EEXIST) continue;
            throw FileSystemError::fromErrorNumber(FileSystemError::Kind::createFailed, candidate, errno);
        }
        if (const int error = record ? record->add(candidate, WorkJournal::Kind::Placeholder) : 0) {
            ::rmdir(native.constData());
            throwCreateFailed(parentURL, error);
        }
        return candidate;
    }
}

QString combinedText(const ProcessResult& result) { return result.error + QLatin1Char('\n') + result.output; }

QString searchableText(const ProcessResult& result, const QStringList& echoedNames) {
    QString text = combinedText(result);
    // 7-Zip and unrar print their question for a password whether or not it was needed: it names no
    // password problem.
    text.remove(QLatin1String("Enter password (will not be echoed):"));
    // GNU tar prints every name C-quoted ("tar: \"a\": Cannot open: …"), and none of its own words.
    static const QRegularExpression tarLine(QStringLiteral("^\\S*tar: "));
    static const QRegularExpression quotedName(QStringLiteral("\"(?:[^\"\\\\]|\\\\.)*\""));
    QStringList lines = text.split(QLatin1Char('\n'));
    for (QString& line : lines) {
        if (tarLine.match(line).hasMatch()) line.remove(quotedName);
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
        case ToolFallback::Program::tar:
            return QStringLiteral(u"GNU tar 解压工具返回错误。");
        case ToolFallback::Program::sevenZip:
        case ToolFallback::Program::zipReader:  // lists only; never extracts
            break;
    }
    return QStringLiteral(u"7-Zip 解压工具返回错误。");
}

QString compressingToolFailed(ToolFallback::Program program) {
    switch (program) {
        case ToolFallback::Program::infoZip:
            return QStringLiteral(u"系统 ZIP 工具返回错误。");
        case ToolFallback::Program::tar:
            return QStringLiteral(u"GNU tar 压缩工具返回错误。");
        case ToolFallback::Program::sevenZip:
        case ToolFallback::Program::zipReader:  // neither writes archives
        case ToolFallback::Program::unrar:
            break;
    }
    return QStringLiteral(u"7-Zip 压缩工具返回错误。");
}

bool sevenZipWarned(const ProcessResult& result) {
    static const QRegularExpression warned(QStringLiteral("^(?:WARNINGS:|Archives with Warnings: \\d+)$"),
                                           QRegularExpression::MultilineOption);
    return warned.match(result.output).hasMatch();
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

bool unzipFoundNoEntries(const ProcessResult& result) {
    static const QRegularExpression empty(QStringLiteral("^warning \\[.+\\]:\\s+zipfile is empty$"));
    return hasLine(combinedText(result), empty);
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
        // A failed run may leave read-only folders (WorkTree).
        if (const int error = WorkTree::remove(QByteArray::fromStdString(item.path().string())))
            code.assign(error, std::generic_category());
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
    // another link was ignored : vialink : dirlink/f.txt", each on a line of its own (an entry's name
    // elsewhere may hold the words). 7-Zip says the first of links that stay inside too ("d/up -> .."):
    // a link whose own target leads out is named first, then one 7-Zip says leads out, as leading out.
    static const QRegularExpression refused(
        QStringLiteral("^(?:ERROR: )?Dangerous link (path|via another link) was ignored : (.+) : (.*)$"),
        QRegularExpression::MultilineOption);
    std::optional<QString> outside;
    std::optional<QString> chain;
    for (QRegularExpressionMatchIterator it = refused.globalMatch(combinedText); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        const QString link = match.captured(2);
        if (ArchiveLinks::leadsOut(link, match.captured(3))) return linkOutsideDestination(link);
        std::optional<QString>& named = match.captured(1) == QLatin1String("path") ? outside : chain;
        if (!named) named = link;
    }
    if (outside) return linkOutsideDestination(*outside);
    if (!chain) return std::nullopt;
    return ArchiveError::extractFailed(
        QStringLiteral(u"压缩包中的链接“") + *chain +
        QStringLiteral(u"”经由其他链接指向目标，无法确认它留在解压位置之内，已停止解压。"));
}

std::optional<ArchiveError> unwritableEntry(const QString& combinedText) {
    // 7-Zip makes a link last, from a placeholder file that a later entry of its name overwrote; the
    // line after names which kind of link it could not make.
    static const QRegularExpression overwritten(QStringLiteral(
        "Temporary link file is not empty : (.+)(?:\\n.*Cannot create (hard|symbolic) link)?"));
    if (const QRegularExpressionMatch match = overwritten.match(combinedText); match.hasMatch()) {
        const QString kind =
            match.captured(2) == QLatin1String("hard") ? QStringLiteral(u"硬链接") : QStringLiteral(u"链接");
        return unwrittenLink(kind, shownPath(match.captured(1)), QStringLiteral(u"与同名条目冲突，无法创建"));
    }
    for (const QString& line : combinedText.split(QLatin1Char('\n'))) {
        const std::optional<SystemFailure> failure = systemFailure(line);
        if (!failure || failure->paths.isEmpty()) continue;
        const QString& path = failure->paths.first();
        if (failure->action == QLatin1String("Cannot create hard link") && failure->errorNumber == ENOENT &&
            failure->paths.size() == 2) {
            return unwrittenLink(
                QStringLiteral(u"硬链接"), path,
                QStringLiteral(u"指向的“") + failure->paths.last() + QStringLiteral(u"”不存在"));
        }
        // Something on the entry's way is not a folder: a link (7-Zip writes through none) or a file.
        if (failure->errorNumber == ENOTDIR &&
            (failure->action == kOpenOutput || failure->action == QLatin1String("Cannot create folder"))) {
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
    // 7-Zip: "Missing volume : a.z01" on a line of its own, or as a listing's "ERROR = Missing volume :
    // a.z01"; unrar: "Cannot find volume /folder/a.part2.rar". Never inside another line, where an entry's
    // name is echoed ("Incorrect password for Cannot find volume x.txt").
    static const QRegularExpression missing(
        QStringLiteral("^(?:(?:ERROR = )?Missing volume : |Cannot find volume )(.+)$"),
        QRegularExpression::MultilineOption);
    const QRegularExpressionMatch match = missing.match(combinedText);
    if (!match.hasMatch()) return std::nullopt;
    return QFileInfo(match.captured(1).trimmed()).fileName();
}

std::optional<ArchiveError> namedFailure(const ProcessResult& result, const QStringList& echoedNames) {
    const QString text = combinedText(result);
    if (std::optional<ArchiveError> empty = tarEmptyEntry(text)) return empty;
    if (std::optional<ArchiveError> link = refusedLink(text)) return link;
    if (const std::optional<QString> volume = missingVolume(text))
        return ArchiveError::missingVolume(*volume);
    const QString lowered = searchableText(result, echoedNames);
    // A full disk or a read-only folder fails an encrypted archive too: they come before the password.
    if (namesFullDisk(lowered)) return ArchiveError::diskFull();
    if (says(lowered, QLatin1String("read-only file system"))) return ArchiveError::readOnlyFileSystem();
    if (namesPasswordProblem(lowered)) return ArchiveError::wrongPassword();
    // A method the tool lacks explains whatever else it said of the entry: its one line names it.
    if (unrarLacksMethod(text)) return std::nullopt;
    // A set of numbered pieces that ends early lacks the piece after its last one.
    if (says(lowered, QLatin1String("unexpected end of archive"))) {
        if (const std::optional<QString> next = ArchiveVolumes::volumeAfterLast(echoedNames.value(0)))
            return ArchiveError::missingVolume(*next);
    }
    // An item the tool was refused is named with what it could not do; other words of a refusal only say so.
    // An archive the user may not read cannot be opened either ("Cannot open the file as archive", then
    // "errno=13"), but 7-Zip follows "Is not archive" with the "errno=1" its open left behind: that one is
    // no permission problem.
    const QList<LineReport> reports = lineReports(text);
    for (const LineReport& report : reports) {
        if (!report.failure || report.failure->errorNumber != EACCES) continue;
        if (std::optional<ArchiveError> refused = refusal(*report.failure)) return refused;
    }
    if (says(lowered, QLatin1String("is not archive")) || saysCannotOpen(lowered))
        return ArchiveError::corruptedArchive();
    for (const LineReport& report : reports) {
        if (!report.failure) continue;
        if (std::optional<ArchiveError> refused = refusal(*report.failure)) return refused;
    }
    if (mentionsPermission(text, echoedNames)) return ArchiveError::permissionDenied();
    if (unrarSaysCorruptHeader(text) || unzipFoundNoEntries(result) || unzipSaysCorruptDirectory(text))
        return ArchiveError::corruptedArchive();
    // unzip's "bad CRC 1a2b3c4d  (should be …)", "invalid compressed data to inflate", "<name>: bad extra
    // field length (local)" and "file #1: bad zipfile offset (local header sig)", 7-Zip's data after the
    // end of an entry's payload: damaged records.
    for (const char* words :
         {"data error", "crc failed", "checksum error", "headers error", "unexpected end of archive",
          "is not rar archive", "cannot find zipfile", "not a zipfile", "end-of-central-directory", "bad crc",
          "invalid compressed data", "bad extra field length", "bad zipfile offset",
          "there are some data after the end of the payload", "unexpected eof in archive",
          "does not look like a tar archive", "skipping to next header"}) {
        if (says(lowered, QLatin1String(words))) return ArchiveError::corruptedArchive();
    }
    if (std::optional<ArchiveError> entry = unwritableEntry(text)) return entry;
    // unrar found nothing to write, and no other line says why.
    static const QRegularExpression noFiles(QStringLiteral("^No files to extract$"));
    if (reports.isEmpty() && hasLine(text, noFiles)) return ArchiveError::noFiles();
    return std::nullopt;
}

ArchiveError mapExternalError(const ProcessResult& result, const QString& sentence,
                              const QStringList& echoedNames) {
    if (std::optional<ArchiveError> named = namedFailure(result, echoedNames)) return *named;
    return ArchiveError::extractFailed(withErrorLine(sentence, result));
}

std::optional<QString> errorLine(const ProcessResult& result) {
    const QList<LineReport> reports = lineReports(combinedText(result));
    if (reports.isEmpty()) return std::nullopt;
    return reports.first().text;
}

}  // namespace ExtractionSteps
