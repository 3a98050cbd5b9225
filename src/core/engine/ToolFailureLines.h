#pragma once

#include "core/engine/ProcessResult.h"
#include "platform/SystemErrorText.h"

#include <QString>
#include <QStringList>

#include <optional>

// The tools' lines of a failed system call read into one form, for the failure rules (ToolFailure) and
// their wording (ToolFailureText) alike.
namespace ToolFailureLines {

// A failed system call a tool reported: what it tried, the error number, the paths. 7-Zip says it on one
// line, "ERROR: Cannot open output file : errno=20 : Not a directory : <path>", "System ERROR: errno=1 :
// Operation not permitted" (a hard link names its target after its own path; the system's wording of the
// number holds no colon); the other forms are read into the same words (failureAt).
// What the tool tried, whichever program said it in its own words; unnamed when it named no step or one
// velmora does not word.
enum class Step { unnamed, readInput, writeFile, makeFolder, makeLink, makeHardLink, makeDevice, setModes };

struct SystemFailure {
    Step step = Step::unnamed;
    int errorNumber = 0;  // 0 when the tool gave no reason
    QStringList paths;    // as the user knows them (shownPath)
};

// Standard error, a line feed, standard output: the text failure rules test and report.
QString combinedText(const ProcessResult& result);

// A path the tool printed as the user knows it: inside one of velmora's work folders, the path below
// it (an entry's path in the archive, an archive's name), long ones shortened.
QString shownPath(const QString& printed);

// The failure 7-Zip's one line reports, in its own form.
std::optional<SystemFailure> systemFailure(const QString& line);

// The failed system call reported from the line at index on, over as many lines as it takes (consumed),
// in the forms of the program that ran (none for a result no driver made): 7-Zip's one line,
// its archive it could not open ("ERROR: a.7z", "Cannot open the file as archive", the error number after
// a blank line) and one it may not change; unrar's "Cannot open a.rar" and "Cannot create <path>", and
// unzip's "error:  cannot open zipfile [ a.zip ]", each with the system's words on the next line; tar's
// (with its decoder's, 7-Zip's) and zip's inputs they could not read.
std::optional<SystemFailure> failureAt(const QStringList& lines, qsizetype index, qsizetype& consumed,
                                       const std::optional<ToolProgram>& program);

// A mode the file system would not take ("ERROR: Cannot set file attribute : errno=38 : Function not
// implemented : <path>"): FAT holds no Unix modes; FUSE mounts of it say the call is not implemented or
// not supported, the kernel's FAT driver refuses a mode it cannot store. The item itself is complete.
bool isUnsetMode(const SystemFailure& failure);
bool isUnsetMode(const QString& line);

// Whether the step read or wrote.
SystemErrorText::Access accessOf(const SystemFailure& failure);

// A name the file system could not hold: a step that makes a name refused as EPERM, EINVAL or EILSEQ (a
// colon or 300 bytes on FAT).
bool isUnholdableName(const SystemFailure& failure);

}  // namespace ToolFailureLines
