// Whether the main window stays responsive while real work runs: the window is shown offscreen, two
// compressions run through the compress page's model and the real engine (256 MiB in eight files, then
// a folder of 100,000 small files, whose tree is walked at the start), and a 10 ms timer on the GUI
// thread records the gaps between its ticks. Prints the longest gap and the 99th percentile of each; a
// compression that fails ends the benchmark with its status and no figure. First, with 1,000 and
// 20,000 finished tasks stored, the window's building and each click on the tasks page (opening it,
// "失败", "全部", then "清空已完成"), until the window is drawn again (target: each click <= 100 ms).

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
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTime>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>

namespace {

constexpr qint64 kSourceBytes = qint64(256) * 1024 * 1024;
constexpr int kSmallFileCount = 100000;
constexpr int kSmallFilesPerFolder = 1000;
constexpr int kTickMilliseconds = 10;

class QuietPlatform : public WorkbenchPlatform {
public:
    void openFileDialog(const FileDialogRequest&, std::function<void(const QStringList&)> chosen) override {
        chosen({});
    }
    void askPassword(const QString&, std::function<void(const std::optional<QString>&)> answered) override {
        answered(std::nullopt);
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

// kSmallFileCount files of a few bytes each, a thousand to a folder, under folder/many.
QStringList writeSmallFiles(const QString& folder) {
    const QString root = folder + QStringLiteral("/many");
    for (int file = 0; file < kSmallFileCount; ++file) {
        const QString subfolder = root + QStringLiteral("/part%1").arg(file / kSmallFilesPerFolder);
        if (file % kSmallFilesPerFolder == 0 && !QDir().mkpath(subfolder)) return {};
        QFile out(subfolder + QStringLiteral("/note%1.txt").arg(file));
        if (!out.open(QIODevice::WriteOnly) || out.write(QByteArray::number(file) + '\n') <= 0) return {};
    }
    return {root};
}

double percentile(std::vector<double> values, double fraction) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    const auto index = static_cast<size_t>(fraction * double(values.size() - 1));
    return values[index];
}

struct Gaps {
    double totalMs = 0;
    std::vector<double> gaps;
};

// Compresses the sources through the model while the ticker records the GUI thread's gaps; ends the
// benchmark when the compression fails.
Gaps measureCompression(QApplication& application, WorkbenchContext& context, CompressViewModel& model,
                        const QStringList& sources, const char* label) {
    model.setSelectedFilesForCompression(sources);
    QCoreApplication::processEvents();

    Gaps result;
    const auto start = BenchSupport::Clock::now();
    QElapsedTimer sinceTick;
    QTimer ticker;
    ticker.setInterval(kTickMilliseconds);
    ticker.setTimerType(Qt::PreciseTimer);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        result.gaps.push_back(double(sinceTick.nsecsElapsed()) / 1e6);
        if (qEnvironmentVariableIsSet("BENCH_TRACE") && result.gaps.back() > 25)
            std::fprintf(stderr, "gap %.1f ms at %.0f ms\n", result.gaps.back(),
                         BenchSupport::millisecondsSince(start));
        sinceTick.restart();
    });
    const QMetaObject::Connection ended = QObject::connect(&context, &WorkbenchContext::isWorkingChanged, [&] {
        if (!context.isWorking()) application.quit();
    });

    QTimer::singleShot(0, [&] {
        sinceTick.start();
        ticker.start();
        model.compress(false);
    });
    application.exec();
    QObject::disconnect(ended);
    result.totalMs = BenchSupport::millisecondsSince(start);

    const QString status = context.statusMessage().value_or(QString());
    if (!status.startsWith(QStringLiteral(u"压缩完成"))) {
        std::fprintf(stderr, "compression of %s failed: status \"%s\"\n", label, qPrintable(status));
        std::exit(1);
    }
    return result;
}

void printGaps(const char* label, const Gaps& measured) {
    const std::vector<double>& gaps = measured.gaps;
    std::printf("compression of %s through the compress page's model: %.0f ms\n", label, measured.totalMs);
    std::printf(
        "  GUI thread, %d ms timer: %zu ticks, longest gap %.1f ms, 99th percentile %.1f ms (target: longest "
        "<= 50 ms)\n",
        kTickMilliseconds, gaps.size(), gaps.empty() ? 0.0 : *std::max_element(gaps.begin(), gaps.end()),
        percentile(gaps, 0.99));
}

// Milliseconds of a step and of drawing the window after it.
double timedStep(QWidget& window, const std::function<void()>& step) {
    const auto start = BenchSupport::Clock::now();
    step();
    QCoreApplication::processEvents();
    window.repaint();
    QCoreApplication::processEvents();
    return BenchSupport::millisecondsSince(start);
}

void measureTasksPage(WorkbenchEngine& engine, QuietPlatform& platform, int taskCount) {
    QTemporaryDir work;
    const QString defaults = work.filePath(QStringLiteral("defaults"));
    BenchSupport::storeFinishedTasks(defaults, taskCount);
    SettingsStore settingsStore{DefaultsStore(defaults), {}};
    ArchivePasswordBookStore passwordBook{DefaultsStore(defaults)};
    const auto start = BenchSupport::Clock::now();
    WorkbenchStore workbench{DefaultsStore(defaults)};
    WorkbenchModels models(engine, settingsStore, passwordBook, workbench, platform);
    MainWindow window(models, workbench, settingsStore, passwordBook);
    window.show();
    QCoreApplication::processEvents();
    const double built = BenchSupport::millisecondsSince(start);
    const double opened =
        timedStep(window, [&] { models.context().setSelectedSection(WorkbenchSection::tasks); });
    const double failed =
        timedStep(window, [&] { models.tasks().setTaskFilter(ArchiveActivityStatus::failed); });
    const double all = timedStep(window, [&] { models.tasks().setTaskFilter(std::nullopt); });
    const double cleared = timedStep(window, [&] { models.tasks().clearCompletedTasks(); });
    std::printf(
        "%6d tasks stored: store and window built %.0f ms; tasks page opened %.1f ms, \"失败\" %.1f ms, "
        "\"全部\" %.1f ms, \"清空已完成\" %.1f ms (target: each click <= 100 ms)\n",
        taskCount, built, opened, failed, all, cleared);
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
    for (const int count : {1000, 20000}) measureTasksPage(engine, platform, count);
    WorkbenchModels models(engine, settingsStore, passwordBook, workbench, platform);
    WorkbenchContext& context = models.context();
    CompressViewModel& model = models.compress();
    MainWindow window(models, workbench, settingsStore, passwordBook);
    window.show();

    QDir().mkpath(work.filePath(QStringLiteral("sources")));
    const QStringList sources = writeSources(work.filePath(QStringLiteral("sources")));
    const QStringList smallFiles = writeSmallFiles(work.filePath(QStringLiteral("sources")));
    if (sources.isEmpty() || smallFiles.isEmpty()) {
        std::fprintf(stderr, "cannot write the source files\n");
        return 1;
    }
    context.setSelectedSection(WorkbenchSection::compress);
    model.selectCompressionFormat(CompressionFormat::sevenZip);
    context.updateSettings([](AppSettings& settings) { settings.compressToSeparateFolder = false; });
    // The window is on screen with the compress page drawn before the measurement starts.
    window.repaint();
    QCoreApplication::processEvents();

    const Gaps large = measureCompression(application, context, model, sources, "256 MiB in 8 files");
    const Gaps many = measureCompression(application, context, model, smallFiles, "a folder of 100,000 files");
    printGaps("256 MiB in 8 files", large);
    printGaps("a folder of 100,000 files", many);
    return 0;
}
