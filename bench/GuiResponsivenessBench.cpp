// Whether the main window stays responsive while real work runs: the window is shown offscreen, a
// compression of 256 MiB runs through the model and the real engine, and a 10 ms timer on the GUI
// thread records the gaps between its ticks. Prints the longest gap and the 99th percentile.

#include "BenchSupport.h"
#include "core/engine/ArchiveService.h"
#include "core/engine/CompressionService.h"
#include "core/state/ArchivePasswordBookStore.h"
#include "core/state/SettingsStore.h"
#include "core/state/WorkbenchStore.h"
#include "viewmodels/ArchiveServiceWorkbenchEngine.h"
#include "viewmodels/WorkbenchModels.h"
#include "viewmodels/WorkbenchPlatform.h"
#include "views/main/MainWindow.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTime>
#include <QTimer>
#include <algorithm>
#include <cstdio>

namespace {

constexpr qint64 kSourceBytes = qint64(256) * 1024 * 1024;
constexpr int kTickMilliseconds = 10;

class QuietPlatform : public WorkbenchPlatform {
public:
    void openFileDialog(const FileDialogRequest&, std::function<void(const QStringList&)> chosen) override {
        chosen({});
    }
    void revealInFileManager(const QStringList&) override {}
    int activeProcessorCount() const override { return 4; }
    std::optional<qint64> availableCapacityBytes(const QString&) const override { return std::nullopt; }
};

// Eight files of random bytes, so the tool cannot shortcut the work.
QStringList writeSources(const QString& folder) {
    QStringList paths;
    QByteArray chunk(1024 * 1024, Qt::Uninitialized);
    QRandomGenerator generator(7);
    for (int file = 0; file < 8; ++file) {
        const QString path = folder + QStringLiteral("/source%1.bin").arg(file);
        QFile out(path);
        if (!out.open(QIODevice::WriteOnly)) return {};
        for (qint64 written = 0; written < kSourceBytes / 8; written += chunk.size()) {
            generator.fillRange(reinterpret_cast<quint32*>(chunk.data()), chunk.size() / 4);
            out.write(chunk);
        }
        paths.append(path);
    }
    return paths;
}

double percentile(std::vector<double> values, double fraction) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    const auto index = static_cast<size_t>(fraction * double(values.size() - 1));
    return values[index];
}

}  // namespace

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    BenchSupport::requiredSevenZip();

    QTemporaryDir work;
    const QString defaults = work.filePath(QStringLiteral("defaults"));
    SettingsStore settingsStore{DefaultsStore(defaults), {}};
    ArchivePasswordBookStore passwordBook{DefaultsStore(defaults)};
    WorkbenchStore workbench{DefaultsStore(defaults)};
    ArchiveService archiveService(ArchiveService::standardExtractors(),
                                  std::make_shared<CompressionService>());
    ArchiveServiceWorkbenchEngine engine(archiveService);
    QuietPlatform platform;
    WorkbenchModels models(engine, settingsStore, passwordBook, workbench, platform);
    WorkbenchContext& context = models.context();
    CompressViewModel& model = models.compress();
    MainWindow window(models, workbench, settingsStore, passwordBook);
    window.show();

    QDir().mkpath(work.filePath(QStringLiteral("sources")));
    const QStringList sources = writeSources(work.filePath(QStringLiteral("sources")));
    if (sources.isEmpty()) {
        std::fprintf(stderr, "cannot write the source files\n");
        return 1;
    }
    context.setSelectedSection(WorkbenchSection::compress);
    model.setSelectedFilesForCompression(sources);
    model.selectCompressionFormat(CompressionFormat::sevenZip);
    AppSettings settings = context.settings();
    settings.compressToSeparateFolder = false;
    context.setSettings(settings);
    // The window is on screen with the compress page drawn before the measurement starts.
    window.repaint();
    QCoreApplication::processEvents();

    const auto start = BenchSupport::Clock::now();
    std::vector<double> gaps;
    QElapsedTimer sinceTick;
    QTimer ticker;
    ticker.setInterval(kTickMilliseconds);
    ticker.setTimerType(Qt::PreciseTimer);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        gaps.push_back(double(sinceTick.nsecsElapsed()) / 1e6);
        if (qEnvironmentVariableIsSet("BENCH_TRACE") && gaps.back() > 25)
            std::fprintf(stderr, "gap %.1f ms at %.0f ms\n", gaps.back(),
                         BenchSupport::millisecondsSince(start));
        sinceTick.restart();
    });
    QObject::connect(&context, &WorkbenchContext::isWorkingChanged, [&] {
        if (!context.isWorking()) application.quit();
    });

    QTimer::singleShot(0, [&] {
        sinceTick.start();
        ticker.start();
        model.compress(false);
    });
    application.exec();
    const double total = BenchSupport::millisecondsSince(start);

    std::printf("compression of %lld MiB through the main window's model: %.0f ms, status \"%s\"\n",
                kSourceBytes / 1024 / 1024, total, qPrintable(context.statusMessage().value_or(QString())));
    std::printf(
        "GUI thread, %d ms timer: %zu ticks, longest gap %.1f ms, 99th percentile %.1f ms (target: longest "
        "<= 50 ms)\n",
        kTickMilliseconds, gaps.size(), gaps.empty() ? 0.0 : *std::max_element(gaps.begin(), gaps.end()),
        percentile(gaps, 0.99));
    return 0;
}
