#pragma once

#include "core/state/AppSettings.h"
#include "core/state/Clock.h"
#include "platform/DefaultsStore.h"

#include <QObject>
#include <QStringList>
#include <functional>
#include <optional>

// Keeps AppSettings as one JSON value under the defaults key "settings". Without a cache: several
// stores over the same folder may exist and see each other's saves. Every writer changes only its own
// fields (update), so none undoes what another stored since it loaded its copy; the readers that keep
// a copy listen to changed(), which tells this store's own saves. GUI thread only.
class SettingsStore : public QObject {
    Q_OBJECT

public:
    // The user's Downloads folders as the desktop reports them; the first one counts.
    static QStringList standardDownloadsFolders();

    explicit SettingsStore(DefaultsStore defaults = DefaultsStore(),
                           QStringList downloadsFolders = standardDownloadsFolders(), Clock clock = systemNow,
                           QObject* parent = nullptr);

    // Loads the stored record, applies the change and saves it. A stored value that does not decode is
    // first kept aside (DefaultsStore::keepAside), so what the user had is not lost silently. The
    // reason when the record could not be saved (the stored one is then unchanged); nothing on success.
    std::optional<QString> update(const std::function<void(AppSettings&)>& change);

    // The stored record, or the defaults when nothing decodable is stored (the stored value is then
    // left alone). A default destination equal to the Downloads folder becomes next-to-the-source
    // for good: the cleared path is saved.
    AppSettings load();

Q_SIGNALS:
    // The record this store has just saved.
    void changed(const AppSettings& settings);

private:
    std::optional<QString> save(const AppSettings& settings);
    std::optional<QString> keepUndecodableValue();

    DefaultsStore m_defaults;
    QStringList m_downloadsFolders;
    Clock m_clock;
};
