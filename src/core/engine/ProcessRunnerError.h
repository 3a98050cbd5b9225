#pragma once

#include "platform/VelmoraError.h"

// A tool run that did not end on its own: it hit its time-out, or could not be started at all.
class ProcessRunnerError : public VelmoraError {
public:
    enum class Kind { timedOut, launchFailed };

    // executableName is the last path component of the tool's path.
    static ProcessRunnerError timedOut(const QString& executableName) {
        return {Kind::timedOut, executableName, {}};
    }
    static ProcessRunnerError launchFailed(const QString& executableName, const QString& reason) {
        return {Kind::launchFailed, executableName, reason};
    }

    Kind kind() const { return m_kind; }
    const QString& executableName() const { return m_executableName; }
    QString message() const override;

private:
    ProcessRunnerError(Kind kind, QString executableName, QString reason)
        : m_kind(kind), m_executableName(std::move(executableName)), m_reason(std::move(reason)) {}

    Kind m_kind;
    QString m_executableName;
    QString m_reason;
};
