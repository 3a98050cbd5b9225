#pragma once

#include "core/content/ArchivePreviewEntry.h"

#include <QList>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>

class ArchivePasswordBookStore;
class ArchivePreviewService;
class ArchiveService;
class SettingsStore;
class WorkbenchPlatform;

// The coordinator's services that an archive browser window works with.
struct PreviewWindowServices {
    ArchivePreviewService& archivePreviewService;
    ArchiveService& archiveService;
    SettingsStore& settingsStore;
    ArchivePasswordBookStore& passwordBookStore;
    // Panels and the file manager, shared with the main window.
    WorkbenchPlatform& platform;
};

// Opens archive browser windows for the coordinator and keeps them alive until they close. Going, it
// stops the work of every window, closed ones included, and waits until that work has cleaned up.
class PreviewWindowOpener {
public:
    virtual ~PreviewWindowOpener() = default;

    // One window listing archiveURLs (all archives, in request order). With preloaded entries that
    // are not empty the window shows them with the status "已读取 N 个项目。" and starts no load;
    // otherwise it loads the listing itself. activatesApp raises the window above other programs.
    virtual void openPreviewWindow(const QStringList& archiveURLs,
                                   const std::optional<QList<ArchivePreviewEntry>>& preloadedEntries,
                                   bool activatesApp) = 0;

    // Whether a window's extraction or edit is under way, which quitting would stop.
    virtual bool isWorkRunning() const = 0;
};

using PreviewWindowOpenerFactory =
    std::function<std::unique_ptr<PreviewWindowOpener>(const PreviewWindowServices&)>;

// The desktop's opener, used by the application.
std::unique_ptr<PreviewWindowOpener> makeDesktopPreviewWindowOpener(const PreviewWindowServices& services);
