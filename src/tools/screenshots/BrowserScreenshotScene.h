#pragma once

#include "core/state/ArchivePasswordBookStore.h"
#include "core/state/SettingsStore.h"
#include "viewmodels/ArchiveBrowserServices.h"

#include <QPixmap>
#include <QTemporaryDir>
#include <functional>

// The archive browser drawn over a prepared listing: an archive of photos and documents whose
// previews are files written beforehand. Nothing here runs a tool.
class BrowserScreenshotScene {
public:
    BrowserScreenshotScene();

    using Save = std::function<bool(const QPixmap&, const QString&)>;

    // Saves browser.png (the loaded archive), browser-folder.png (a folder opened), browser-image.png
    // and browser-text.png (an image and a text previewed), and browser-password.png (an encrypted
    // archive asking for its password); false when a picture could not be written.
    bool saveShots(const Save& save);

private:
    // Lists the prepared entries and hands out the prepared preview files; the encrypted archive
    // lists nothing without a password.
    class StillServices : public ArchiveBrowserServices {
    public:
        explicit StillServices(QString previews) : m_previews(std::move(previews)) {}
        QList<ArchivePreviewEntry> previewEntries(const QString&, const std::optional<QString>&,
                                                  const CancellationToken&) override;
        bool isEncrypted(const QString&, const CancellationToken&) override { return false; }
        std::optional<QString> firstOpeningPassword(const QString&, const QStringList&,
                                                    const CancellationToken&) override {
            return std::nullopt;
        }
        ArchivePasswordProbe::EntryTest testFirstEncryptedEntry(const QString&, const QString&,
                                                                const CancellationToken&) override {
            return ArchivePasswordProbe::EntryTest::decrypts;
        }
        QString extractedPreviewFile(const ArchivePreviewEntry& entry, const QString&,
                                     const std::optional<QString>&, const CancellationToken&) override;
        OperationOutputs extractEntries(const QList<ArchivePreviewEntry>&, const QString&, const QString&,
                                        const std::optional<QString>&, const CancellationToken&) override {
            return {};
        }
        QString addFiles(const QStringList&, const QString&, const std::optional<QString>&,
                         const CancellationToken&) override {
            return {};
        }
        QString deleteEntries(const QList<ArchivePreviewEntry>&, const QString&, const std::optional<QString>&,
                              const CancellationToken&) override {
            return {};
        }
        OperationOutputs extract(const QStringList&, const QString&, const ExtractionPasswords&,
                                 const AppSettings&, int, const CancellationToken&) override {
            return {};
        }

    private:
        QString m_previews;
    };

    bool saveListingShots(const Save& save);
    bool savePasswordShot(const Save& save);
    void writePreviews() const;

    QTemporaryDir m_root;
    SettingsStore m_settingsStore;
    ArchivePasswordBookStore m_passwordBookStore;
    StillServices m_services;
};
