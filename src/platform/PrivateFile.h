#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

// Files that hold secrets (stored values, exported passwords): replaced whole (AtomicFile), so a failed
// write leaves the old file, and readable and writable by the owner only; and the folders velmora keeps
// such things in, the owner's alone.
namespace PrivateFile {

// The reason when the file could not be written (SystemErrorText::reason); nothing on success.
std::optional<QString> write(const QString& path, const QByteArray& bytes);

// Makes the folder at the absolute path, and each folder missing above it, 0700 whatever the umask,
// and sets the folder itself to 0700 when it was there. 0, or the error number.
int makeFolder(const QString& path);

}  // namespace PrivateFile
