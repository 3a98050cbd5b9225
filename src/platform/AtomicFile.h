#pragma once

#include <sys/stat.h>
#include <sys/types.h>
#include <QByteArray>
#include <QString>
#include <optional>

// Replacing a file whole. The bytes go to a new hidden file in the same folder that is written, flushed
// and synced to the disk completely before it is renamed over the target; any failure on the way removes
// the new file and leaves the target exactly as it was (a full disk never empties a file). A target that
// is a symbolic link has the file it points to replaced.
namespace AtomicFile {

// The reason when the file could not be written (SystemErrorText::reason); nothing on success.
std::optional<QString> write(const QString& path, const QByteArray& bytes, mode_t mode);

// The name of the file a write in progress replaces, when fileName is that write's new file
// (".<name>.XXXXXX"); nothing for any other name. A killed write leaves that file behind.
std::optional<QString> targetOfTemporary(const QString& fileName);

}  // namespace AtomicFile
