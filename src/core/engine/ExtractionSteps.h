#pragma once

#include "core/engine/ArchiveError.h"
#include "core/engine/ProcessResult.h"
#include "core/engine/ToolFallback.h"
#include "platform/WorkJournal.h"

#include <QString>
#include <QStringList>

#include <optional>

// Steps and failure rules the three extractors share.
namespace ExtractionSteps {

// Before any tool sees an item of the user's (an archive, an input to compress): throws
// ArchiveError::fileNotFound unless a file or folder, or a link to one, is there, and
// ArchiveError::notFileOrFolder for a pipe, socket or device, which a tool would wait on for good.
void requireItem(const QString& fileURL);

// Creates the folder and any missing parents; fails as throwWriteIntoFailed.
void createFolder(const QString& folderURL);

// The failure of creating a folder for a run's output (an extraction's, a compression's work folder), or
// of recording it in the journal: a folder that cannot be written and a full disk are archive errors that
// say so (a read-only file system naming the folder; the disk that is full may be the journal's), anything
// else a FileSystemError with the system's reason.
[[noreturn]] void throwCreateFailed(const QString& folderURL, int errorNumber);

// The failure of making something inside folderURL itself: as throwCreateFailed, a full disk naming it.
[[noreturn]] void throwWriteIntoFailed(const QString& folderURL, int errorNumber);

// Creates a new folder for one run's output in parentURL (created when missing): baseName, else
// "baseName N" with the first free N. mkdir fails on any existing name, so two runs never share the
// folder. It is recorded in the journal record (when there is one) as a placeholder once made, and
// removed again when it cannot be. Throws FileSystemError.
QString reserveFolder(const QString& baseName, const QString& parentURL, WorkJournal::Record* record);

// Standard error, a line feed, standard output: the text failure rules test and report.
QString combinedText(const ProcessResult& result);

// The combined text lower-cased for the failure rules, with the names the tool echoes (the archive it
// opened first, then the destination, entries) taken out first where it prints them, never from its
// own words: a failing archive called "wrong passwords.7z" is not a password problem, and an entry
// called "a" leaves "Wrong password" whole. The rules match their words as whole words.
QString searchableText(const ProcessResult& result, const QStringList& echoedNames);

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

// True when a 7-Zip run failed only because the file system would not take the items' Unix modes (FAT:
// fusefat, many FUSE and network mounts, USB sticks): every line of its standard error is "ERROR: Cannot set
// file attribute : errno=38 : …" (not implemented, not supported, not permitted). Every item was written
// and checked, so the run extracted the archive.
bool onlyModesUnset(const ProcessResult& result);

// True when 7-Zip reported warnings on its own lines ("WARNINGS:", "Archives with Warnings: 1"), which
// it may do with exit status 0: a TAR header it could not read (a name cut short, an entry skipped) is
// such a warning. What it wrote then need not be what the archive holds, so it is no clean success.
bool sevenZipWarned(const ProcessResult& result);

// True when unzip said the archive holds no entries ("warning [a.zip]:  zipfile is empty").
bool unzipFoundNoEntries(const ProcessResult& result);

// True when unzip ended with its warning status (1) and still listed or wrote every entry: it skipped
// none ("skipping: a  incorrect password") and its words name no failure (namedFailure). A few bytes
// before the first header or a comment cut short is such a warning; the run did its work.
bool onlyWarnings(const ProcessResult& result, const QStringList& echoedNames);

// Removes everything inside the folder (by bytes, never following a link), keeping the folder; what a
// failed run wrote goes before the next run writes there. Throws FileSystemError.
void emptyFolder(const QString& folderURL);

// True when 7-Zip failed because it could not open the file as an archive at all or does not support
// an entry's method, as opposed to a wrong password or damaged entries: a 7-Zip without RAR support
// says so of every RAR.
bool sevenZipCannotHandle(const ProcessResult& result, const QStringList& echoedNames);

// The failure of an archive holding a link that would lead out of the destination, naming the link.
ArchiveError linkOutsideDestination(const QString& linkPath);

// 7-Zip's refusal of a link, naming it: one that would lead out of its output folder, or one whose target
// runs through another link or climbs back when its archive was not proved to stay inside
// (SevenZipLinkChains). It writes an empty file in the link's place and fails.
std::optional<ArchiveError> refusedLink(const QString& combinedText);

// 7-Zip's failure to write an entry, naming it by its path in the archive: one that lies under a link or
// a file, a hard link whose target is missing, or a link (hard or symbolic, as 7-Zip says) that a later
// entry of its name overwrote.
std::optional<ArchiveError> unwritableEntry(const QString& combinedText);

// Whether the tool's words (searchableText) say that the password was wrong or missing.
bool namesPasswordProblem(const QString& searchable);
// Whether they say that the disk is full.
bool namesFullDisk(const QString& searchable);

// The file name of the volume the tool could not find, from its words.
std::optional<QString> missingVolume(const QString& combinedText);

// The failure rules of every tool run (7-Zip, unrar, unzip, zip, tar; extracting, compressing or
// testing), in order: an entry GNU tar will not make up (a hard link without a target, an entry without
// a name) is damage naming it (ArchiveError::corruptedEntry), a refused link names it, a missing volume names it, a full disk, a read-only
// folder, the password (only the tools' own words for it: an encrypted archive that fails for another
// reason is not a password problem), a set of numbered pieces (a.7z.001, a.zip.001) that ends early
// names the piece after its last one (the archive is the first of echoedNames), a file that is no archive
// (one 7-Zip cannot open is damaged), an item the tool was refused, named with what could not be done
// ("无法读取“a/secret.txt”（没有读取权限）"), other permission problems, damaged data, an entry that could
// not be written (unwritableEntry). A name the file system could not hold (EPERM, EINVAL or EILSEQ where a
// name was made: FAT through fusefat) and a mode it would not take are no permission problem. Nothing when
// the words name none of them.
std::optional<ArchiveError> namedFailure(const ProcessResult& result, const QStringList& echoedNames);

// An extracting run's failure: namedFailure, else extractFailed with sentence and the tool's one error
// line (withErrorLine).
ArchiveError mapExternalError(const ProcessResult& result, const QString& sentence,
                              const QStringList& echoedNames);

// The first failure the tool's lines report that velmora recognises, in Chinese with the entry's path and
// never the line itself: a failed system call (7-Zip's "ERROR: Cannot open output file : errno=36 : …",
// unrar's "Cannot create <path>" and the system's words after it, …) reads "无法写入“a.txt”：文件名太长"
// (SystemErrorText; a name the file system could not hold "目标位置不能使用这个名称"), a name unzip could
// not map or a method no tool has names the entry; a mode the file system would not take
// (onlyModesUnset) is passed over. No path shows velmora's hidden work folder. Nothing when no line is
// recognised: the caller's fixed sentence then stands alone.
std::optional<QString> errorLine(const ProcessResult& result);

}  // namespace ExtractionSteps
