#include "core/content/ArchivePreviewService.h"
#include "core/engine/ArchiveService.h"
#include "core/engine/CompressionService.h"
#include "core/state/ArchivePasswordBookStore.h"
#include "core/state/SettingsStore.h"
#include "core/state/WorkbenchStore.h"
#include "viewmodels/ArchiveServiceWorkbenchEngine.h"
#include "viewmodels/MainViewModel.h"
#include "viewmodels/WorkbenchPlatform.h"
#include "views/main/MainWindow.h"

#include <QApplication>
#include <QThread>

namespace {

// Stand-in until the desktop's panels and file manager are wired in: nothing is chosen or revealed.
class HeadlessPlatform : public WorkbenchPlatform {
public:
    QStringList runOpenPanel(const OpenPanelRequest&) override { return {}; }
    void revealInFileManager(const QStringList&) override {}
    int activeProcessorCount() const override { return QThread::idealThreadCount(); }
    std::optional<qint64> availableCapacityBytes(const QString&) const override { return std::nullopt; }
};

}  // namespace

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("velmora"));
    QApplication::setOrganizationDomain(QStringLiteral("velmora.com"));

    ArchiveService archiveService(ArchiveService::standardExtractors(), std::make_shared<CompressionService>());
    ArchiveServiceWorkbenchEngine engine(archiveService);
    ArchivePreviewService previewService;
    SettingsStore settingsStore;
    ArchivePasswordBookStore passwordBookStore{DefaultsStore()};
    WorkbenchStore workbenchStore{DefaultsStore()};
    HeadlessPlatform platform;
    MainViewModel model(engine, previewService, settingsStore, passwordBookStore, workbenchStore, platform);

    MainWindow window(model, workbenchStore, settingsStore, passwordBookStore);
    window.show();
    return QApplication::exec();
}
