#pragma once

#include "core/state/AppSettings.h"
#include "platform/DefaultsStore.h"

#include <QStringList>

// Keeps AppSettings as one JSON value under the defaults key "settings". A cheap handle without a
// cache: several stores over the same folder may exist and see each other's saves. GUI thread only.
class SettingsStore {
public:
    // The user's Downloads folders as the desktop reports them; the first one counts.
    static QStringList standardDownloadsFolders();

    explicit SettingsStore(DefaultsStore defaults = DefaultsStore(),
                           QStringList downloadsFolders = standardDownloadsFolders());

    // Replaces the stored record. A stored value that does not decode is first kept as
    // settings.json.bad, so what the user had is not lost silently. Never reports failure.
    void save(const AppSettings& settings);

    // The stored record, or the defaults when nothing decodable is stored (the stored value is then
    // left alone). A default destination equal to the Downloads folder becomes next-to-the-source
    // for good: the cleared path is saved.
    AppSettings load();

private:
    void keepUndecodableValue();

    DefaultsStore m_defaults;
    QStringList m_downloadsFolders;
};
