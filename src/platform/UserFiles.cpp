#include "platform/UserFiles.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <filesystem>
#include <system_error>

namespace UserFiles {

std::optional<QString> write(const QString& path, const QByteArray& bytes,
                             QFileDevice::Permissions permissions) {
    std::error_code error;
    std::filesystem::create_directories(QFile::encodeName(QFileInfo(path).absolutePath()).toStdString(),
                                        error);
    if (error) return QString::fromStdString(error.message());

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return file.errorString();
    file.setPermissions(permissions);
    file.write(bytes);
    if (!file.commit()) return file.errorString();
    return std::nullopt;
}

std::optional<QString> remove(const QString& path) {
    QFile file(path);
    if (!QFileInfo(path).exists() && !QFileInfo(path).isSymLink()) return std::nullopt;
    if (!file.remove()) return file.errorString();
    return std::nullopt;
}

}  // namespace UserFiles
