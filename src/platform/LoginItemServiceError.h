#pragma once

#include "platform/VelmoraError.h"

// A failure to switch start at login on or off.
class LoginItemServiceError : public VelmoraError {
public:
    enum class Kind {
        // The autostart entry could not be written or removed; the payload is the system's reason.
        autostartEntryFailed,
        appPathUnavailable,
    };

    explicit LoginItemServiceError(Kind kind, QString detail = {})
        : m_kind(kind), m_detail(std::move(detail)) {}

    Kind kind() const { return m_kind; }
    QString message() const override;

private:
    Kind m_kind;
    QString m_detail;
};
