#pragma once

#include <QLatin1String>

// Info-ZIP's own words (unzip's and zip's) in one place, for the failure rules (ToolFailure,
// ToolFailureLines, ToolFailureText) and CompressionService: whole lines as they print them (patterns where
// they hold a name), and the words matched in a run's lower-cased text (ToolFailure::searchableText),
// lower-cased.
namespace InfoZipWords {

// unzip's line for each entry it did not write: "skipping: a.txt  incorrect password".
inline constexpr QLatin1String kSkipping("skipping:");

// An entry in a method it lacks (one alternative of a pattern): "skipping: a.txt  `tokenize' method not
// supported".
inline constexpr QLatin1String kMethodNotSupported("skipping: (.+?)\\s+`[^']*' method not supported");

// A name it could not turn into a file name: "mapname:  conversion of a/b.txt failed".
inline constexpr QLatin1String kMapnameLine("^mapname:\\s+conversion of (.*) failed$");

// An archive that holds no entries: "warning [a.zip]:  zipfile is empty".
inline constexpr QLatin1String kEmptyZipfileLine("^warning \\[.+\\]:\\s+zipfile is empty$");

// A central directory that is not where or what its end record says: "error [a.zip]:  start of central
// directory not found;" and "zipfile corrupt.", "error:  expected central file header signature not found
// (file #2).", "error [a.zip]:  missing 7 bytes in zipfile", "error: invalid zip file with overlapped
// components (possible zip bomb)".
inline constexpr QLatin1String kCorruptDirectoryLine(
    "^(?:error(?: \\[.+\\])?:\\s+(?:start of central directory not found;|expected central file header "
    "signature not found \\(file #\\d+\\)\\.|missing \\d+ bytes in zipfile|invalid zip file with "
    "overlapped components \\(possible zip bomb\\))|zipfile corrupt\\.)$");

// An archive unzip could not open, the system's words on the next line: "error:  cannot open zipfile [
// a.zip ]".
inline constexpr QLatin1String kCannotOpenZipfileLine("^error:\\s+cannot open zipfile \\[ (.+) \\]$");

// zip's input it could not read, "zip warning: could not open for reading: a/secret.txt", and its warnings,
// the system's words among them ("zip warning: Permission denied").
inline constexpr QLatin1String kCouldNotOpenLine("^zip warning: could not open for reading: (.+)$");
inline constexpr QLatin1String kWarningLine("^zip warning: (.+)$");

// zip's input that is not there (one alternative of a pattern): "zip warning: name not matched: a.txt".
inline constexpr QLatin1String kNameNotMatched("\\s*zip warning: name not matched: (.+)");

// Its warning that an entry's recorded sizes disagree, after which it writes what the compressed size
// holds: "a.txt:  ucsize 4022250974 <> csize 12 for STORED entry".
inline constexpr QLatin1String kSizesDisagreeLine("^.+:\\s+ucsize \\d+ <> csize \\d+ for \\S+ entry$");

// Lower-cased: a wrong password ("skipping: a.txt  incorrect password").
inline constexpr QLatin1String kPasswordWords[]{QLatin1String("incorrect password")};
// Lower-cased: a full disk (unzip's "write error (disk full?)").
inline constexpr QLatin1String kFullDiskWords("disk full");

// Lower-cased: unzip's damaged archive and records: "cannot find zipfile directory", "not a zipfile",
// "End-of-central-directory signature not found", "bad CRC 1a2b3c4d  (should be …)", "invalid compressed
// data to inflate", "a.txt: bad extra field length (local)", "file #1: bad zipfile offset (local header
// sig)".
inline constexpr QLatin1String kDamageWords[]{
    QLatin1String("cannot find zipfile"),      QLatin1String("not a zipfile"),
    QLatin1String("end-of-central-directory"), QLatin1String("bad crc"),
    QLatin1String("invalid compressed data"),  QLatin1String("bad extra field length"),
    QLatin1String("bad zipfile offset")};

}  // namespace InfoZipWords
