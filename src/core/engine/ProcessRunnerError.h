#pragma once

#include "platform/VelmoraError.h"

// A tool run that did not end on its own: it hit its time limit, or could not be started at all. The
// messages say what happened to the tool, never its program file's name.
class ProcessRunnerError : public VelmoraError {
public:
    enum class Kind { timedOut, launchFailed };

    // silence: the limit counted the time since the tool last printed, not its whole run.
    static ProcessRunnerError timedOut(bool silence) { return {Kind::timedOut, silence, {}}; }
    static ProcessRunnerError launchFailed(const QString& reason) {
        return {Kind::launchFailed, false, reason};
    }

    Kind kind() const { return m_kind; }
    QString message() const override;

private:
    ProcessRunnerError(Kind kind, bool silence, QString reason)
        : m_kind(kind), m_silence(silence), m_reason(std::move(reason)) {}

    Kind m_kind;
    bool m_silence;
    QString m_reason;
};
