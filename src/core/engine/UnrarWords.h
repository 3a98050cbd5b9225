#pragma once

#include <QLatin1String>

// unrar's own words in one place, for the failure rules (ToolFailure, ToolFailureLines, ToolFailureText):
// whole lines as it prints them (patterns where they hold a name), and the words matched in a run's
// lower-cased text (ToolFailure::searchableText), lower-cased.
namespace UnrarWords {

// The start of the line naming a missing volume: "Cannot find volume /folder/a.part2.rar".
inline constexpr QLatin1String kMissingVolume("Cannot find volume ");

// Its damaged headers: "Corrupt header is found", "Main archive header is corrupt", "<entry> - the file
// header is corrupt" (the entry's name first, its words last).
inline constexpr QLatin1String kCorruptHeaderLine(
    "^(?:Corrupt header is found|Main archive header is corrupt|(?:.+ - )?the file header is corrupt)$");

// The start of the line naming an entry in a method it does not know ("Unknown method in a.txt").
inline constexpr QLatin1String kUnknownMethod("Unknown method in ");

// Nothing to write: "No files to extract".
inline constexpr QLatin1String kNoFilesLine("^No files to extract$");

// A failed system call, the system's words on the next line: "Cannot open a.rar", "Cannot create <path>".
inline constexpr QLatin1String kCannotOpenOrCreateLine("^Cannot (open|create) (.+)$");

// Lower-cased: a wrong password ("Incorrect password for a.txt", "The specified password is incorrect."), a
// full disk (it says only "Write error in the file"), damage ("Unexpected end of archive").
inline constexpr QLatin1String kPasswordWords[]{QLatin1String("incorrect password"),
                                                QLatin1String("password is incorrect")};
inline constexpr QLatin1String kFullDiskWords("write error in the file");
inline constexpr QLatin1String kDamageWords[]{QLatin1String("checksum error"), QLatin1String("is not rar archive"),
                                              QLatin1String("unexpected end of archive")};

}  // namespace UnrarWords
