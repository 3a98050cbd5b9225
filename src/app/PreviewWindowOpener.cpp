#include "app/PreviewWindowOpener.h"

#include "viewmodels/ArchiveContentBrowserServices.h"
#include "viewmodels/ArchivePreviewWindowModel.h"
#include "viewmodels/WorkbenchPlatform.h"
#include "views/browser/ArchiveBrowserWindowPlatform.h"
#include "views/browser/ArchivePreviewWindowController.h"

#include <QList>
#include <QPointer>

namespace {

// One browser window per request; each controller is kept until its window closes.
class DesktopPreviewWindowOpener : public PreviewWindowOpener {
public:
    explicit DesktopPreviewWindowOpener(const PreviewWindowServices& services)
        : m_services(services), m_browserServices(services.archivePreviewService, services.archiveService) {}

    ~DesktopPreviewWindowOpener() override {
        for (const QPointer<ArchivePreviewWindowController>& controller : m_controllers) delete controller;
    }

    void openPreviewWindow(const QStringList& archiveURLs,
                           const std::optional<QList<ArchivePreviewEntry>>& preloadedEntries,
                           bool activatesApp) override {
        WorkbenchPlatform& desktop = m_services.platform;
        auto platform = std::make_shared<ArchiveBrowserWindowPlatform>(
            [&desktop](const QStringList& paths) { desktop.revealInFileManager(paths); });
        const auto model =
            ArchivePreviewWindowModel::create(archiveURLs, m_browserServices, m_services.settingsStore,
                                              m_services.passwordBookStore, platform, preloadedEntries);
        auto* controller = new ArchivePreviewWindowController(model, platform);
        const QPointer<ArchivePreviewWindowController> guarded(controller);
        model->closeWindow = [guarded] {
            if (guarded) guarded->close();
        };
        controller->onClose = [this, guarded] {
            m_controllers.removeAll(guarded);
            // Called from the window's close handling: the controller goes once that returns.
            if (guarded) guarded->deleteLater();
        };
        m_controllers.append(guarded);
        controller->show(activatesApp);
    }

private:
    PreviewWindowServices m_services;
    ArchiveContentBrowserServices m_browserServices;
    QList<QPointer<ArchivePreviewWindowController>> m_controllers;
};

}  // namespace

std::unique_ptr<PreviewWindowOpener> makeDesktopPreviewWindowOpener(const PreviewWindowServices& services) {
    return std::make_unique<DesktopPreviewWindowOpener>(services);
}
