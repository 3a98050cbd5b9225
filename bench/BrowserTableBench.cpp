// The archive browser on a ZIP of 100,000 entries (100 folders of 1,000 files): from the listing's
// rows to the window built with its table model and its first rows painted, then expanding every
// folder and painting again. Prints the median of several runs of each.

#include "BenchSupport.h"
#include "core/content/ArchivePreviewService.h"
#include "core/engine/ArchiveService.h"
#include "core/engine/CompressionService.h"
#include "core/state/ArchivePasswordBookStore.h"
#include "core/state/SettingsStore.h"
#include "viewmodels/ArchiveContentBrowserServices.h"
#include "viewmodels/ArchivePreviewWindowModel.h"
#include "views/browser/ArchiveBrowserWindowPlatform.h"
#include "views/browser/ArchiveEntryTableModel.h"
#include "views/browser/ArchivePreviewWindow.h"

#include <QApplication>
#include <QTemporaryDir>

#include <cstdio>

namespace {

constexpr int kFolders = 100;
constexpr int kFilesPerFolder = 1000;
constexpr int kRounds = 5;

using BenchSupport::Clock;
using BenchSupport::millisecondsSince;

struct Round {
    double built = 0;
    double expanded = 0;
};

Round runRound(const QString& archive, const QList<ArchivePreviewEntry>& rows,
               ArchiveBrowserServices& services, SettingsStore& settings,
               ArchivePasswordBookStore& passwordBook) {
    auto platform = std::make_shared<ArchiveBrowserWindowPlatform>([](const QStringList&) {});
    Round round;
    const auto start = Clock::now();
    const auto model =
        ArchivePreviewWindowModel::create({archive}, services, settings, passwordBook, platform, rows);
    ArchivePreviewWindow window(*model);
    window.show();
    window.grab();
    round.built = millisecondsSince(start);
    const int rootRows = window.tableModel()->rowCount();

    const auto expand = Clock::now();
    model->toggleExpandCollapseAll();
    window.grab();
    round.expanded = millisecondsSince(expand);
    if (rootRows != kFolders || window.tableModel()->rowCount() != kFolders * (kFilesPerFolder + 1)) {
        std::fprintf(stderr, "wrong rows: %d, then %d\n", rootRows, window.tableModel()->rowCount());
    }
    return round;
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    BenchSupport::useToolEnvironment();
    BenchSupport::requiredSevenZip();
    QTemporaryDir folder;
    QList<QByteArray> names;
    for (int index = 0; index < kFolders * kFilesPerFolder; ++index) {
        names << QStringLiteral(u"相册%1/照片-%2.jpg").arg(index / kFilesPerFolder).arg(index).toUtf8();
    }
    const QString archive =
        BenchSupport::writeStoredZip(folder.path() + QStringLiteral("/many.zip"), names).path;
    const ArchivePreviewService previewService;
    const ArchiveService archiveService(ArchiveService::standardExtractors(),
                                        std::make_shared<CompressionService>());
    ArchiveContentBrowserServices services(previewService, archiveService);
    const QList<ArchivePreviewEntry> rows = previewService.previewEntries(archive, std::nullopt, {});
    SettingsStore settings(DefaultsStore(folder.path() + QStringLiteral("/defaults")), {});
    ArchivePasswordBookStore passwordBook(DefaultsStore(folder.path() + QStringLiteral("/defaults")));

    std::vector<double> built;
    std::vector<double> expanded;
    for (int round = 0; round < kRounds; ++round) {
        const Round times = runRound(archive, rows, services, settings, passwordBook);
        built.push_back(times.built);
        expanded.push_back(times.expanded);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    std::printf("browser on a ZIP of %lld rows (%d folders x %d files), median of %d runs\n",
                qlonglong(rows.size()), kFolders, kFilesPerFolder, kRounds);
    std::printf("  rows -> window, table model built, first rows painted  %8.1f ms\n",
                BenchSupport::median(built));
    std::printf("  expand all -> table rebuilt and painted                 %8.1f ms\n",
                BenchSupport::median(expanded));
    return 0;
}
