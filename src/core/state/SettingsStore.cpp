#include "core/state/SettingsStore.h"

#include "core/state/UnicodeText.h"

#include <QStandardPaths>

namespace {
const QString kSettingsKey = QStringLiteral("settings");
}  // namespace

QStringList SettingsStore::standardDownloadsFolders() {
    return QStandardPaths::standardLocations(QStandardPaths::DownloadLocation);
}

SettingsStore::SettingsStore(DefaultsStore defaults, QStringList downloadsFolders)
    : m_defaults(std::move(defaults)), m_downloadsFolders(std::move(downloadsFolders)) {}

void SettingsStore::save(const AppSettings& settings) {
    keepUndecodableValue();
    m_defaults.setData(kSettingsKey, settings.encoded());
}

void SettingsStore::keepUndecodableValue() {
    const std::optional<QByteArray> stored = m_defaults.data(kSettingsKey);
    if (stored && !AppSettings::decoded(*stored)) m_defaults.keepUndecodableValue(kSettingsKey);
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
    save(*settings);
    return *settings;
}
