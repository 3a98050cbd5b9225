#include "core/state/SettingsStore.h"

#include "core/base/UnicodeText.h"

#include <QStandardPaths>

namespace {
const QString kSettingsKey = QStringLiteral("settings");
}  // namespace

QStringList SettingsStore::standardDownloadsFolders() {
    return QStandardPaths::standardLocations(QStandardPaths::DownloadLocation);
}

SettingsStore::SettingsStore(DefaultsStore defaults, QStringList downloadsFolders, Clock clock,
                             QObject* parent)
    : QObject(parent),
      m_defaults(std::move(defaults)),
      m_downloadsFolders(std::move(downloadsFolders)),
      m_clock(std::move(clock)) {}

std::optional<QString> SettingsStore::update(const std::function<void(AppSettings&)>& change) {
    AppSettings settings = load();
    change(settings);
    return save(settings);
}

std::optional<QString> SettingsStore::save(const AppSettings& settings) {
    if (std::optional<QString> failure = keepUndecodableValue()) return failure;
    if (std::optional<QString> failure = m_defaults.write(kSettingsKey, settings.encoded())) return failure;
    Q_EMIT changed(settings);
    return std::nullopt;
}

std::optional<QString> SettingsStore::keepUndecodableValue() {
    const std::optional<QByteArray> stored = m_defaults.data(kSettingsKey);
    if (!stored || AppSettings::decoded(*stored)) return std::nullopt;
    return m_defaults.keepAside(kSettingsKey, *stored, m_clock()).failure;
}

AppSettings SettingsStore::load() {
    const std::optional<QByteArray> stored = m_defaults.data(kSettingsKey);
    if (!stored) return AppSettings::defaults();
    std::optional<AppSettings> settings = AppSettings::decoded(*stored);
    if (!settings) return AppSettings::defaults();
    if (m_downloadsFolders.isEmpty() || settings->defaultExtractLocationPath.isEmpty()) return *settings;
    if (!UnicodeText::canonicallyEqual(settings->defaultExtractLocationPath, m_downloadsFolders.first())) {
        return *settings;
    }
    settings->defaultExtractLocationPath.clear();
    // A failed save leaves the old path stored; the next load clears it again.
    save(*settings);
    return *settings;
}
