#pragma once

#include "core/engine/ArchiveError.h"
#include "core/engine/ProcessResult.h"
#include "core/engine/ToolFailureLines.h"
#include "core/engine/ToolFallback.h"

#include <QList>
#include <QString>

#include <optional>

// The wording of the tools' failures, in Chinese, one name per program; the failure rules (ToolFailure)
// decide which of them a run's outcome is.
namespace ToolFailureText {

// sentence, a Chinese sentence ending in "。", with the tool's one error line (errorLine) set before its
// full stop: "7-Zip 解压工具返回错误（无法写入“a.txt”：文件名太长）。"; the sentence alone when there is
// none. Every failure whose words name no known reason reads so, never with a line of the tool's own.
QString withErrorLine(const QString& sentence, const ProcessResult& result);

// The sentence of a failure that names no known reason, one name per program, written only here: a run
// that reads an archive (extraction, the browser's listing, previews and edits) says
// "7-Zip 解压工具返回错误。", "unrar …", "unzip …" or "GNU tar …"; a run that writes one says
// "7-Zip 压缩工具返回错误。", zip's "系统 ZIP 工具返回错误。" or tar's "GNU tar 压缩工具返回错误。".
QString extractingToolFailed(ToolFallback::Program program);
QString compressingToolFailed(ToolFallback::Program program);

// The first failure the tool's lines report that velmora recognises, in Chinese with the entry's path and
// never the line itself: a failed system call (7-Zip's "ERROR: Cannot open output file : errno=36 : …",
// unrar's "Cannot create <path>" and the system's words after it, …) reads "无法写入“a.txt”：文件名太长"
// (SystemErrorText; a name the file system could not hold "目标位置不能使用这个名称"), a name unzip could
// not map or a method no tool has names the entry; a mode the file system would not take
// (SevenZipTool::classify) is passed over. No path shows velmora's hidden work folder. Nothing when
// no line is recognised: the caller's fixed sentence then stands alone.
std::optional<QString> errorLine(const ProcessResult& result);

// Each failure the run's lines report in its program's forms, recognised and worded, in the order
// printed: a failed system call (not a mode the file system would not take) or an entry that could not be
// written.
struct LineReport {
    std::optional<ToolFailureLines::SystemFailure> failure;
    QString text;
};
QList<LineReport> lineReports(const ProcessResult& result);

// The failure of an archive holding a link that would lead out of the destination, naming the link.
ArchiveError linkOutsideDestination(const QString& linkPath);

// A link 7-Zip refused because its target runs through another link or climbs back.
ArchiveError linkViaOtherLink(const QString& linkPath);

// A link (a hard link when hard) that a later entry of its name overwrote.
ArchiveError linkOverwritten(bool hard, const QString& linkPath);

// A hard link whose target is missing.
ArchiveError hardLinkTargetMissing(const QString& linkPath, const QString& targetPath);

// An entry that lies under a link or a file.
ArchiveError entryUnderLinkOrFile(const QString& entryPath);

// An entry of a TAR without a name, and a hard link without a target (named when the tool did).
ArchiveError entryWithoutName();
ArchiveError hardLinkWithoutTarget(const std::optional<QString>& linkPath);

}  // namespace ToolFailureText
