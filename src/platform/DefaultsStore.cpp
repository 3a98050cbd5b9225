#include "platform/DefaultsStore.h"

#include "platform/PrivateFile.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

namespace {
constexpr QFileDevice::Permissions kPrivateFolder =
    QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner;
}  // namespace

QString DefaultsStore::standardDirectory() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/velmora/defaults");
}

DefaultsStore::DefaultsStore(QString directory) : m_directory(std::move(directory)) {}

QString DefaultsStore::filePath(const QString& key) const {
    return m_directory + QLatin1Char('/') + key + QStringLiteral(".json");
}

bool DefaultsStore::ensureDirectory() const {
    QDir dir(m_directory);
    if (!dir.exists() && !QDir().mkpath(m_directory)) return false;
    return QFile::setPermissions(m_directory, kPrivateFolder);
}

std::optional<QByteArray> DefaultsStore::data(const QString& key) const {
    QFile file(filePath(key));
    if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
    return file.readAll();
}

bool DefaultsStore::setData(const QString& key, const QByteArray& bytes) {
    if (data(key) == bytes) return true;
    if (!ensureDirectory()) return false;
    return !PrivateFile::write(filePath(key), bytes);
}

void DefaultsStore::remove(const QString& key) { QFile::remove(filePath(key)); }

void DefaultsStore::keepUndecodableValue(const QString& key) {
    const std::optional<QByteArray> bytes = data(key);
    if (!bytes) return;
    PrivateFile::write(filePath(key) + QStringLiteral(".bad"), *bytes);
}
