#include "platform/UserFiles.h"

#include "platform/AtomicFile.h"
#include "platform/DefaultsStore.h"
#include "platform/SystemErrorText.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <algorithm>
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

QStringList missingFolders(const QString& folder) {
    QStringList missing;
    for (QString path = QDir::cleanPath(folder); !QFileInfo(path).exists() && !QFileInfo(path).isSymLink();) {
        missing.append(path);
        const QString parent = QFileInfo(path).absolutePath();
        if (parent == path) break;
        path = parent;
    }
    return missing;
}

void removeEmptyFolders(QStringList folders) {
    // rmdir leaves a folder that holds anything.
    std::sort(folders.begin(), folders.end(),
              [](const QString& a, const QString& b) { return a.size() > b.size(); });
    for (const QString& folder : folders) QDir().rmdir(folder);
}

QStringList createdFolders(const DefaultsStore& defaults, const QString& key) {
    QStringList folders;
    const std::optional<QByteArray> bytes = defaults.data(key);
    for (const QJsonValue& folder : QJsonDocument::fromJson(bytes.value_or(QByteArray())).array()) {
        if (folder.isString()) folders.append(folder.toString());
    }
    return folders;
}

std::optional<QString> recordCreatedFolders(DefaultsStore& defaults, const QString& key,
                                            const QStringList& folders) {
    return defaults.write(key, QJsonDocument(QJsonArray::fromStringList(folders)).toJson(QJsonDocument::Compact));
}

}  // namespace UserFiles
