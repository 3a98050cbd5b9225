#include "core/engine/ToolFailureText.h"

#include "core/engine/InfoZipWords.h"
#include "core/engine/SevenZipWords.h"
#include "core/engine/UnrarWords.h"

#include <QHash>
#include <QRegularExpression>

namespace ToolFailureText {

namespace {

using ToolFailureLines::shownPath;
using ToolFailureLines::SystemFailure;

// What the tool tried, in words; empty for a step it did not name.
QString stepWords(ToolFailureLines::Step step) {
    using ToolFailureLines::Step;
    switch (step) {
        case Step::writeFile:
            return QStringLiteral(u"无法写入");
        case Step::makeFolder:
            return QStringLiteral(u"无法创建文件夹");
        case Step::makeLink:
            return QStringLiteral(u"无法创建链接");
        case Step::makeHardLink:
            return QStringLiteral(u"无法创建硬链接");
        case Step::makeDevice:
            return QStringLiteral(u"无法创建设备文件");
        case Step::readInput:
            return QStringLiteral(u"无法读取");
        case Step::setModes:
            return QStringLiteral(u"无法设置文件属性");
        case Step::unnamed:
            break;
    }
    return {};
}

// "无法写入“a/b.txt”：文件名太长": what failed on which entry, and why, in Chinese.
QString systemFailureText(const SystemFailure& failure) {
    QString subject = stepWords(failure.step);
    if (!failure.paths.isEmpty() && !failure.paths.first().isEmpty())
        subject += QStringLiteral(u"“") + failure.paths.first() + QStringLiteral(u"”");
    QString reason;
    if (ToolFailureLines::isUnholdableName(failure))
        reason = QStringLiteral(u"目标位置不能使用这个名称");
    else if (failure.errorNumber != 0)
        reason = SystemErrorText::reason(failure.errorNumber, ToolFailureLines::accessOf(failure));
    if (reason.isEmpty()) return subject;
    return subject.isEmpty() ? reason : subject + QStringLiteral(u"：") + reason;
}

// The lines that name an entry and what kept it from being written, in the forms of the program that ran
// (none for a result no driver made): unzip's name it could not turn into a file name
// ("mapname:  conversion of <name> failed") and method it lacks ("skipping: <name>  `tokenize' method not
// supported"); 7-Zip's and unrar's missing method ("ERROR: Unsupported Method : <name>", "Unknown method
// in <name>").
std::optional<QString> entryFailureText(const QString& line, const std::optional<ToolProgram>& program) {
    const auto ran = [&](ToolProgram each) { return program == each; };
    static const QRegularExpression mapname(InfoZipWords::kMapnameLine);
    static const QRegularExpression unzipMethod(QStringLiteral("^") + InfoZipWords::kMethodNotSupported +
                                                QLatin1Char('$'));
    static const QRegularExpression sevenZipMethod(QStringLiteral("^") +
                                                   SevenZipWords::kUnsupportedMethodLine + QLatin1Char('$'));
    static const QRegularExpression unrarMethod(QStringLiteral("^") + UnrarWords::kUnknownMethod +
                                                QStringLiteral("(.+)$"));
    if (const QRegularExpressionMatch match = mapname.match(line);
        ran(ToolProgram::infoZip) && match.hasMatch()) {
        const QString name = match.captured(1).trimmed();
        if (name.isEmpty()) return QStringLiteral(u"压缩包中有名称为空的条目，无法写入");
        return QStringLiteral(u"无法写入“") + shownPath(name) + QStringLiteral(u"”：这个名称不能用作文件名");
    }
    const std::pair<ToolProgram, const QRegularExpression&> methods[] = {
        {ToolProgram::infoZip, unzipMethod},
        {ToolProgram::sevenZip, sevenZipMethod},
        {ToolProgram::unrar, unrarMethod}};
    for (const auto& [each, method] : methods) {
        if (!ran(each)) continue;
        if (const QRegularExpressionMatch match = method.match(line); match.hasMatch())
            return QStringLiteral(u"无法解压“") + shownPath(match.captured(1)) +
                   QStringLiteral(u"”：不支持它的压缩方法");
    }
    return std::nullopt;
}

// kind is "链接" or "硬链接".
ArchiveError unwrittenLink(const QString& kind, const QString& linkPath, const QString& reason) {
    return ArchiveError::extractFailed(QStringLiteral(u"压缩包中的") + kind + QStringLiteral(u"“") +
                                       linkPath + QStringLiteral(u"”") + reason +
                                       QStringLiteral(u"，已停止解压。"));
}

}  // namespace

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

std::optional<QString> errorLine(const ProcessResult& result) {
    const QList<LineReport> reports = lineReports(result);
    if (reports.isEmpty()) return std::nullopt;
    return reports.first().text;
}

QList<LineReport> lineReports(const ProcessResult& result) {
    QList<LineReport> reports;
    const QStringList lines = ToolFailureLines::combinedText(result).split(QLatin1Char('\n'));
    for (qsizetype index = 0, consumed = 1; index < lines.size(); index += consumed) {
        if (const std::optional<SystemFailure> failure =
                ToolFailureLines::failureAt(lines, index, consumed, result.program)) {
            if (!ToolFailureLines::isUnsetMode(*failure))
                reports.append({failure, systemFailureText(*failure)});
        } else if (const std::optional<QString> entry =
                       entryFailureText(lines[index].trimmed(), result.program)) {
            reports.append({std::nullopt, *entry});
        }
    }
    return reports;
}

ArchiveError linkOutsideDestination(const QString& linkPath) {
    return ArchiveError::extractFailed(QStringLiteral(u"压缩包中的链接“") + linkPath +
                                       QStringLiteral(u"”指向解压位置之外，已停止解压。"));
}

ArchiveError linkViaOtherLink(const QString& linkPath) {
    return ArchiveError::extractFailed(
        QStringLiteral(u"压缩包中的链接“") + linkPath +
        QStringLiteral(u"”经由其他链接指向目标，无法确认它留在解压位置之内，已停止解压。"));
}

ArchiveError linkOverwritten(bool hard, const QString& linkPath) {
    return unwrittenLink(hard ? QStringLiteral(u"硬链接") : QStringLiteral(u"链接"), linkPath,
                         QStringLiteral(u"与同名条目冲突，无法创建"));
}

ArchiveError hardLinkTargetMissing(const QString& linkPath, const QString& targetPath) {
    return unwrittenLink(QStringLiteral(u"硬链接"), linkPath,
                         QStringLiteral(u"指向的“") + targetPath + QStringLiteral(u"”不存在"));
}

ArchiveError entryUnderLinkOrFile(const QString& entryPath) {
    return ArchiveError::extractFailed(QStringLiteral(u"压缩包中的“") + entryPath +
                                       QStringLiteral(u"”位于链接或文件之下，无法经由它写入，已停止解压。"));
}

ArchiveError entryWithoutName() {
    return ArchiveError::corruptedEntry(QStringLiteral(u"压缩包已损坏：其中有一个没有名称的条目。"));
}

ArchiveError hardLinkWithoutTarget(const std::optional<QString>& linkPath) {
    if (!linkPath)
        return ArchiveError::corruptedEntry(QStringLiteral(u"压缩包已损坏：其中有一个没有目标的硬链接。"));
    return ArchiveError::corruptedEntry(QStringLiteral(u"压缩包已损坏：硬链接“") + *linkPath +
                                        QStringLiteral(u"”没有目标。"));
}

}  // namespace ToolFailureText
