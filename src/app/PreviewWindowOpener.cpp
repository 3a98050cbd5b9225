#include "app/PreviewWindowOpener.h"

#include "viewmodels/ArchiveContentBrowserServices.h"
#include "viewmodels/ArchivePreviewWindowModel.h"
#include "viewmodels/WorkbenchPlatform.h"
#include "views/browser/ArchiveBrowserWindowPlatform.h"
#include "views/browser/ArchivePreviewWindowController.h"

#include <QList>
#include <QPointer>
#include <algorithm>
#include <memory>

namespace {

// One browser window per request; each controller is kept until its window closes.
class DesktopPreviewWindowOpener : public PreviewWindowOpener {
public:
    explicit DesktopPreviewWindowOpener(const PreviewWindowServices& services)
        : m_services(services), m_browserServices(services.archivePreviewService, services.archiveService) {}

    ~DesktopPreviewWindowOpener() override {
        for (const QPointer<ArchivePreviewWindowController>& controller : m_controllers) delete controller;
        // Every model is told first, so that their tools end together.
        for (const std::weak_ptr<ArchivePreviewWindowModel>& weak : m_models) {
            if (const auto model = weak.lock()) model->stopWork();
        }
        for (const std::weak_ptr<ArchivePreviewWindowModel>& weak : m_models) {
            if (const auto model = weak.lock()) model->shutDown();
        }
    }

    bool isWorkRunning() const override {
        return std::any_of(m_models.begin(), m_models.end(), [](const auto& weak) {
            const auto model = weak.lock();
            return model && model->isWorkRunning();
        });
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
        const ArchivePreviewWindowController* previous =
            m_controllers.isEmpty() ? nullptr : m_controllers.last();
        m_controllers.append(guarded);
        m_models.removeIf([](const auto& weak) { return weak.expired(); });
        m_models.append(model);
        controller->show(activatesApp, previous);
    }

private:
    PreviewWindowServices m_services;
    ArchiveContentBrowserServices m_browserServices;
    QList<QPointer<ArchivePreviewWindowController>> m_controllers;
    // A model outlives its window while its work ends.
    QList<std::weak_ptr<ArchivePreviewWindowModel>> m_models;
};

}  // namespace

std::unique_ptr<PreviewWindowOpener> makeDesktopPreviewWindowOpener(const PreviewWindowServices& services) {
    return std::make_unique<DesktopPreviewWindowOpener>(services);
}
