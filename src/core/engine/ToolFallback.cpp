#include "core/engine/ToolFallback.h"

#include "core/base/ArchiveFormat.h"
#include "core/engine/ArchiveTools.h"
#include "core/engine/ExtractionSteps.h"
#include "core/engine/ToolFailure.h"

namespace ToolFallback {

namespace {

// The program's attempt and its verdict, when the program is installed and has one.
std::optional<Run> attempt(const ArchivePrograms& programs, Program program, const Attempts& attempts,
                           const QStringList& echoedNames) {
    if (program == Program::zipReader) {
        if (!attempts.zipReader) return std::nullopt;
        ProcessResult result = attempts.zipReader();
        const ToolOutcome outcome = result.status == 0 ? ToolOutcome::success : ToolOutcome::failed;
        return Run{program, std::move(result), outcome};
    }
    const std::unique_ptr<ArchiveDriver> driver = programs.driver(program);
    if (!driver || !attempts.step) return std::nullopt;
    std::optional<ProcessResult> result = attempts.step(*driver);
    if (!result) return std::nullopt;
    const ToolOutcome outcome = driver->classify(*result, echoedNames);
    return Run{program, std::move(*result), outcome};
}

// What a failed run's words say (ToolFailure::namedFailure), least first: nothing known, damage
// (another program may read past it), or a reason every program would meet. A program that could not
// read the file (ToolOutcome::unreadable) says nothing of it beside another program's failure: 7-Zip may
// lack the format (Debian's has no RAR), or have read a TAR only in part (a long name it could not read is
// a "Headers Error" to it), where GNU tar said what failed.
enum class Verdict { unknown, damaged, reason };

Verdict verdictOf(const Run& run, const QStringList& echoedNames) {
    // A warning after another program's failure says the archive is not whole, and no more.
    if (run.outcome == ToolOutcome::unreadable || run.outcome == ToolOutcome::warned) return Verdict::unknown;
    const std::optional<ArchiveError> named = ToolFailure::namedFailure(run.result, echoedNames);
    if (!named) return Verdict::unknown;
    // Damage named in one entry is the archive's, whichever program reads it.
    const bool damaged = named->kind() == ArchiveError::Kind::corruptedArchive && named->payload().isEmpty();
    return damaged ? Verdict::damaged : Verdict::reason;
}

// The engine's program for the table's; nothing for an unused place.
std::optional<Program> program(ArchiveKindTable::Program tableProgram) {
    switch (tableProgram) {
        case ArchiveKindTable::Program::sevenZip:
            return Program::sevenZip;
        case ArchiveKindTable::Program::zipReader:
            return Program::zipReader;
        case ArchiveKindTable::Program::unrar:
            return Program::unrar;
        case ArchiveKindTable::Program::infoZip:
            return Program::infoZip;
        case ArchiveKindTable::Program::tar:
            return Program::tar;
        case ArchiveKindTable::Program::none:
            break;
    }
    return std::nullopt;
}

// The programs of a kind, in its row's order.
QList<Program> kindOrder(ArchiveFormat::Kind kind, bool hasPassword) {
    QList<Program> programs;
    for (const ArchiveKindTable::ProgramStep& step : ArchiveKindTable::row(kind).programs) {
        if (step.onlyWithPassword && !hasPassword) continue;
        if (const std::optional<Program> known = program(step.program)) programs.append(*known);
    }
    return programs;
}

}  // namespace

QList<Program> order(const QString& fileURL, bool hasPassword) {
    // A RAR volume opens as RAR; the other numbered pieces have no kind of their own.
    const std::optional<ArchiveFormat::Kind> kind =
        ArchiveFormat::kindOrSetKind(fileURL) == ArchiveFormat::Kind::rar ? ArchiveFormat::Kind::rar
                                                                          : ArchiveFormat::kind(fileURL);
    if (!kind) return {Program::sevenZip};
    return kindOrder(*kind, hasPassword);
}

std::optional<Run> runInOrder(const ArchivePrograms& programs, const QList<Program>& order,
                              const Attempts& attempts, const QStringList& echoedNames,
                              const CancellationToken& token) {
    // The last run decides when it succeeded; when it failed, of the failures that all hand over the
    // first that says most stands, also over a success between them that was no use (a ZIP reader that
    // found no rows).
    std::optional<Run> failure;
    std::optional<Run> success;
    Verdict failureVerdict = Verdict::unknown;
    for (const Program program : order) {
        token.throwIfCancelled();
        // What a failed run wrote is not the next one's.
        if ((failure || success) && !attempts.outputFolder.isEmpty())
            ExtractionSteps::emptyFolder(attempts.outputFolder);
        std::optional<Run> run = attempt(programs, program, attempts, echoedNames);
        if (!run) continue;
        // A warning is a success only where no program failed before: beside another's failure it says
        // the archive is not whole.
        if (run->outcome == ToolOutcome::success || (run->outcome == ToolOutcome::warned && !failure)) {
            run->result.status = 0;
            success = std::move(run);
            if (!attempts.unusable || !attempts.unusable(program)) return success;
            continue;
        }
        const Verdict verdict = verdictOf(*run, echoedNames);
        success.reset();
        if (!failure || verdict > failureVerdict) {
            failure = std::move(run);
            failureVerdict = verdict;
        }
        if (verdict == Verdict::reason) break;
    }
    return success ? success : failure;
}

std::optional<Run> extractWhole(const ArchivePrograms& programs, const QString& archive,
                                const QString& destination, int threadCount,
                                const std::optional<QString>& password, const CancellationToken& token) {
    Attempts attempts;
    attempts.outputFolder = destination;
    attempts.step = [&](const ArchiveDriver& driver) {
        return driver.extract(archive, destination, threadCount, password, token);
    };
    return runInOrder(programs, order(archive, ArchiveTools::givenPassword(password).has_value()), attempts,
                      {archive, destination}, token);
}

}  // namespace ToolFallback
