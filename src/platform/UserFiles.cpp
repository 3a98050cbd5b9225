#include "platform/UserFiles.h"

#include "platform/AtomicFile.h"
#include "platform/SystemErrorText.h"

#include <QFile>
#include <QFileInfo>
#include <filesystem>
#include <system_error>

namespace UserFiles {

namespace {

// Qt keeps owner, group and other bits four bits apart; the owner's are also given as the user's.
mode_t mode(QFileDevice::Permissions permissions) {
    const auto bits = static_cast<unsigned>(permissions.toInt());
    return static_cast<mode_t>((((bits >> 12) & 7U) << 6) | (((bits >> 4) & 7U) << 3) | (bits & 7U));
}

}  // namespace

std::optional<QString> write(const QString& path, const QByteArray& bytes,
                             QFileDevice::Permissions permissions) {
    std::error_code error;
    std::filesystem::create_directories(QFile::encodeName(QFileInfo(path).absolutePath()).toStdString(),
                                        error);
    if (error) return SystemErrorText::reason(error.value(), SystemErrorText::Access::write);

    return AtomicFile::write(path, bytes, mode(permissions));
}

std::optional<QString> remove(const QString& path) {
    QFile file(path);
    if (!QFileInfo(path).exists() && !QFileInfo(path).isSymLink()) return std::nullopt;
    if (!file.remove()) return SystemErrorText::reasonOf(file, SystemErrorText::Access::write);
    return std::nullopt;
}

}  // namespace UserFiles
