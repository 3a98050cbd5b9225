// ArchiveService::extract of one large 7Z against the same 7zz x command started directly, in the same
// run. Prints the median of several alternating runs of each and their ratio.

#include "BenchSupport.h"
#include "core/engine/ArchiveService.h"
#include "core/engine/ArchiveTools.h"
#include "core/engine/ExtractionOptions.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
#include <cstdio>
#include <vector>

#include <unistd.h>

namespace {

constexpr qint64 kMiB = 1024 * 1024;
// Mostly random bytes, which LZMA2 stores as they are, plus some text it really has to decompress.
constexpr qint64 kRandomBytes = 230 * kMiB;
constexpr qint64 kTextBytes = 60 * kMiB;
constexpr int kRounds = 15;

using BenchSupport::Clock;
using BenchSupport::median;
using BenchSupport::millisecondsSince;

void writeRandomFile(const QString& path, qint64 size) {
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    QRandomGenerator generator(20261209);
    std::vector<quint32> block(kMiB / sizeof(quint32));
    for (qint64 written = 0; written < size; written += kMiB) {
        generator.fillRange(block.data(), block.size());
        file.write(reinterpret_cast<const char*>(block.data()), kMiB);
    }
}

void writeTextFile(const QString& path, qint64 size) {
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    QRandomGenerator generator(7);
    QByteArray chunk;
    while (file.size() < size) {
        chunk.clear();
        for (int line = 0; line < 10000; ++line) {
            chunk += "row " + QByteArray::number(generator.bounded(1000000)) + " 文档/报告 " +
                     QByteArray::number(generator.bounded(100)) + "%\n";
        }
        file.write(chunk);
    }
}

QString makeArchive(const QString& folder, const QString& sevenZip) {
    const QString source = folder + QStringLiteral("/source");
    QDir().mkpath(source);
    writeRandomFile(source + QStringLiteral("/random.bin"), kRandomBytes);
    writeTextFile(source + QStringLiteral("/table.txt"), kTextBytes);
    const QString archive = folder + QStringLiteral("/large.7z");
    BenchSupport::timeDirectRun(
        sevenZip, {QStringLiteral("a"), QStringLiteral("-mx=1"), archive,
                   source + QStringLiteral("/random.bin"), source + QStringLiteral("/table.txt")});
    QDir(source).removeRecursively();
    return archive;
}

// Removes a run's output and flushes it to disk, so no run pays for the write-back of an earlier one.
void settle(const QString& output) {
    QDir(output).removeRecursively();
    ::sync();
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    BenchSupport::useToolEnvironment();
    const QString sevenZip = BenchSupport::requiredSevenZip();
    QTemporaryDir folder;
    const QString archive = makeArchive(folder.path(), sevenZip);
    ::sync();
    const int threads = QThread::idealThreadCount();
    const ArchiveService service(ArchiveService::standardExtractors(), nullptr);
    ExtractionOptions settings;
    settings.extractToSeparateFolder = true;
    settings.deleteSourceAfterExtract = false;

    const auto timeDirect = [&] {
        const QString output = folder.path() + QStringLiteral("/direct");
        const double elapsed = BenchSupport::timeDirectRun(
            sevenZip, ArchiveTools::SevenZip::extractArguments(archive, output, threads));
        settle(output);
        return elapsed;
    };
    const auto timeService = [&] {
        const QString root = folder.path() + QStringLiteral("/service");
        const auto start = Clock::now();
        service.extract({archive}, root, std::nullopt, settings, threads, {});
        const double elapsed = millisecondsSince(start);
        settle(root);
        return elapsed;
    };

    // Alternate which goes first, so the write-back of one run's output weighs on both alike.
    std::vector<double> direct;
    std::vector<double> viaService;
    for (int round = 0; round < kRounds; ++round) {
        if (round % 2 == 0) direct.push_back(timeDirect());
        viaService.push_back(timeService());
        if (round % 2 == 1) direct.push_back(timeDirect());
    }

    // The machine may be busy with other work: the fastest run shows the cost of the path itself.
    const double directMedian = median(direct);
    const double serviceMedian = median(viaService);
    const double directBest = *std::min_element(direct.begin(), direct.end());
    const double serviceBest = *std::min_element(viaService.begin(), viaService.end());
    std::printf("7Z of %.0f MiB (%lld MiB unpacked), %d threads, %d alternating runs each\n",
                QFileInfo(archive).size() / double(kMiB), (kRandomBytes + kTextBytes) / kMiB, threads,
                kRounds);
    std::printf("                              median       best\n");
    std::printf("  7zz x directly           %8.1f ms %8.1f ms\n", directMedian, directBest);
    std::printf("  ArchiveService::extract  %8.1f ms %8.1f ms\n", serviceMedian, serviceBest);
    std::printf("  ratio service / direct   %8.3f    %8.3f\n", serviceMedian / directMedian,
                serviceBest / directBest);
    return 0;
}
