#pragma once

#include <QLatin1String>

// GNU tar's own words in one place, for the failure rules (ToolFailure, ToolFailureLines) and
// CompressionService: whole lines as it prints them (patterns; it names itself by its path first, "tar: …"
// or "/usr/bin/tar: …", and every name C-quoted, ArchiveTools::Tar), and the words matched in a run's
// lower-cased text (ToolFailure::searchableText), lower-cased.
namespace TarWords {

// The start of each of its lines, and a C-quoted name in one: "tar: \"a\": Cannot open: …".
inline constexpr QLatin1String kLineStart("^\\S*tar: ");
inline constexpr QLatin1String kQuotedName("\"(?:[^\"\\\\]|\\\\.)*\"");

// An entry it reads as "." with a warning, then fails to write: "tar: Substituting `.' for empty hard link
// target", "tar: Substituting `.' for empty member name" (the second group's words).
inline constexpr QLatin1String kSubstitutedLine(
    "^\\S*tar: Substituting `\\.' for empty (hard link target|member name)$");
inline constexpr QLatin1String kEmptyMemberName("member name");

// The hard link it then could not make, named: "tar: \"a\": Cannot hard link to ‘.’: No such file or
// directory".
inline constexpr QLatin1String kHardLinkToLine("\\S*tar: (\"(?:[^\"\\\\]++|\\\\.)*+\"): Cannot hard link to");

// An entry it could not write, or the archive it could not open, the system's words last: "tar:
// \"d/a:b.txt\": Cannot open: Invalid argument", "Cannot mkdir", "Cannot mknod", "Cannot create symlink to
// ‘t’", "Cannot hard link to ‘t’" (the second group, each of kSteps).
inline constexpr QLatin1String kEntryFailureLine(
    "^\\S*tar: (\"(?:[^\"\\\\]++|\\\\.)*+\"): Cannot (open|mkdir|mknod|create symlink to|hard link "
    "to)\\b.*: ([^:]+)$");
inline constexpr QLatin1String kOpenStep("open");
inline constexpr QLatin1String kMkdirStep("mkdir");
inline constexpr QLatin1String kMknodStep("mknod");
inline constexpr QLatin1String kSymlinkStep("create symlink to");
inline constexpr QLatin1String kHardLinkStep("hard link to");

// An input it could not read while creating, named as given: "tar: a/secret.txt: Cannot open: Permission
// denied", "Cannot stat", "Cannot read".
inline constexpr QLatin1String kInputFailureLine("^\\S*tar: (.+): Cannot (?:open|stat|read): (.+)$");

// An input that is not there (one alternative of a pattern): "/usr/bin/tar: a.txt: Cannot stat: No such
// file or directory".
inline constexpr QLatin1String kMissingInput(
    "\\S*tar: (.+): Cannot (?:stat|open): No such file or directory");

// A file it could not write whole into its destination, which only a full disk does: "tar: \"big.bin\":
// Wrote only 1536 of 10240 bytes".
inline constexpr QLatin1String kShortWriteLine("^\\S*tar: .+: Wrote only \\d+ of \\d+ bytes$");
// Its decoder (7-Zip, gzip, bzip2, xz) failed on the compressed layer: "tar: Child returned status 2".
inline constexpr QLatin1String kChildFailedLine("^\\S*tar: Child returned status [1-9]\\d*$");
// Lower-cased: a damaged archive: "tar: Unexpected EOF in archive", "tar: This does not look like a tar
// archive", "tar: Skipping to next header".
inline constexpr QLatin1String kDamageWords[]{QLatin1String("unexpected eof in archive"),
                                              QLatin1String("does not look like a tar archive"),
                                              QLatin1String("skipping to next header")};

}  // namespace TarWords
