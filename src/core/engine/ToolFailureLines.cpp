#include "core/engine/ToolFailureLines.h"

#include "core/engine/InfoZipWords.h"
#include "core/engine/SevenZipWords.h"
#include "core/engine/TarWords.h"
#include "core/engine/UnrarWords.h"
#include "platform/ToolText.h"

#include <QHash>
#include <QRegularExpression>

#include <cerrno>

namespace ToolFailureLines {

namespace {

// A long entry path keeps its start and its end.
QString elided(const QString& path) {
    constexpr qsizetype kMaxLength = 80;
    constexpr qsizetype kHead = kMaxLength / 2;
    if (path.size() <= kMaxLength) return path;
    return path.left(kHead) + u'…' + path.right(kMaxLength - kHead - 1);
}

// A failure of GNU tar reading a TAR, whose names it prints in C quoting (ArchiveTools::Tar): "tar:
// "d/a:b.txt": Cannot open: Invalid argument". An extraction writes its entries by relative names only
// (tar takes a leading "/" off), so an absolute name it could not open is the archive it reads.
std::optional<SystemFailure> tarReadingFailure(const QString& line) {
    static const QRegularExpression failure(TarWords::kEntryFailureLine);
    const QRegularExpressionMatch match = failure.match(line);
    if (!match.hasMatch()) return std::nullopt;
    const std::optional<int> reason = SystemErrorText::errorNumberOf(match.captured(3));
    const std::optional<QByteArray> name = ToolText::cUnquoted(match.captured(1).toUtf8());
    if (!reason || !name) return std::nullopt;
    const QString path = ToolText::decode(*name);
    static const QHash<QString, Step> steps{
        {TarWords::kOpenStep, Step::writeFile},
        {TarWords::kMkdirStep, Step::makeFolder},
        // Only root may make a device node; 7-Zip then writes an empty file in its place.
        {TarWords::kMknodStep, Step::makeDevice},
        {TarWords::kSymlinkStep, Step::makeLink},
        {TarWords::kHardLinkStep, Step::makeHardLink},
    };
    const Step step = path.startsWith(u'/') ? Step::readInput : steps.value(match.captured(2));
    return SystemFailure{step, *reason, {shownPath(path)}};
}

// The step 7-Zip names in its words ("Cannot open output file").
Step sevenZipStep(const QString& words) {
    static const QHash<QString, Step> steps{
        {SevenZipWords::kOpenOutputStep, Step::writeFile},
        {SevenZipWords::kCreateFolderStep, Step::makeFolder},
        {SevenZipWords::kCreateOutputDirectoryStep, Step::makeFolder},
        {SevenZipWords::kCreateSymbolicLinkStep, Step::makeLink},
        {SevenZipWords::kCreateHardLinkStep, Step::makeHardLink},
        {SevenZipWords::kOpenInputStep, Step::readInput},
        {SevenZipWords::kSetFileAttribute, Step::setModes},
    };
    return steps.value(words, Step::unnamed);
}

}  // namespace

QString combinedText(const ProcessResult& result) { return result.error + QLatin1Char('\n') + result.output; }

QString shownPath(const QString& printed) {
    // Up to the innermost work folder: a preview's private folder lies inside its preview folder.
    static const QRegularExpression workFolder(QStringLiteral(
        "^(?:.*/)?(?:\\.velmora(?:Extraction|Compression|Edit)-|velmoraCompoundTar-|velmora(?:Compression|"
        "Previews|RarAlias)/)[^/]*(?:/|$)"));
    QString path = printed.trimmed();
    path.remove(workFolder);
    if (path.startsWith(QLatin1String("./"))) path.remove(0, 2);
    return elided(path);
}

std::optional<SystemFailure> systemFailure(const QString& line) {
    static const QRegularExpression failure(
        QStringLiteral("^(.*?(?:ERROR|WARNING): )?(?:(.+?) : )?errno=(\\d+) : [^:]*?(?: : (.+))?$"));
    // A listing names the archive it could not open: "ERROR: a.7z : opening : errno=13 : Permission denied".
    static const QRegularExpression opening(QStringLiteral("^(.+) : opening$"));
    const QRegularExpressionMatch match = failure.match(line.trimmed());
    if (!match.hasMatch()) return std::nullopt;
    const QString words = match.captured(2);
    SystemFailure parsed{sevenZipStep(words), match.captured(3).toInt(), {}};
    if (match.hasCaptured(4)) {
        for (const QString& path : match.captured(4).split(QStringLiteral(" : ")))
            parsed.paths << shownPath(path);
    }
    if (const QRegularExpressionMatch listed = opening.match(words); listed.hasMatch()) {
        parsed = {Step::readInput, parsed.errorNumber, {shownPath(listed.captured(1))}};
    } else if (!match.hasCaptured(1) && parsed.paths.isEmpty() && !words.isEmpty()) {
        // Compression's list of inputs it could not read names the input first: "a/secret.txt : errno=13 :
        // Permission denied".
        QString input = words;
        if (input.endsWith(QLatin1Char('/'))) input.chop(1);  // a folder is printed with its slash
        parsed = {Step::readInput, parsed.errorNumber, {shownPath(input)}};
    }
    return parsed;
}

namespace {

// The lines from index on, trimmed, and the error number the system's words on one of them give.
struct Lines {
    const QStringList& lines;
    qsizetype index;
    QString at(qsizetype offset) const {
        return index + offset < lines.size() ? lines[index + offset].trimmed() : QString();
    }
    std::optional<int> reasonAt(qsizetype offset) const { return SystemErrorText::errorNumberOf(at(offset)); }
};

// 7-Zip's one line; its archive it could not open ("ERROR: a.7z", "Cannot open the file as archive", the
// error number after a blank line); an archive it may not change ("The file is read-only", its path).
std::optional<SystemFailure> sevenZipFailureAt(const Lines& lines, qsizetype& consumed) {
    static const QRegularExpression sevenZipOpen(QStringLiteral("^ERROR: (.+)$"));
    if (std::optional<SystemFailure> failure = systemFailure(lines.at(0))) return failure;
    if (lines.at(0) == SevenZipWords::kFileIsReadOnly && !lines.at(1).isEmpty()) {
        consumed = 2;
        return SystemFailure{Step::writeFile, EACCES, {shownPath(lines.at(1))}};
    }
    if (const QRegularExpressionMatch match = sevenZipOpen.match(lines.at(0));
        match.hasMatch() && lines.at(1) == SevenZipWords::kCannotOpenAsArchiveLine) {
        const qsizetype numbered = lines.at(2).isEmpty() ? 3 : 2;
        const std::optional<SystemFailure> failure = systemFailure(lines.at(numbered));
        if (!failure || failure->step != Step::unnamed) return std::nullopt;
        consumed = numbered + 1;
        return SystemFailure{Step::readInput, failure->errorNumber, {shownPath(match.captured(1))}};
    }
    return std::nullopt;
}

// unrar's "Cannot open a.rar" and "Cannot create <path>", the system's words on the next line.
std::optional<SystemFailure> unrarFailureAt(const Lines& lines, qsizetype& consumed) {
    static const QRegularExpression unrar(UnrarWords::kCannotOpenOrCreateLine);
    const QRegularExpressionMatch match = unrar.match(lines.at(0));
    if (!match.hasMatch()) return std::nullopt;
    const bool creating = match.captured(1) == QLatin1String("create");
    const std::optional<int> reason = lines.reasonAt(1);
    // "Cannot open" begins its other sentences too; only with the system's words is it a failed call.
    if (!reason && !creating) return std::nullopt;
    consumed = reason ? 2 : 1;
    return SystemFailure{
        creating ? Step::writeFile : Step::readInput, reason.value_or(0), {shownPath(match.captured(2))}};
}

// unzip's "error:  cannot open zipfile [ a.zip ]", the system's words on the next line; zip's input it
// could not read, the system's words as a warning of their own ("zip warning: Permission denied").
std::optional<SystemFailure> infoZipFailureAt(const Lines& lines, qsizetype& consumed) {
    static const QRegularExpression unzip(InfoZipWords::kCannotOpenZipfileLine);
    static const QRegularExpression zip(InfoZipWords::kCouldNotOpenLine);
    static const QRegularExpression zipWarning(InfoZipWords::kWarningLine);
    if (const QRegularExpressionMatch match = unzip.match(lines.at(0)); match.hasMatch()) {
        const std::optional<int> reason = lines.reasonAt(1);
        consumed = reason ? 2 : 1;
        return SystemFailure{Step::readInput, reason.value_or(0), {shownPath(match.captured(1))}};
    }
    if (const QRegularExpressionMatch match = zip.match(lines.at(0)); match.hasMatch()) {
        SystemFailure failure{Step::readInput, 0, {shownPath(match.captured(1))}};
        for (const QString& other : lines.lines) {
            const QRegularExpressionMatch warning = zipWarning.match(other.trimmed());
            const std::optional<int> reason =
                warning.hasMatch() ? SystemErrorText::errorNumberOf(warning.captured(1)) : std::nullopt;
            if (reason) failure.errorNumber = *reason;
        }
        return failure;
    }
    return std::nullopt;
}

// GNU tar's entry it could not write (tarReadingFailure) and, creating, its input it could not read, named
// as it is: "tar: a/secret.txt: Cannot open: Permission denied". Its decoder, 7-Zip, says its own in its
// lines.
std::optional<SystemFailure> tarFailureAt(const Lines& lines, qsizetype& consumed) {
    static const QRegularExpression tar(TarWords::kInputFailureLine);
    if (std::optional<SystemFailure> failure = tarReadingFailure(lines.at(0))) return failure;
    if (const QRegularExpressionMatch match = tar.match(lines.at(0)); match.hasMatch()) {
        if (const std::optional<int> reason = SystemErrorText::errorNumberOf(match.captured(2)))
            return SystemFailure{Step::readInput, *reason, {shownPath(match.captured(1))}};
    }
    return sevenZipFailureAt(lines, consumed);
}

}  // namespace

std::optional<SystemFailure> failureAt(const QStringList& lines, qsizetype index, qsizetype& consumed,
                                       const std::optional<ToolProgram>& program) {
    const Lines from{lines, index};
    consumed = 1;
    if (!program) return std::nullopt;
    switch (*program) {
        case ToolProgram::sevenZip:
            return sevenZipFailureAt(from, consumed);
        case ToolProgram::unrar:
            return unrarFailureAt(from, consumed);
        case ToolProgram::infoZip:
            return infoZipFailureAt(from, consumed);
        case ToolProgram::tar:
            return tarFailureAt(from, consumed);
        case ToolProgram::zipReader:
            break;
    }
    return std::nullopt;
}

bool isUnsetMode(const SystemFailure& failure) {
    return failure.step == Step::setModes &&
           (failure.errorNumber == ENOSYS || failure.errorNumber == EOPNOTSUPP ||
            failure.errorNumber == EPERM);
}

bool isUnsetMode(const QString& line) {
    const std::optional<SystemFailure> failure = systemFailure(line);
    return failure && isUnsetMode(*failure);
}

SystemErrorText::Access accessOf(const SystemFailure& failure) {
    return failure.step == Step::readInput ? SystemErrorText::Access::read : SystemErrorText::Access::write;
}

bool isUnholdableName(const SystemFailure& failure) {
    const int number = failure.errorNumber;
    const bool makesName = failure.step == Step::writeFile || failure.step == Step::makeFolder;
    return makesName && (number == EPERM || number == EINVAL || number == EILSEQ);
}

}  // namespace ToolFailureLines
