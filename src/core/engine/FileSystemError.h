#pragma once

#include "core/engine/VelmoraError.h"

// A file operation of velmora's own (not a tool's) failed: creating a folder, copying, deleting or
// listing. errorNumber is the errno of the failing call, 0 when unknown.
class FileSystemError : public VelmoraError {
public:
    enum class Operation { createFolder, copy, remove, list };

    FileSystemError(Operation operation, QString path, int errorNumber)
        : m_operation(operation), m_path(std::move(path)), m_errorNumber(errorNumber) {}

    Operation operation() const { return m_operation; }
    const QString& path() const { return m_path; }
    int errorNumber() const { return m_errorNumber; }
    QString message() const override;

private:
    Operation m_operation;
    QString m_path;
    int m_errorNumber;
};
