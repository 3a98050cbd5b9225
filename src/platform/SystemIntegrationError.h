#pragma once

#include "platform/VelmoraError.h"

// A failure of the desktop integration: file associations or file-manager entries.
class SystemIntegrationError : public VelmoraError {
public:
    enum class Kind {
        // The user's mimeapps.list could not be read, parsed or written; the payload says why.
        launchServicesPreferenceFailed,
        // The file-manager entries could not be written or removed, or the helper is missing.
        finderSyncConfigurationFailed,
        // velmora's own desktop entry is not installed, so nothing can name it as a handler.
        bundleIdentifierUnavailable,
        // What velmora keeps to undo its changes later (the defaults it replaced, the group or the
        // folders it added) could not be saved; the payload is the reason, which message() gives alone
        // for the caller to word as any failed save.
        recordSaveFailed,
    };

    explicit SystemIntegrationError(Kind kind, QString detail = {})
        : m_kind(kind), m_detail(std::move(detail)) {}

    Kind kind() const { return m_kind; }
    const QString& detail() const { return m_detail; }
    QString message() const override;

private:
    Kind m_kind;
    QString m_detail;
};
