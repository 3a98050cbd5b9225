#pragma once

#include "core/engine/VelmoraError.h"

// A file the user picked could not be read; the message is the file system's own error text.
class FileReadError : public VelmoraError {
public:
    FileReadError(QString path, QString reason) : m_path(std::move(path)), m_reason(std::move(reason)) {}

    const QString& path() const { return m_path; }
    QString message() const override { return m_reason; }

private:
    QString m_path;
    QString m_reason;
};
