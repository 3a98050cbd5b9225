#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

// Files that hold secrets (stored values, exported passwords): written whole through a temporary file
// in the same folder that then replaces the target, so a failed write leaves the old file, and
// readable and writable by the owner only.
namespace PrivateFile {

// The system's reason when the file could not be written; nothing on success.
std::optional<QString> write(const QString& path, const QByteArray& bytes);

}  // namespace PrivateFile
