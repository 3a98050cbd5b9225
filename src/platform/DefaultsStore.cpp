#include "platform/DefaultsStore.h"

#include "platform/PrivateFile.h"
#include "platform/SystemErrorText.h"
#include "platform/UserFiles.h"

#include <sys/stat.h>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <cerrno>

namespace {

QString keptCopyPrefix(const QString& key) { return key + QStringLiteral(".json.bad"); }

}  // namespace

QString DefaultsStore::standardDirectory() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/velmora/defaults");
}

DefaultsStore::DefaultsStore(QString directory) : m_directory(std::move(directory)) {}

QString DefaultsStore::filePath(const QString& key) const {
    return m_directory + QLatin1Char('/') + key + QStringLiteral(".json");
}

std::optional<QString> DefaultsStore::ensureDirectory() const {
    if (!QDir().mkpath(m_directory)) return QStringLiteral(u"无法创建文件夹 ") + m_directory;
    if (::chmod(QFile::encodeName(m_directory).constData(), 0700) != 0)
        return SystemErrorText::reason(errno, SystemErrorText::Access::write);
    return std::nullopt;
}

DefaultsStore::Stored DefaultsStore::read(const QString& key) const {
    QFile file(filePath(key));
    if (!file.open(QIODevice::ReadOnly)) {
        if (!file.exists()) return {};
        return {.bytes = std::nullopt,
                .readFailure = SystemErrorText::reasonOf(file, SystemErrorText::Access::read)};
    }
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return {.bytes = std::nullopt,
                .readFailure = SystemErrorText::reasonOf(file, SystemErrorText::Access::read)};
    return {.bytes = std::move(bytes), .readFailure = std::nullopt};
}

std::optional<QByteArray> DefaultsStore::data(const QString& key) const { return read(key).bytes; }

std::optional<QString> DefaultsStore::write(const QString& key, const QByteArray& bytes) {
    const Stored stored = read(key);
    // Replacing a file nobody could read (one left by "sudo velmora", say) would lose it for good.
    if (stored.readFailure)
        return QStringLiteral(u"无法读取原有文件（") + *stored.readFailure + QStringLiteral(u"）");
    if (stored.bytes == bytes) return std::nullopt;
    if (std::optional<QString> failure = ensureDirectory()) return failure;
    return PrivateFile::write(filePath(key), bytes);
}

std::optional<QString> DefaultsStore::remove(const QString& key) { return UserFiles::remove(filePath(key)); }

std::optional<QString> DefaultsStore::existingCopy(const QString& key, const QByteArray& bytes) const {
    const QStringList names =
        QDir(m_directory).entryList({keptCopyPrefix(key) + QLatin1Char('*')}, QDir::Files | QDir::Hidden);
    for (const QString& name : names) {
        QFile copy(m_directory + QLatin1Char('/') + name);
        if (copy.size() == bytes.size() && copy.open(QIODevice::ReadOnly) && copy.readAll() == bytes) {
            return copy.fileName();
        }
    }
    return std::nullopt;
}

DefaultsStore::KeptCopy DefaultsStore::keepAside(const QString& key, const QByteArray& bytes,
                                                 const QDateTime& now) const {
    if (std::optional<QString> existing = existingCopy(key, bytes)) return {.path = *existing, .failure = {}};
    const QString stem = m_directory + QLatin1Char('/') + keptCopyPrefix(key) + QLatin1Char('-') +
                         now.toUTC().toString(QStringLiteral("yyyyMMdd'T'HHmmss'Z'"));
    QString path = stem;
    for (int number = 2; QFileInfo::exists(path); ++number)
        path = stem + QLatin1Char('-') + QString::number(number);
    return {.path = path, .failure = PrivateFile::write(path, bytes)};
}
