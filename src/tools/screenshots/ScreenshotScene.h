#pragma once

#include "core/engine/ArchiveService.h"
#include "core/state/ArchivePasswordBookStore.h"
#include "core/state/SettingsStore.h"
#include "core/state/WorkbenchStore.h"
#include "viewmodels/ArchiveServiceWorkbenchEngine.h"
#include "viewmodels/WorkbenchModels.h"
#include "viewmodels/WorkbenchPlatform.h"

#include <QTemporaryDir>
#include <memory>

// The main window's services over stores in a temporary folder, filled with a prepared state: files
// selected on the operation pages, a running task with progress, finished tasks in the history and
// unread notifications. Nothing here runs a tool.
class ScreenshotScene {
public:
    ScreenshotScene();

    WorkbenchModels& models() { return *m_models; }
    WorkbenchStore& workbenchStore() { return *m_workbenchStore; }
    SettingsStore& settingsStore() { return *m_settingsStore; }
    ArchivePasswordBookStore& passwordBookStore() { return *m_passwordBookStore; }
    // A folder of sample files and archives.
    QString samplesFolder() const;

private:
    // Answers no panel and reveals nothing.
    class StillPlatform : public WorkbenchPlatform {
    public:
        void openFileDialog(const FileDialogRequest&,
                            std::function<void(const QStringList&)> chosen) override {
            chosen({});
        }
        void askPassword(const QString&,
                         std::function<void(const std::optional<QString>&)> answered) override {
            answered(std::nullopt);
        }
        void revealInFileManager(const QStringList&) override {}
        int activeProcessorCount() const override { return 8; }
        std::optional<qint64> availableCapacityBytes(const QString&) const override {
            return qint64(128) * 1000 * 1000 * 1000;
        }
    };

    QString writeSample(const QString& relativePath, qint64 size) const;
    void fillSamples();
    void fillWorkbench();
    void fillPasswordBook();
    void fillSplitPages();
    // Lets the model's sizing and set scan finish.
    void waitForSplitPages();

    QTemporaryDir m_root;
    // The password book's clock, set before each prepared entry.
    QDateTime m_passwordBookNow;
    std::unique_ptr<SettingsStore> m_settingsStore;
    std::unique_ptr<ArchivePasswordBookStore> m_passwordBookStore;
    std::unique_ptr<WorkbenchStore> m_workbenchStore;
    ArchiveService m_archiveService;
    ArchiveServiceWorkbenchEngine m_engine;
    StillPlatform m_platform;
    std::unique_ptr<WorkbenchModels> m_models;
};
