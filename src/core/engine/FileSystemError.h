#pragma once

#include "core/engine/VelmoraError.h"

#include <system_error>

// A file-system operation of velmora's own (not of a tool) that failed, with the system's reason when
// it gave one.
class FileSystemError : public VelmoraError {
public:
    static FileSystemError cannotCreateFolder(const QString& path, std::error_code reason = {}) {
        return FileSystemError(path, reason);
    }

    const QString& path() const { return m_path; }
    std::error_code reason() const { return m_reason; }
    QString message() const override;

private:
    FileSystemError(QString path, std::error_code reason) : m_path(std::move(path)), m_reason(reason) {}

    QString m_path;
    std::error_code m_reason;
};
