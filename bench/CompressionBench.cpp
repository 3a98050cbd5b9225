// Cost of velmora's single-archive compression (ArchiveService::compressSingle) against the same 7zz command
// run directly, and of a staged compression (hidden files excluded, so every input is copied first) against
// the in-place one. 7Z at the fastest level over a ~200 MiB folder; prints the median of several runs and the
// ratios.

#include "BenchSupport.h"
#include "core/engine/ArchiveService.h"
#include "core/engine/ArchiveTools.h"
#include "core/engine/CompressionService.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QThread>

#include <cstdio>
#include <cstring>
#include <functional>
#include <vector>

namespace {

constexpr int kVisibleFiles = 200;
constexpr int kHiddenFiles = 20;
constexpr qsizetype kFileBytes = qsizetype(1) << 20;
constexpr int kRounds = 5;

using BenchSupport::Clock;
using BenchSupport::median;
using BenchSupport::millisecondsSince;

// Half noise, half repeated text, so 7-Zip has real work on both kinds of data.
QByteArray fileContents(quint32 seed) {
    QByteArray bytes(kFileBytes, Qt::Uninitialized);
    quint32 state = seed * 2654435761u + 1;
    for (qsizetype i = 0; i < kFileBytes / 2; i += 4) {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        std::memcpy(bytes.data() + i, &state, 4);
    }
    const QByteArray line = QByteArrayLiteral("velmora bench line with some repeated words 0123456789\n");
    for (qsizetype i = kFileBytes / 2; i < kFileBytes; ++i) bytes[i] = line[i % line.size()];
    return bytes;
}

struct Inputs {
    QString folder;
    QStringList visibleFiles;
    QStringList allFiles;
};

Inputs writeInputs(const QString& root) {
    Inputs inputs{root + QStringLiteral("/data"), {}, {}};
    QDir().mkpath(inputs.folder);
    for (int i = 0; i < kVisibleFiles + kHiddenFiles; ++i) {
        const bool hidden = i >= kVisibleFiles;
        const QString path = inputs.folder +
                             (hidden ? QStringLiteral("/.cache-") : QStringLiteral("/file-")) +
                             QString::number(i) + QStringLiteral(".bin");
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        file.write(fileContents(quint32(i)));
        if (!hidden) inputs.visibleFiles << path;
        inputs.allFiles << path;
    }
    return inputs;
}

// The argument list velmora gives 7zz for these inputs in place, run without velmora.
double bareSevenZip(const QString& sevenZip, const Inputs& inputs, const QString& archive, int threads) {
    QStringList arguments{ArchiveTools::SevenZip::addCommand(),
                          ArchiveTools::SevenZip::archiveType(CompressionFormat::sevenZip),
                          ArchiveTools::SevenZip::level(CompressionLevel::fastest),
                          ArchiveTools::SevenZip::threads(threads)};
    arguments += ArchiveTools::SevenZip::progressSwitches();
    arguments << ArchiveTools::SevenZip::lzma2Method();
    arguments += ArchiveTools::SevenZip::endOfSwitches();
    arguments << archive;
    for (const QString& file : inputs.visibleFiles) arguments << QFileInfo(file).fileName();

    return BenchSupport::timeDirectRun(sevenZip, arguments, inputs.folder);
}

double velmora(const QStringList& files, bool excludeHiddenFiles, const QString& archive, int threads) {
    const ArchiveService service(ArchiveService::standardExtractors(),
                                 std::make_shared<CompressionService>());
    int progressReports = 0;
    const auto start = Clock::now();
    service.compressSingle(files, archive, CompressionFormat::sevenZip, CompressionLevel::fastest,
                           std::nullopt, threads, excludeHiddenFiles, [&](double) { ++progressReports; }, {});
    const double elapsed = millisecondsSince(start);
    if (progressReports == 0) std::fprintf(stderr, "no progress reported\n");
    return elapsed;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    BenchSupport::useToolEnvironment();
    const QString sevenZip = BenchSupport::requiredSevenZip();
    QTemporaryDir folder;
    const int threads = QThread::idealThreadCount();
    const auto generation = Clock::now();
    const Inputs inputs = writeInputs(folder.path());
    std::printf("inputs: %d files of 1 MiB (+%d hidden) written in %.0f ms; 7Z, fastest level, %d threads\n",
                kVisibleFiles, kHiddenFiles, millisecondsSince(generation), threads);

    std::vector<double> bare, inPlace, staged;
    const QString archive = folder.path() + QStringLiteral("/out.7z");
    const std::function<void()> cases[] = {
        [&] { bare.push_back(bareSevenZip(sevenZip, inputs, archive, threads)); },
        [&] { inPlace.push_back(velmora(inputs.visibleFiles, false, archive, threads)); },
        [&] { staged.push_back(velmora(inputs.allFiles, true, archive, threads)); },
    };
    // The order rotates so that no case always runs first or last on a busy machine.
    for (int round = 0; round < kRounds; ++round) {
        for (int step = 0; step < 3; ++step) {
            cases[(round + step) % 3]();
            QFile::remove(archive);
        }
    }
    const double bareMs = median(bare), inPlaceMs = median(inPlace), stagedMs = median(staged);
    std::printf("median of %d runs\n", kRounds);
    std::printf("  7zz a, run directly               %8.0f ms\n", bareMs);
    std::printf("  velmora, in place                 %8.0f ms   ratio to 7zz      %.3f\n", inPlaceMs,
                inPlaceMs / bareMs);
    std::printf("  velmora, staged (hidden excluded) %8.0f ms   ratio to in place %.3f\n", stagedMs,
                stagedMs / inPlaceMs);
    return 0;
}
