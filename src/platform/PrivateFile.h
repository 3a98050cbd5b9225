#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

// Files that hold secrets (stored values, exported passwords): replaced whole (AtomicFile), so a failed
// write leaves the old file, and readable and writable by the owner only.
namespace PrivateFile {

// The reason when the file could not be written (SystemErrorText::reason); nothing on success.
std::optional<QString> write(const QString& path, const QByteArray& bytes);

}  // namespace PrivateFile
