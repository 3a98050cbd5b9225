#pragma once

#include "core/engine/ArchiveError.h"
#include "core/engine/ProcessResult.h"

#include <QString>
#include <QStringList>

#include <optional>

// The failure rules of every tool run: a finished run read into one outcome (an ArchiveError, worded by
// ToolFailureText), or into whether it did its work.
namespace ToolFailure {

// The combined text lower-cased for the failure rules, with the names the tool echoes (the archive it
// opened first, then the destination, entries) taken out first where it prints them, never from its
// own words, and the fields where the run's program prints an entry's name (7-Zip's after its reason,
// "ERROR: Data Error : <entry>", unzip's "inflating: <path>  <words>", unrar's "<entry> - <words>" and
// "Extracting  <path>") taken off: a failing archive called
// "wrong passwords.7z" is not a password problem, and an entry called "a" leaves "Wrong password" whole. The
// rules match their words as whole words.
QString searchableText(const ProcessResult& result, const QStringList& echoedNames);

// True when unzip said the archive holds no entries ("warning [a.zip]:  zipfile is empty").
bool unzipFoundNoEntries(const ProcessResult& result);

// True when 7-Zip failed because it could not open the file as an archive at all or does not support
// an entry's method, as opposed to a wrong password or damaged entries: a 7-Zip without RAR support
// says so of every RAR.
bool sevenZipCannotHandle(const ProcessResult& result, const QStringList& echoedNames);

// 7-Zip's refusal of a link, naming it: one that would lead out of its output folder, or one whose target
// runs through another link or climbs back when its archive was not proved to stay inside
// (SevenZipLinkChains). It writes an empty file in the link's place and fails.
std::optional<ArchiveError> refusedLink(const QString& combinedText);

// 7-Zip's failure to write an entry, naming it by its path in the archive: one that lies under a link or
// a file, a hard link whose target is missing, or a link (hard or symbolic, as 7-Zip says) that a later
// entry of its name overwrote.
std::optional<ArchiveError> unwritableEntry(const QString& combinedText);

// Whether the run's own program's words (searchable: its searchableText) say that the password was wrong
// or missing.
bool namesPasswordProblem(const ProcessResult& result, const QString& searchable);
// Whether they say that the disk is full.
bool namesFullDisk(const ProcessResult& result, const QString& searchable);

// The file name of the volume the run's program could not find, from its words.
std::optional<QString> missingVolume(const ProcessResult& result);

// The failure rules of every tool run (7-Zip, unrar, unzip, zip, tar; extracting, compressing or
// testing), each reading only the words of the run's program (ProcessResult::program; GNU tar's with its
// decoder's, 7-Zip's; none but the system's for a result no driver made), in order: an entry GNU tar will not
// make up (a hard link without a target, an entry without a name) is damage naming it
// (ArchiveError::corruptedEntry), a refused link names it, a missing volume names it, a full disk, a
// read-only folder, the password (only the tools' own words for it: an encrypted archive that fails for
// another reason is not a password problem), a set of numbered pieces (a.7z.001, a.zip.001) that ends early
// names the piece after its last one (the archive is the first of echoedNames), a file that is no archive
// (one 7-Zip cannot open is damaged), an item the tool was refused, named with what could not be done
// ("无法读取“a/secret.txt”（没有读取权限）"), other permission problems, damaged data, an entry that could
// not be written (unwritableEntry). A name the file system could not hold (EPERM, EINVAL or EILSEQ where a
// name was made: FAT through fusefat) and a mode it would not take are no permission problem. Nothing when
// the words name none of them.
std::optional<ArchiveError> namedFailure(const ProcessResult& result, const QStringList& echoedNames);

// An extracting run's failure: namedFailure, else extractFailed with sentence and the tool's one error
// line (ToolFailureText::withErrorLine).
ArchiveError mapExternalError(const ProcessResult& result, const QString& sentence,
                              const QStringList& echoedNames);

}  // namespace ToolFailure
