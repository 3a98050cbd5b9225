#pragma once

#include <QLatin1String>

// 7-Zip's own words in one place, for the failure rules (ToolFailure, ToolFailureLines, ToolFailureText),
// CompressionService and the password probe: whole lines and fields as it prints them (patterns where they
// hold a name), and the words matched in a run's lower-cased text (ToolFailure::searchableText), lower-cased.
namespace SevenZipWords {

// Its question for a password, printed whether or not one was needed (unrar prints it too); a listing of
// encrypted headers asks it before it lists anything.
inline constexpr QLatin1String kPasswordPrompt("Enter password (will not be echoed):");
inline constexpr QLatin1String kPasswordPromptStart("Enter password");

// Its warnings, on lines of their own ("WARNINGS:", "Archives with Warnings: 1").
inline constexpr QLatin1String kWarnedLine("^(?:WARNINGS:|Archives with Warnings: \\d+)$");

// The type of the archive it opened, a field of its report: "Type = tar".
inline constexpr QLatin1String kTarTypeLine("^Type = tar$");
// A refused link, with the link and its target: "ERROR: Dangerous link path was ignored : up :
// ../../etc/hostname", "ERROR: Dangerous link via another link was ignored : vialink : dirlink/f.txt".
inline constexpr QLatin1String kDangerousLinkLine(
    "^(?:ERROR: )?Dangerous link (path|via another link) was ignored : (.+) : (.*)$");

// The start of the line naming a missing volume, or of a listing's field: "ERROR = Missing volume : a.z01".
inline constexpr QLatin1String kMissingVolume("(?:ERROR = )?Missing volume : ");

// A link's placeholder that a later entry of its name overwrote, and the line after naming its kind.
inline constexpr QLatin1String kOverwrittenLink(
    "Temporary link file is not empty : (.+)(?:\\n.*Cannot create (hard|symbolic) link)?");

// An entry in a method it lacks: "ERROR: Unsupported Method : a.txt".
inline constexpr QLatin1String kUnsupportedMethodLine("(?:ERROR: )?Unsupported Method : (.+)");

// An archive the user may not change ("The file is read-only", then its path), and the line after
// "ERROR: <archive>" when it cannot open a file as an archive.
inline constexpr QLatin1String kFileIsReadOnly("The file is read-only");
inline constexpr QLatin1String kCannotOpenAsArchiveLine("Cannot open the file as archive");

// The steps it names in a failed system call's line ("ERROR: Cannot open output file : errno=20 : …").
inline constexpr QLatin1String kOpenOutputStep("Cannot open output file");
inline constexpr QLatin1String kOpenInputStep("Cannot open input file");
inline constexpr QLatin1String kCreateFolderStep("Cannot create folder");
inline constexpr QLatin1String kCreateOutputDirectoryStep("Cannot create output directory");
inline constexpr QLatin1String kCreateSymbolicLinkStep("Cannot create symbolic link");
inline constexpr QLatin1String kCreateHardLinkStep("Cannot create hard link");
// Its step of setting an item's Unix mode ("ERROR: Cannot set file attribute : errno=38 : …").
inline constexpr QLatin1String kSetFileAttribute("Cannot set file attribute");

// An input that is not there, while creating (one alternative of a pattern): "a.txt : errno=2 : No such
// file or directory".
inline constexpr QLatin1String kMissingInput("(.+) : errno=2 : No such file or directory");

// Lower-cased: a file it cannot open as an archive (an extraction's "Can't open as archive", a listing's
// "Cannot open the file as [zip] archive"), "Is not archive", an entry's method it lacks.
inline constexpr QLatin1String kCannotOpenWords[]{QLatin1String("can't open as archive"),
                                                  QLatin1String("cannot open the file as")};
inline constexpr QLatin1String kNotArchiveWords("is not archive");
inline constexpr QLatin1String kUnsupportedMethodWords("unsupported method");

// Lower-cased: a wrong or missing password ("break signaled": it asked for one and found none on its
// standard input), a full disk, the end of a set of numbered pieces that ends early (unrar's words too).
inline constexpr QLatin1String kPasswordWords[]{QLatin1String("wrong password"),
                                                QLatin1String("cannot open encrypted archive"),
                                                QLatin1String("break signaled")};
inline constexpr QLatin1String kFullDiskWords("errno=28");
inline constexpr QLatin1String kUnexpectedEndWords("unexpected end of archive");

// Lower-cased: damaged records, data that ends early ("ERROR: Unexpected end of data : a.txt", also as
// GNU tar's decoder) or goes on after an entry's payload. Such words name the reason of a failed run
// only: data after the archive's end leaves 7-Zip's status at 0, a success (SevenZipTool::classify).
inline constexpr QLatin1String kDamageWords[]{
    QLatin1String("data error"), QLatin1String("crc failed"), QLatin1String("headers error"),
    QLatin1String("unexpected end of data"), QLatin1String("there are some data after the end of the payload")};

}  // namespace SevenZipWords
