#include "platform/PrivateFile.h"

#include "platform/AtomicFile.h"

namespace PrivateFile {

std::optional<QString> write(const QString& path, const QByteArray& bytes) {
    return AtomicFile::write(path, bytes, S_IRUSR | S_IWUSR);
}

}  // namespace PrivateFile
