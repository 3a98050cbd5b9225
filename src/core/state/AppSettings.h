#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>
#include <optional>

// The user's choices, shared by the whole application. Readers load a fresh copy from SettingsStore
// when they need one, or keep a copy that follows SettingsStore::changed; writers change only their own
// fields (SettingsStore::update).
struct AppSettings {
    // Empty means next to the source (the archive's folder or the first source item's).
    QString defaultExtractLocationPath;
    bool extractToSeparateFolder = true;
    // Moves an extracted archive (all volumes of a set) to the trash; only while extractToSeparateFolder
    // is on.
    bool deleteSourceAfterExtract = false;
    bool setAsDefaultExtractor = false;
    bool contextMenuEnabled = false;
    bool launchAtLogin = false;
    bool trayDropEnabled = false;
    qint64 compressionThreadCount = activeProcessorCount();
    bool compressToSeparateFolder = true;
    bool ignoreHiddenFilesWhenCompressing = true;
    // A successful compression moves its sources to the trash.
    bool deleteSourceAfterCompress = false;
    bool archivePasswordBookEnabled = true;
    bool archivePasswordBookAutoSaveEnabled = true;

    // Built afresh on every call: the processor count is asked again each time.
    static AppSettings defaults() { return AppSettings{}; }

    // At least 1.
    static qint64 activeProcessorCount();

    // A compact JSON object with every member.
    QByteArray encoded() const;

    // Absent or null members take the default; a member of another type fails the whole record,
    // as does anything but a JSON object. Unknown members are ignored; values are not range-checked.
    static std::optional<AppSettings> decoded(const QByteArray& json);

    // The path compares by canonical equivalence.
    bool operator==(const AppSettings& other) const;
};
