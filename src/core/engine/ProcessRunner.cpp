#include "core/engine/ProcessRunner.h"

#include "core/base/CancellationError.h"
#include "platform/ToolText.h"
#include "core/engine/PasswordTerminal.h"
#include "core/engine/ProcessRunnerError.h"
#include "platform/FileDescriptor.h"
#include "platform/SystemErrorText.h"

#include <QDir>
#include <QFile>
#include <QStringDecoder>

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <sched.h>
#include <sys/ioctl.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace ProcessRunner {

namespace {

using Clock = std::chrono::steady_clock;

LaunchObserver gLaunchObserver;

// How long a terminated tool gets to exit on SIGTERM before its group is killed.
constexpr auto kTerminationGrace = std::chrono::milliseconds(1500);
// Without a pidfd the loop wakes this often to ask whether the child has exited.
constexpr int kExitCheckIntervalMs = 50;
// How often a password terminal looks whether the tool waits for its answer.
constexpr int kPromptCheckIntervalMs = 5;
// Large pipes and reads keep a chatty tool from switching to us every 64 KiB.
constexpr int kPipeCapacity = 1024 * 1024;
constexpr ssize_t kReadChunk = 1024 * 1024;

struct Pipe {
    FileDescriptor read;
    FileDescriptor write;
};

void setNonBlocking(int fd, bool nonBlocking) {
    const int flags = ::fcntl(fd, F_GETFL);
    ::fcntl(fd, F_SETFL, nonBlocking ? flags | O_NONBLOCK : flags & ~O_NONBLOCK);
}

void makePipe(Pipe& pipe) {
    std::array<int, 2> fds{};
    if (::pipe2(fds.data(), O_CLOEXEC) != 0) {
        throw ProcessRunnerError::launchFailed(SystemErrorText::reason(errno, SystemErrorText::Access::run));
    }
    pipe.read.reset(fds[0]);
    pipe.write.reset(fds[1]);
    setNonBlocking(fds[0], true);
    ::fcntl(fds[0], F_SETPIPE_SZ, kPipeCapacity);  // best effort: the system may cap it
}

// The parent's environment with LC_ALL=C.UTF-8, so tools print English messages and UTF-8 names.
// Without TZ, glibc checks /etc/localtime again for every time it converts: a 7-Zip listing of a
// large archive spends most of its time there. Naming the same file once keeps the same local time.
std::vector<QByteArray> childEnvironment() {
    std::vector<QByteArray> environment;
    for (char** entry = environ; entry && *entry; ++entry) {
        if (std::strncmp(*entry, "LC_ALL=", 7) != 0) environment.emplace_back(*entry);
    }
    environment.emplace_back("LC_ALL=C.UTF-8");
    if (!std::getenv("TZ")) environment.emplace_back("TZ=:/etc/localtime");
    return environment;
}

std::vector<char*> pointers(std::vector<QByteArray>& strings) {
    std::vector<char*> result;
    for (QByteArray& string : strings) result.push_back(string.data());
    result.push_back(nullptr);
    return result;
}

// A pipe already holding the line and a line break, its writing end closed: the child reads them, then
// end of file. The line is written before the child starts, so it must fit the pipe at once.
void makeInputPipe(Pipe& pipe, const QString& line) {
    makePipe(pipe);
    setNonBlocking(pipe.read.get(), false);
    setNonBlocking(pipe.write.get(), true);
    const QByteArray bytes = line.toUtf8() + '\n';
    if (::write(pipe.write.get(), bytes.constData(), static_cast<size_t>(bytes.size())) != bytes.size()) {
        throw ProcessRunnerError::launchFailed(
            SystemErrorText::reason(EMSGSIZE, SystemErrorText::Access::run));
    }
    pipe.write.reset();
}

bool hasExited(pid_t pid) {
    siginfo_t info{};
    return ::waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOHANG | WNOWAIT) == 0 &&
           info.si_pid == pid;
}

int reap(pid_t pid) {
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    if (WIFEXITED(status)) return WEXITSTATUS(status);
    return 128 + WTERMSIG(status);
}

// Everything the child needs, prepared before the clone: until its exec the child may only make
// async-signal-safe calls, so it allocates nothing and takes no lock.
struct ChildSetup {
    const char* program;
    char* const* argv;
    char* const* environment;
    const char* directory;  // nullptr: stay where velmora is
    int input;              // -1: the terminal, or /dev/null without one
    const char* terminal;   // a PasswordTerminal's path, or nullptr
    int output;
    int error;
    pid_t parent;
    int failureReport;  // close-on-exec: a successful exec closes it unwritten
};

// Signals whose handling the child must not inherit from velmora.
constexpr int kDefaultSignals[] = {SIGPIPE, SIGHUP,  SIGINT,  SIGQUIT, SIGTERM, SIGCHLD,
                                   SIGUSR1, SIGUSR2, SIGALRM, SIGTTIN, SIGTTOU};

[[noreturn]] void failChild(int reportFd) {
    const int code = errno;
    [[maybe_unused]] const ssize_t written = ::write(reportFd, &code, sizeof code);
    ::_exit(127);
}

[[noreturn]] void execChild(const ChildSetup& setup) {
    // The tool dies with velmora, however velmora ends, instead of writing on as an orphan. The
    // signal comes when the thread that cloned it ends; that thread waits in run() until the tool is
    // reaped, so it outlives the tool. A parent that died before this line is caught by getppid().
    if (::prctl(PR_SET_PDEATHSIG, SIGKILL) != 0 || ::getppid() != setup.parent) ::_exit(127);
    // Its own session: no controlling terminal to prompt on but a password terminal, and one process
    // group to signal.
    if (::setsid() < 0) failChild(setup.failureReport);
    struct sigaction defaultAction {};
    defaultAction.sa_handler = SIG_DFL;
    for (const int signal : kDefaultSignals) ::sigaction(signal, &defaultAction, nullptr);
    // A terminal opened by a session leader without O_NOCTTY becomes its controlling terminal, which
    // zip and unzip read passwords from.
    const int input = setup.input >= 0 ? setup.input
                      : setup.terminal ? ::open(setup.terminal, O_RDWR | O_CLOEXEC)
                                       : ::open("/dev/null", O_RDONLY | O_CLOEXEC);
    if (input < 0 || (setup.terminal && ::ioctl(input, TIOCSCTTY, 0) < 0) ||
        ::dup2(input, STDIN_FILENO) < 0 || ::dup2(setup.output, STDOUT_FILENO) < 0 ||
        ::dup2(setup.error, STDERR_FILENO) < 0) {
        failChild(setup.failureReport);
    }
    if (setup.directory && ::chdir(setup.directory) != 0) failChild(setup.failureReport);
    sigset_t none;
    sigemptyset(&none);
    ::sigprocmask(SIG_SETMASK, &none, nullptr);
    ::execve(setup.program, setup.argv, setup.environment);
    failChild(setup.failureReport);
}

// The child's errno when it could not start the program, read from the report pipe: nothing when the
// exec closed it.
std::optional<int> childFailure(int reportFd) {
    int code = 0;
    ssize_t count = 0;
    do {
        count = ::read(reportFd, &code, sizeof code);
    } while (count < 0 && errno == EINTR);
    if (count == static_cast<ssize_t>(sizeof code)) return code;
    return std::nullopt;
}

int startChild(void* setup) { execChild(*static_cast<const ChildSetup*>(setup)); }

// The child is cloned the way posix_spawn does it, sharing velmora's memory until its exec while this
// thread waits, rather than forked: a fork copies the page tables of the whole process and makes each
// page velmora writes afterwards fault, which made a primary serving a burst of outside runs spend half
// its time on those faults. Not posix_spawn itself, which has no way to ask for the parent-death
// signal. execChild changes no memory but this stack's and the thread's errno.
pid_t cloneChild(const ChildSetup& setup) {
    constexpr std::size_t kStackBytes = 64 * 1024;
    std::vector<char> stack(kStackBytes);
    return ::clone(startChild, stack.data() + stack.size(), CLONE_VM | CLONE_VFORK | SIGCHLD,
                   const_cast<ChildSetup*>(&setup));
}

pid_t spawn(const QString& executable, const QStringList& arguments, const std::optional<QString>& directory,
            const Pipe* input, const PasswordTerminal* terminal, const Pipe& output, const Pipe& error) {
    std::vector<QByteArray> argv{ToolText::encodedName(executable)};
    for (const QString& argument : arguments) argv.push_back(ToolText::encodedName(argument));
    if (gLaunchObserver) gLaunchObserver(QList<QByteArray>(argv.begin(), argv.end()));
    std::vector<QByteArray> environment = childEnvironment();
    std::vector<char*> argvPointers = pointers(argv);
    std::vector<char*> environmentPointers = pointers(environment);
    const QByteArray nativeDirectory = directory ? ToolText::encodedName(*directory) : QByteArray();
    Pipe report;
    makePipe(report);
    setNonBlocking(report.read.get(), false);
    const ChildSetup setup{argv.front().constData(),
                           argvPointers.data(),
                           environmentPointers.data(),
                           directory ? nativeDirectory.constData() : nullptr,
                           input ? input->read.get() : -1,
                           terminal ? terminal->childPath().constData() : nullptr,
                           output.write.get(),
                           error.write.get(),
                           ::getpid(),
                           report.write.get()};

    // No handler of velmora's may run in the child before it has reset them.
    sigset_t all;
    sigset_t previous;
    sigfillset(&all);
    ::pthread_sigmask(SIG_SETMASK, &all, &previous);
    const pid_t pid = cloneChild(setup);
    const int cloneError = errno;
    ::pthread_sigmask(SIG_SETMASK, &previous, nullptr);
    report.write.reset();
    const std::optional<int> failure =
        pid < 0 ? std::optional<int>(cloneError) : childFailure(report.read.get());
    if (failure) {
        if (pid > 0) reap(pid);
        throw ProcessRunnerError::launchFailed(
            SystemErrorText::reason(*failure, SystemErrorText::Access::run));
    }
    return pid;
}

// SIGTERM to the whole group (tar's gzip, a shell's children), SIGKILL after a grace period, then
// reap. The unreaped child keeps its pid, so the group id cannot be reused while we signal it.
void terminateAndReap(pid_t pid) {
    ::kill(-pid, SIGTERM);
    const auto deadline = Clock::now() + kTerminationGrace;
    while (!hasExited(pid) && Clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    ::kill(-pid, SIGKILL);
    reap(pid);
}

// How many leading bytes end on a whole character: a read may stop inside a multi-byte UTF-8
// sequence, whose start is then kept for the next read. Anything else, valid or not, is complete.
qsizetype completeUtf8Length(QByteArrayView bytes) {
    for (qsizetype start = bytes.size() - 1; start >= 0 && start >= bytes.size() - 3; --start) {
        const auto byte = static_cast<unsigned char>(bytes[start]);
        if ((byte & 0xC0) == 0x80) continue;  // a continuation byte: its lead lies further back
        const qsizetype length = (byte & 0xE0) == 0xC0   ? 2
                                 : (byte & 0xF0) == 0xE0 ? 3
                                 : (byte & 0xF8) == 0xF0 ? 4
                                                         : 1;
        return start + length > bytes.size() ? start : bytes.size();
    }
    return bytes.size();
}

// One open output stream of the child. Its text is decoded while the tool still runs, a read at a
// time, rather than all at once after it has exited: a listing of many megabytes would otherwise
// add its whole decoding time to the run.
struct Stream {
    FileDescriptor* fd = nullptr;
    QByteArray pending;  // read but not yet decoded: the start of a character cut by a read
    QString text;
    // The stream as printed, kept from the first byte that was not UTF-8 on; until then the text
    // holds the same bytes.
    QByteArray bytes;
    bool lossy = false;
    qint64 received = 0;  // bytes read so far, to tell a silent tool from one that prints
    // The handler reads this stream's text, which is then kept only up to kKeptHandedText.
    bool handedOver = false;
    qsizetype lineFeeds = 0;  // handed over: the line feeds decoded so far
    QByteArray lineStart;     // handed over: the bytes since the last of them
};

// What a run keeps of a stream its handler reads: a listing's failure is told at its start.
constexpr qsizetype kKeptHandedText = 256 * 1024;

// Decodes valid UTF-8 straight onto the end of text, which grows by doubling: a string of its own
// for every read, copied onto the text, cost as much again as the decoding in allocations, page
// faults and copies. Returns false, leaving text as it was, when the bytes are not all valid.
bool appendUtf8(QString& text, QByteArrayView bytes) {
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const qsizetype size = text.size();
    const qsizetype needed = size + decoder.requiredSpace(bytes.size());
    if (text.capacity() < needed) text.reserve(std::max(needed, 2 * text.capacity()));
    text.resize(needed);
    const QChar* end = decoder.appendToBuffer(text.data() + size, bytes);
    text.resize(decoder.hasError() ? size : end - text.constData());
    return !decoder.hasError();
}

// A chunk of a stream the handler reads: decoded for the handler alone. The bytes are kept from the
// first that is not UTF-8 on, after a line feed for each line before.
void handOver(Stream& stream, QByteArrayView chunk, const OutputHandler& outputHandler) {
    QString piece;
    if (!stream.lossy && appendUtf8(piece, chunk)) {
        const qsizetype lastFeed = chunk.lastIndexOf('\n');
        if (lastFeed < 0) {
            stream.lineStart += chunk;
        } else {
            stream.lineFeeds += chunk.count('\n');
            stream.lineStart = chunk.sliced(lastFeed + 1).toByteArray();
        }
    } else {
        if (!stream.lossy) stream.bytes = QByteArray(stream.lineFeeds, '\n') + stream.lineStart;
        stream.lossy = true;
        stream.bytes += chunk;
        piece = ToolText::decode(chunk);
    }
    if (stream.text.size() < kKeptHandedText)
        stream.text += QStringView(piece).first(std::min(piece.size(), kKeptHandedText - stream.text.size()));
    if (outputHandler && !piece.isEmpty()) outputHandler(piece);
}

// Decodes the first `length` pending bytes onto the stream's text; the new text goes to the handler.
void decodePending(Stream& stream, qsizetype length, const OutputHandler& outputHandler) {
    if (length == 0) return;
    const QByteArrayView chunk = QByteArrayView(stream.pending).first(length);
    if (stream.handedOver) {
        handOver(stream, chunk, outputHandler);
        stream.pending.remove(0, length);
        return;
    }
    const qsizetype start = stream.text.size();
    if (!stream.lossy && !appendUtf8(stream.text, chunk)) {
        stream.lossy = true;
        stream.bytes = stream.text.toUtf8();
    }
    if (stream.lossy) {
        stream.bytes += chunk;
        stream.text += ToolText::decode(chunk);
    }
    stream.pending.remove(0, length);  // keeps the buffer, so the next read needs no allocation
    if (outputHandler && stream.text.size() > start) outputHandler(stream.text.sliced(start));
}

// Reads whatever is available now and decodes it up to the last whole character. Returns false at
// end of data.
bool readAvailable(Stream& stream, const OutputHandler& outputHandler) {
    while (true) {
        const qsizetype start = stream.pending.size();
        stream.pending.resize(start + static_cast<qsizetype>(kReadChunk));
        const ssize_t count = ::read(stream.fd->get(), stream.pending.data() + start, kReadChunk);
        stream.pending.resize(start + std::max<ssize_t>(count, 0));
        if (count > 0) {
            stream.received += count;
            decodePending(stream, completeUtf8Length(stream.pending), outputHandler);
            continue;
        }
        if (count < 0 && errno == EINTR) continue;
        if (count < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return true;
        stream.fd->reset();
        return false;
    }
}

// Decodes a character left unfinished at the end (its bytes show as U+FFFD) and gives back what
// doubling reserved beyond the text.
void finish(Stream& stream, const OutputHandler& outputHandler) {
    decodePending(stream, stream.pending.size(), outputHandler);
    stream.text.squeeze();
}

// A number a /proc file of the process gives: the value after `label` in /proc/<pid>/io, or the first
// two fields of /proc/<pid>/schedstat (its time on a CPU and its time waiting for one, in ns).
qint64 procNumber(const QString& path, const QByteArray& label) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return 0;
    const QByteArray text = file.readAll();
    if (label.isEmpty()) {
        const QList<QByteArray> fields = text.simplified().split(' ');
        return fields.size() < 2 ? 0 : fields[0].toLongLong() + fields[1].toLongLong();
    }
    const qsizetype at = text.indexOf(label);
    return at < 0 ? 0 : text.mid(at + label.size(), text.indexOf('\n', at) - at - label.size()).toLongLong();
}

// How far the tool's process group has come: what its processes have read (rchar) and the time each
// has run or waited to run. A tool that prints nothing while it reads or computes is working (GNU tar
// prints a large entry's line only once it has read past its data, through its decompressor), and so
// is one a loaded machine keeps waiting for a CPU; a hung one sleeps, and none of these grows.
qint64 groupProgress(pid_t group) {
    qint64 progress = 0;
    for (const QString& name : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        if (!name.front().isDigit()) continue;
        const QString process = QStringLiteral("/proc/") + name;
        QFile stat(process + QStringLiteral("/stat"));
        if (!stat.open(QIODevice::ReadOnly)) continue;
        // pid (comm) state ppid pgrp …: the name may hold spaces and parentheses.
        const QByteArray fields = stat.readAll();
        const QList<QByteArray> after = fields.mid(fields.lastIndexOf(')') + 2).split(' ');
        if (after.size() < 3 || after[2].toLongLong() != group) continue;
        progress += procNumber(process + QStringLiteral("/io"), "rchar: ") +
                    procNumber(process + QStringLiteral("/schedstat"), {});
    }
    return progress;
}

std::optional<double> gSilenceLimitForTesting;

int openPidfd(pid_t pid) {
#ifdef SYS_pidfd_open
    return static_cast<int>(::syscall(SYS_pidfd_open, pid, 0));
#else
    (void)pid;
    return -1;
#endif
}

}  // namespace

void setLaunchObserverForTesting(LaunchObserver observer) { gLaunchObserver = std::move(observer); }

void setSilenceLimitForTesting(std::optional<double> seconds) { gSilenceLimitForTesting = seconds; }

ProcessResult run(const QString& executableURL, const QStringList& arguments,
                  const std::optional<QString>& currentDirectoryURL, TimeLimit timeout,
                  const OutputHandler& outputHandler, const CancellationToken& token,
                  const std::optional<QString>& standardInputLine, InputChannel inputChannel,
                  HandlerReads handlerReads) {
    token.throwIfCancelled();

    const bool throughPipe = standardInputLine && inputChannel == InputChannel::pipe;
    Pipe input;
    if (throughPipe) makeInputPipe(input, *standardInputLine);
    const std::unique_ptr<PasswordTerminal> terminal =
        standardInputLine && !throughPipe ? PasswordTerminal::open(*standardInputLine) : nullptr;
    if (standardInputLine && !throughPipe && !terminal) {
        throw ProcessRunnerError::launchFailed(SystemErrorText::reason(errno, SystemErrorText::Access::run));
    }
    Pipe output;
    Pipe error;
    Pipe wake;
    makePipe(output);
    makePipe(error);
    makePipe(wake);
    const int wakeWrite = wake.write.get();
    const CancellationToken::Registration registration = token.onCancel([wakeWrite] {
        const char byte = 1;
        [[maybe_unused]] const ssize_t written = ::write(wakeWrite, &byte, 1);
    });

    const pid_t pid = spawn(executableURL, arguments, currentDirectoryURL, throughPipe ? &input : nullptr,
                            terminal.get(), output, error);
    input.read.reset();
    output.write.reset();
    error.write.reset();
    const FileDescriptor exitFd(openPidfd(pid));
    const double seconds =
        timeout.countsSilence ? gSilenceLimitForTesting.value_or(timeout.seconds) : timeout.seconds;
    const auto limit = std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds));
    auto deadline = Clock::now() + limit;
    qint64 progressAtDeadline = timeout.countsSilence ? groupProgress(pid) : 0;

    Stream streams[2];
    streams[0].fd = &output.read;
    streams[1].fd = &error.read;
    const bool outputOnly = handlerReads == HandlerReads::standardOutput && outputHandler;
    streams[0].handedOver = outputOnly;
    // The handler of each stream.
    const OutputHandler none;
    const auto handlerOf = [&](const Stream& stream) -> const OutputHandler& {
        return outputOnly && !stream.handedOver ? none : outputHandler;
    };
    const auto received = [&streams] { return streams[0].received + streams[1].received; };

    bool exited = false;
    while (!exited) {
        std::vector<pollfd> fds{{wake.read.get(), POLLIN, 0}};
        for (const Stream& stream : streams) {
            if (stream.fd->isOpen()) fds.push_back({stream.fd->get(), POLLIN, 0});
        }
        if (exitFd.isOpen()) fds.push_back({exitFd.get(), POLLIN, 0});
        if (terminal) fds.push_back({terminal->fd(), POLLIN, 0});

        const auto remaining = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        int waitMs = static_cast<int>(std::clamp<long long>(remaining.count(), 0, INT_MAX));
        if (!exitFd.isOpen()) waitMs = std::min(waitMs, kExitCheckIntervalMs);
        if (terminal) waitMs = std::min(waitMs, kPromptCheckIntervalMs);
        ::poll(fds.data(), fds.size(), waitMs);
        if (terminal) terminal->serve();

        if (token.isCancelled()) {
            terminateAndReap(pid);
            throw CancellationError();
        }
        const qint64 receivedBefore = received();
        for (Stream& stream : streams) {
            if (stream.fd->isOpen()) readAvailable(stream, handlerOf(stream));
        }
        if (timeout.countsSilence && received() != receivedBefore) deadline = Clock::now() + limit;
        exited = hasExited(pid);
        // One reading of the clock for both checks: a deadline that passes between two readings would
        // stop a silent tool without a look at its progress.
        const Clock::time_point now = Clock::now();
        if (!exited && now >= deadline && timeout.countsSilence) {
            // Silent but still working: not hung.
            const qint64 progress = groupProgress(pid);
            if (progress != progressAtDeadline) deadline = now + limit;
            progressAtDeadline = progress;
        }
        if (!exited && now >= deadline) {
            terminateAndReap(pid);
            throw ProcessRunnerError::timedOut(timeout.countsSilence);
        }
    }

    // The child is gone; take what it wrote before exiting. A grandchild that still holds the pipes
    // open does not keep us waiting.
    for (Stream& stream : streams) {
        if (stream.fd->isOpen()) readAvailable(stream, handlerOf(stream));
    }
    const int status = reap(pid);
    for (Stream& stream : streams) finish(stream, handlerOf(stream));
    return ProcessResult{status, std::move(streams[0].text), std::move(streams[1].text),
                         std::move(streams[0].bytes)};
}

}  // namespace ProcessRunner
