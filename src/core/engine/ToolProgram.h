#pragma once

// The archive programs velmora runs, each judged by its own contract (its exit statuses, its words).
// zipReader is velmora's own reader of a ZIP's central directory: no program, always at hand.
enum class ToolProgram { sevenZip, zipReader, unrar, infoZip, tar };

// A finished run by its program's exit status, read first, and its own words: it did its work, did it
// with a warning (its written items may not be all the archive holds: no clean success after another
// program failed), could not read the file (a format or a method it lacks, or only in part: it says nothing
// of the archive beside another program's failure), or failed (its words then name the reason,
// ToolFailure).
enum class ToolOutcome { success, warned, unreadable, failed };
