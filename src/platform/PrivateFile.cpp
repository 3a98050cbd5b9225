#include "platform/PrivateFile.h"

#include <QSaveFile>

namespace PrivateFile {

std::optional<QString> write(const QString& path, const QByteArray& bytes) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return file.errorString();
    // Before any byte is written, so the secret is never readable by others, not even for a moment.
    if (!file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner)) return file.errorString();
    if (file.write(bytes) != bytes.size() || !file.commit()) return file.errorString();
    return std::nullopt;
}

}  // namespace PrivateFile
