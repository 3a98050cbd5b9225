#pragma once

#include "core/base/CancellationToken.h"
#include "core/engine/ProcessResult.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

// The one place that starts external tools. A blocking call for a worker thread: it starts the
// program directly (never through a shell) with standard input from /dev/null, in its own session and
// with LC_ALL=C.UTF-8, collects both output streams and waits for it to end. The tool is killed when
// velmora dies, so no tool writes on as an orphan after a crash or a kill. Arguments go out as
// UTF-8, bytes escaped by ToolText::escapedName as themselves.
//
// A password never goes on a command line, where any local user reads it in /proc/<pid>/cmdline: the
// tool gets it as standardInputLine, a pipe holding that line and a line break, then end of file. A
// tool that asks again reads end of file and gives up instead of waiting. A tool that reads its
// password from its terminal only (zip -e, unzip) gets the line through a PasswordTerminal instead.
//
// Any exit status is a result, not a failure. Throws ProcessRunnerError when the program cannot be
// started or runs past its time limit, and CancellationError when the token is cancelled before or
// during the run; in both cases the tool's process group is terminated and reaped first.
namespace ProcessRunner {

// How long a run may go on: in all, or (silence) since the tool last wrote to either stream, read
// anything, or ran or waited for a CPU, in any process of its group. A listing of a million entries
// may print for a minute, and one of a TAR holding a few huge files reads for a minute before it
// prints, while a tool that hangs sleeps and does none of these.
struct TimeLimit {
    // A plain number of seconds limits the whole run.
    constexpr TimeLimit(double seconds) : seconds(seconds) {}  // NOLINT(google-explicit-constructor)
    static constexpr TimeLimit ofSilence(double seconds) {
        TimeLimit limit(seconds);
        limit.countsSilence = true;
        return limit;
    }

    double seconds;
    bool countsSilence = false;
};

// Called on the calling thread with each non-empty chunk of either stream as it arrives, decoded as
// UTF-8 and ending on a whole character; each byte that is not part of valid UTF-8 shows as U+FFFD.
using OutputHandler = std::function<void(const QString&)>;

// What outputHandler is given, and what the run keeps of it.
enum class HandlerReads {
    bothStreams,  // chunks of either stream; the result holds both in full
    // Standard output alone, which the handler reads as it goes: the result's output holds only its
    // start, enough to judge a failure by, and outputBytes, from the first byte that is not UTF-8
    // on, stands after one line feed for each line before, so that its lines are the output's.
    standardOutput,
};

// How standardInputLine reaches the tool.
enum class InputChannel {
    pipe,      // standard input holds the line, then end of file
    terminal,  // standard input and controlling terminal are a pseudo-terminal that types the line
};

ProcessResult run(const QString& executableURL, const QStringList& arguments,
                  const std::optional<QString>& currentDirectoryURL, TimeLimit timeout,
                  const OutputHandler& outputHandler, const CancellationToken& token,
                  const std::optional<QString>& standardInputLine = std::nullopt,
                  InputChannel inputChannel = InputChannel::pipe,
                  HandlerReads handlerReads = HandlerReads::bothStreams);

// Tests see every command line as the program gets it, executable first; an empty observer ends it.
using LaunchObserver = std::function<void(const QList<QByteArray>& commandLine)>;
void setLaunchObserverForTesting(LaunchObserver observer);

// Tests give every run limited by its silence this limit instead, so that a tool outlasts it with
// little work; nothing restores the limits the callers ask for.
void setSilenceLimitForTesting(std::optional<double> seconds);

}  // namespace ProcessRunner
