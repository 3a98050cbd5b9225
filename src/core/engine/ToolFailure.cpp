#include "core/engine/ToolFailure.h"

#include "core/engine/ArchiveLinks.h"
#include "core/engine/ArchiveVolumes.h"
#include "core/engine/InfoZipWords.h"
#include "core/engine/SevenZipWords.h"
#include "core/engine/TarWords.h"
#include "core/engine/ToolFailureLines.h"
#include "core/engine/ToolFailureText.h"
#include "core/engine/UnrarWords.h"
#include "platform/ToolText.h"

#include <QFileInfo>
#include <QRegularExpression>

#include <cerrno>
#include <cstddef>

namespace ToolFailure {

namespace {

using ToolFailureLines::combinedText;
using ToolFailureLines::shownPath;
using ToolFailureLines::SystemFailure;
using ToolFailureText::LineReport;

// Whether the run is the program's: only its own words are read in it. A result no driver made names no
// program, and none of the programs' words are read in it: only the system's.
bool ranBy(const ProcessResult& result, ToolProgram program) { return result.program == program; }

// 7-Zip's line of a failure, the echoed names already out, with the names it prints after its words
// taken off: "ERROR: Data Error : a.txt" reads "ERROR: Data Error", "ERROR:  : Can not open encrypted
// archive. Wrong password?" (the archive was first) its words, "ERROR: Cannot open output file : errno=28 :
// No space left on device : out/a.txt" keeps the system's error and words. An entry named "incorrect
// password.txt" is no reason.
QString sevenZipReason(const QString& line) {
    static const QRegularExpression failure(QStringLiteral("^(\\s*(?:System )?(?:ERROR|WARNING): )(.*)$"));
    const QRegularExpressionMatch match = failure.match(line);
    if (!match.hasMatch()) return line;
    const QStringList fields = match.captured(2).split(QStringLiteral(" : "));
    qsizetype at = 0;
    while (at < fields.size() && fields[at].trimmed().isEmpty()) ++at;
    QString reason = fields.value(at).trimmed();
    for (qsizetype field = at; field < fields.size(); ++field) {
        if (!fields[field].startsWith(QLatin1String("errno="))) continue;
        if (field > at) reason += QStringLiteral(" : ") + fields[field];
        reason += QStringLiteral(" : ") + fields.value(field + 1);
        break;
    }
    return match.captured(1) + reason;
}

// unzip's line for an entry with the entry's path taken off: "  inflating: out/a.txt   bad CRC …" reads
// "inflating:   bad CRC …"; the path ends where unzip pads it before its words.
QString unzipReason(const QString& line) {
    static const QRegularExpression entry(
        QStringLiteral("^(\\s*(?:inflating|extracting|creating|linking|skipping|testing|exploding):)\\s+\\S.*"
                       "?(\\s{2,}.*)?$"));
    const QRegularExpressionMatch match = entry.match(line);
    if (!match.hasMatch()) return line;
    return match.captured(1) + match.captured(2);
}

// unrar's line for an entry with the entry's name taken off, the echoed names already out: "Extracting
// <path>   100%" reads "Extracting", "<name> - checksum error" reads "- checksum error" (its words follow
// the last " - "), "Incorrect password for <name>" reads "Incorrect password for". An entry named
// "incorrect password.txt" is no reason.
QString unrarReason(const QString& line) {
    static const QRegularExpression leading(QStringLiteral(
        "^(\\s*(?:Extracting from|Extracting|Creating|Skipping|Incorrect password for))\\s.*$"));
    if (const QRegularExpressionMatch match = leading.match(line); match.hasMatch()) return match.captured(1);
    const qsizetype words = line.lastIndexOf(QLatin1String(" - "));
    return words > 0 ? line.mid(words + 1) : line;
}

// An entry GNU tar will not make up, which it reads as "." with a warning and then fails to write: a hard
// link without a target (named on the next line, "tar: \"a\": Cannot hard link to ‘.’: …") or an entry
// without a name. Damage of the archive, which no other program should paper over.
std::optional<ArchiveError> tarEmptyEntry(const QString& combinedText) {
    static const QRegularExpression substituted(TarWords::kSubstitutedLine,
                                                QRegularExpression::MultilineOption);
    const QRegularExpressionMatch match = substituted.match(combinedText);
    if (!match.hasMatch()) return std::nullopt;
    if (match.captured(1) == TarWords::kEmptyMemberName) return ToolFailureText::entryWithoutName();
    static const QRegularExpression link(QLatin1String("\\n") + TarWords::kHardLinkToLine);
    const QRegularExpressionMatch named = link.match(combinedText, match.capturedEnd());
    const std::optional<QByteArray> name =
        named.hasMatch() ? ToolText::cUnquoted(named.captured(1).toUtf8()) : std::nullopt;
    if (!name) return ToolFailureText::hardLinkWithoutTarget(std::nullopt);
    return ToolFailureText::hardLinkWithoutTarget(shownPath(ToolText::decode(*name)));
}

// A refusal of an item the user may not read or write, named: EACCES, or EPERM for a read (a write the
// file system does not permit, a link on FAT, a name it cannot hold, a mode, is no matter of permission).
std::optional<ArchiveError> refusal(const SystemFailure& failure) {
    const SystemErrorText::Access access = ToolFailureLines::accessOf(failure);
    const bool refused = failure.errorNumber == EACCES ||
                         (failure.errorNumber == EPERM && access == SystemErrorText::Access::read);
    if (!refused || failure.paths.isEmpty()) return std::nullopt;
    return ArchiveError::permissionDenied(failure.paths.first(), access);
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

// Whether any of a program's words stand in the text (says).
template <std::size_t N>
bool saysAny(const QString& text, const QLatin1String (&words)[N]) {
    for (const QLatin1String each : words) {
        if (says(text, each)) return true;
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
    return saysAny(searchable, SevenZipWords::kCannotOpenWords);
}

// Whether the tool's words refuse a permission outside the failed system calls it reported with an item
// and a reason: those are judged as what they are (a mode or a name the file system would not take, an
// item's refusal).
bool mentionsPermission(const ProcessResult& result, const QStringList& echoedNames) {
    const QStringList lines = combinedText(result).split(QLatin1Char('\n'));
    for (qsizetype index = 0, consumed = 1; index < lines.size(); index += consumed) {
        const std::optional<SystemFailure> failure =
            ToolFailureLines::failureAt(lines, index, consumed, result.program);
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

// GNU tar's write into its destination cut short: the disk is full.
const QRegularExpression& shortWrite() {
    static const QRegularExpression line(TarWords::kShortWriteLine);
    return line;
}

// unrar's damaged headers: "Corrupt header is found", "Main archive header is corrupt", "<entry> - the file
// header is corrupt" (the entry's name first, its words last, as unrar prints them).
bool unrarSaysCorruptHeader(const QString& text) {
    static const QRegularExpression corrupt(UnrarWords::kCorruptHeaderLine);
    return hasLine(text, corrupt);
}

// unrar's method it does not know ("Unknown method in <entry>", "You may need a newer version of RAR."):
// the entry is named as 7-Zip's and unzip's are (ToolFailureText::errorLine), never as damage.
bool unrarLacksMethod(const QString& text) {
    static const QRegularExpression unknown(QLatin1Char('^') + UnrarWords::kUnknownMethod +
                                            QLatin1String(".+$"));
    return hasLine(text, unknown);
}

// unzip's words of a central directory that is not where or what its end record says: "start of central
// directory not found;" and "zipfile corrupt.", "expected central file header signature not found (file
// #2).", "missing 7 bytes in zipfile", "invalid zip file with overlapped components (possible zip bomb)".
bool unzipSaysCorruptDirectory(const QString& text) {
    static const QRegularExpression corrupt(InfoZipWords::kCorruptDirectoryLine);
    return hasLine(text, corrupt);
}

}  // namespace

QString searchableText(const ProcessResult& result, const QStringList& echoedNames) {
    QString text = combinedText(result);
    // 7-Zip and unrar print their question for a password whether or not it was needed: it names no
    // password problem.
    text.remove(SevenZipWords::kPasswordPrompt);
    // GNU tar prints every name C-quoted ("tar: \"a\": Cannot open: …"), and none of its own words.
    static const QRegularExpression tarLine(TarWords::kLineStart);
    static const QRegularExpression quotedName(TarWords::kQuotedName);
    QStringList lines = text.split(QLatin1Char('\n'));
    for (QString& line : lines) {
        if (ranBy(result, ToolProgram::tar) && tarLine.match(line).hasMatch()) line.remove(quotedName);
        for (const QString& name : echoedNames) {
            if (!name.isEmpty()) line = withoutEchoedName(line, name);
        }
        // A compressed TAR's layer is decoded by 7-Zip, whose lines stand in tar's standard error.
        if (ranBy(result, ToolProgram::sevenZip) || ranBy(result, ToolProgram::tar))
            line = sevenZipReason(line);
        if (ranBy(result, ToolProgram::infoZip)) line = unzipReason(line);
        if (ranBy(result, ToolProgram::unrar)) line = unrarReason(line);
    }
    return lines.join(QLatin1Char('\n')).toLower();
}

bool unzipFoundNoEntries(const ProcessResult& result) {
    static const QRegularExpression empty(InfoZipWords::kEmptyZipfileLine);
    return hasLine(combinedText(result), empty);
}

bool sevenZipCannotHandle(const ProcessResult& result, const QStringList& echoedNames) {
    const QString text = searchableText(result, echoedNames);
    return saysCannotOpen(text) || says(text, SevenZipWords::kUnsupportedMethodWords);
}

std::optional<ArchiveError> refusedLink(const QString& combinedText) {
    // "ERROR: Dangerous link path was ignored : up : ../../etc/hostname"; "ERROR: Dangerous link via
    // another link was ignored : vialink : dirlink/f.txt", each on a line of its own (an entry's name
    // elsewhere may hold the words). 7-Zip says the first of links that stay inside too ("d/up -> .."):
    // a link whose own target leads out is named first, then one 7-Zip says leads out, as leading out.
    static const QRegularExpression refused(SevenZipWords::kDangerousLinkLine,
                                            QRegularExpression::MultilineOption);
    std::optional<QString> outside;
    std::optional<QString> chain;
    for (QRegularExpressionMatchIterator it = refused.globalMatch(combinedText); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        const QString link = match.captured(2);
        if (ArchiveLinks::leadsOut(link, match.captured(3)))
            return ToolFailureText::linkOutsideDestination(link);
        std::optional<QString>& named = match.captured(1) == QLatin1String("path") ? outside : chain;
        if (!named) named = link;
    }
    if (outside) return ToolFailureText::linkOutsideDestination(*outside);
    if (!chain) return std::nullopt;
    return ToolFailureText::linkViaOtherLink(*chain);
}

std::optional<ArchiveError> unwritableEntry(const QString& combinedText) {
    // 7-Zip makes a link last, from a placeholder file that a later entry of its name overwrote; the
    // line after names which kind of link it could not make.
    static const QRegularExpression overwritten(SevenZipWords::kOverwrittenLink);
    if (const QRegularExpressionMatch match = overwritten.match(combinedText); match.hasMatch()) {
        return ToolFailureText::linkOverwritten(match.captured(2) == QLatin1String("hard"),
                                                shownPath(match.captured(1)));
    }
    for (const QString& line : combinedText.split(QLatin1Char('\n'))) {
        const std::optional<SystemFailure> failure = ToolFailureLines::systemFailure(line);
        if (!failure || failure->paths.isEmpty()) continue;
        const QString& path = failure->paths.first();
        if (failure->step == ToolFailureLines::Step::makeHardLink && failure->errorNumber == ENOENT &&
            failure->paths.size() == 2) {
            return ToolFailureText::hardLinkTargetMissing(path, failure->paths.last());
        }
        // Something on the entry's way is not a folder: a link (7-Zip writes through none) or a file.
        if (failure->errorNumber == ENOTDIR && (failure->step == ToolFailureLines::Step::writeFile ||
                                                failure->step == ToolFailureLines::Step::makeFolder)) {
            return ToolFailureText::entryUnderLinkOrFile(path);
        }
    }
    return std::nullopt;
}

bool namesPasswordProblem(const ProcessResult& result, const QString& searchable) {
    return (ranBy(result, ToolProgram::sevenZip) && saysAny(searchable, SevenZipWords::kPasswordWords)) ||
           (ranBy(result, ToolProgram::unrar) && saysAny(searchable, UnrarWords::kPasswordWords)) ||
           (ranBy(result, ToolProgram::infoZip) && saysAny(searchable, InfoZipWords::kPasswordWords));
}

bool namesFullDisk(const ProcessResult& result, const QString& searchable) {
    if (says(searchable, QLatin1String("no space left on device"))) return true;
    // tar's decoder is 7-Zip, whose words stand in tar's lines.
    const bool sevenZip = ranBy(result, ToolProgram::sevenZip) || ranBy(result, ToolProgram::tar);
    return (sevenZip && says(searchable, SevenZipWords::kFullDiskWords)) ||
           (ranBy(result, ToolProgram::infoZip) && says(searchable, InfoZipWords::kFullDiskWords)) ||
           (ranBy(result, ToolProgram::unrar) && says(searchable, UnrarWords::kFullDiskWords)) ||
           (ranBy(result, ToolProgram::tar) && hasLine(combinedText(result), shortWrite()));
}

std::optional<QString> missingVolume(const ProcessResult& result) {
    // 7-Zip: "Missing volume : a.z01" on a line of its own, or as a listing's "ERROR = Missing volume :
    // a.z01"; unrar: "Cannot find volume /folder/a.part2.rar". Never inside another line, where an entry's
    // name is echoed ("Incorrect password for Cannot find volume x.txt").
    static const QRegularExpression sevenZip(
        QStringLiteral("^(?:") + SevenZipWords::kMissingVolume + QStringLiteral(")(.+)$"),
        QRegularExpression::MultilineOption);
    static const QRegularExpression unrar(
        QStringLiteral("^(?:") + UnrarWords::kMissingVolume + QStringLiteral(")(.+)$"),
        QRegularExpression::MultilineOption);
    const QString text = combinedText(result);
    for (const auto& [program, missing] :
         {std::pair<ToolProgram, const QRegularExpression&>{ToolProgram::sevenZip, sevenZip},
          {ToolProgram::unrar, unrar}}) {
        if (!ranBy(result, program)) continue;
        if (const QRegularExpressionMatch match = missing.match(text); match.hasMatch())
            return QFileInfo(match.captured(1).trimmed()).fileName();
    }
    return std::nullopt;
}

std::optional<ArchiveError> namedFailure(const ProcessResult& result, const QStringList& echoedNames) {
    const QString text = combinedText(result);
    if (ranBy(result, ToolProgram::tar)) {
        if (std::optional<ArchiveError> empty = tarEmptyEntry(text)) return empty;
    }
    if (ranBy(result, ToolProgram::sevenZip)) {
        if (std::optional<ArchiveError> link = refusedLink(text)) return link;
    }
    if (const std::optional<QString> volume = missingVolume(result))
        return ArchiveError::missingVolume(*volume);
    const QString lowered = searchableText(result, echoedNames);
    // A full disk or a read-only folder fails an encrypted archive too: they come before the password.
    if (namesFullDisk(result, lowered)) return ArchiveError::diskFull();
    if (says(lowered, QLatin1String("read-only file system"))) return ArchiveError::readOnlyFileSystem();
    if (namesPasswordProblem(result, lowered)) return ArchiveError::wrongPassword();
    const bool sevenZip = ranBy(result, ToolProgram::sevenZip);
    const bool unrar = ranBy(result, ToolProgram::unrar);
    const bool infoZip = ranBy(result, ToolProgram::infoZip);
    const bool tar = ranBy(result, ToolProgram::tar);
    // A method the tool lacks explains whatever else it said of the entry: its one line names it.
    if (unrar && unrarLacksMethod(text)) return std::nullopt;
    // A set of numbered pieces that ends early lacks the piece after its last one.
    if (sevenZip && says(lowered, SevenZipWords::kUnexpectedEndWords)) {
        if (const std::optional<QString> next = ArchiveVolumes::volumeAfterLast(echoedNames.value(0)))
            return ArchiveError::missingVolume(*next);
    }
    // An item the tool was refused is named with what it could not do; other words of a refusal only say so.
    // An archive the user may not read cannot be opened either ("Cannot open the file as archive", then
    // "errno=13"), but 7-Zip follows "Is not archive" with the "errno=1" its open left behind: that one is
    // no permission problem.
    const QList<LineReport> reports = ToolFailureText::lineReports(result);
    for (const LineReport& report : reports) {
        if (!report.failure || report.failure->errorNumber != EACCES) continue;
        if (std::optional<ArchiveError> refused = refusal(*report.failure)) return refused;
    }
    if (sevenZip && (says(lowered, SevenZipWords::kNotArchiveWords) || saysCannotOpen(lowered)))
        return ArchiveError::corruptedArchive();
    for (const LineReport& report : reports) {
        if (!report.failure) continue;
        if (std::optional<ArchiveError> refused = refusal(*report.failure)) return refused;
    }
    if (mentionsPermission(result, echoedNames)) return ArchiveError::permissionDenied();
    if ((unrar && unrarSaysCorruptHeader(text)) ||
        (infoZip && (unzipFoundNoEntries(result) || unzipSaysCorruptDirectory(text))))
        return ArchiveError::corruptedArchive();
    // Each program's damaged archive or records; a compressed TAR's damaged layer is its decoder's
    // (7-Zip's words, or a decoder that failed: "tar: Child returned status 2").
    static const QRegularExpression decoderFailed(TarWords::kChildFailedLine);
    if (((sevenZip || tar) && (saysAny(lowered, SevenZipWords::kDamageWords) ||
                               says(lowered, SevenZipWords::kUnexpectedEndWords))) ||
        (unrar && saysAny(lowered, UnrarWords::kDamageWords)) ||
        (infoZip && saysAny(lowered, InfoZipWords::kDamageWords)) ||
        (tar && (saysAny(lowered, TarWords::kDamageWords) || hasLine(text, decoderFailed))))
        return ArchiveError::corruptedArchive();
    if (sevenZip || tar) {
        if (std::optional<ArchiveError> entry = unwritableEntry(text)) return entry;
    }
    // unrar found nothing to write, and no other line says why.
    static const QRegularExpression noFiles(UnrarWords::kNoFilesLine);
    if (unrar && reports.isEmpty() && hasLine(text, noFiles)) return ArchiveError::noFiles();
    return std::nullopt;
}

ArchiveError mapExternalError(const ProcessResult& result, const QString& sentence,
                              const QStringList& echoedNames) {
    if (std::optional<ArchiveError> named = namedFailure(result, echoedNames)) return *named;
    return ArchiveError::extractFailed(ToolFailureText::withErrorLine(sentence, result));
}

}  // namespace ToolFailure
