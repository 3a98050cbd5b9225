#pragma once

#include "platform/SystemErrorText.h"
#include "platform/VelmoraError.h"

#include <QFileDevice>

// A file or folder that could not be opened, read, written, saved, created, copied, removed or listed,
// with the system's reason in Chinese (SystemErrorText).
class FileSystemError : public VelmoraError {
public:
    enum class Kind {
        openFailed,  // opened for reading
        readFailed,
        writeFailed,
        saveFailed,  // a finished file that could not be put under its name
        createFailed,
        copyFailed,
        removeFailed,
        listFailed
    };

    FileSystemError(Kind kind, QString path, QString reason)
        : m_kind(kind), m_path(std::move(path)), m_reason(std::move(reason)) {}

    // The reason of a failed system call, a refusal worded by the kind's direction (a folder that could
    // not be listed lacked read permission); none for errorNumber 0.
    static FileSystemError fromErrorNumber(Kind kind, const QString& path, int errorNumber);
    // The reason of the file's last failure, worded alike.
    static FileSystemError fromFile(Kind kind, const QString& path, const QFileDevice& file);
    // No private temporary folder could be made: names the folder in the way and why (taken by another
    // user, say), never the work folder that was wanted inside it.
    static FileSystemError privateTempUnavailable();

    Kind kind() const { return m_kind; }
    const QString& path() const { return m_path; }
    QString message() const override;

private:
    static SystemErrorText::Access accessOf(Kind kind);

    Kind m_kind;
    QString m_path;
    QString m_reason;
};
