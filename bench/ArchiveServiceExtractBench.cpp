// ArchiveService::extract of one large 7Z against the same 7zz x command started directly, and of a
// .tar.gz of the same files against tar -xzf, in the same run. Prints the median of several alternating
// runs of each and their ratio.

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
#include <functional>
#include <vector>

#include <unistd.h>

namespace {

constexpr qint64 kMiB = 1024 * 1024;
// Mostly random bytes, which LZMA2 stores as they are, plus some text it really has to decompress.
constexpr qint64 kRandomBytes = 230 * kMiB;
constexpr qint64 kTextBytes = 60 * kMiB;
constexpr int kRounds = 15;
constexpr int kTarRounds = 7;

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

struct Archives {
    QString sevenZip;
    QString tarGz;
};

Archives makeArchives(const QString& folder, const QString& sevenZip) {
    const QString source = folder + QStringLiteral("/source");
    QDir().mkpath(source);
    writeRandomFile(source + QStringLiteral("/random.bin"), kRandomBytes);
    writeTextFile(source + QStringLiteral("/table.txt"), kTextBytes);
    const Archives archives{folder + QStringLiteral("/large.7z"), folder + QStringLiteral("/large.tar.gz")};
    BenchSupport::timeDirectRun(
        sevenZip, {QStringLiteral("a"), QStringLiteral("-mx=1"), archives.sevenZip,
                   source + QStringLiteral("/random.bin"), source + QStringLiteral("/table.txt")});
    BenchSupport::timeDirectRun(
        *ArchiveTools::Tar::locate(),
        {QStringLiteral("-czf"), archives.tarGz, QStringLiteral("random.bin"), QStringLiteral("table.txt")},
        source);
    QDir(source).removeRecursively();
    return archives;
}

// Removes a run's output and flushes it to disk, so no run pays for the write-back of an earlier one.
void settle(const QString& output) {
    QDir(output).removeRecursively();
    ::sync();
}

// Times run and direct alternately (which goes first alternates, so the write-back of one run's output
// weighs on both alike) and prints the median and best of each and their ratios. The machine may be busy
// with other work: the fastest run shows the cost of the path itself.
void compare(const char* title, const char* directName, int rounds, const std::function<double()>& direct,
             const std::function<double()>& viaService) {
    std::vector<double> directTimes;
    std::vector<double> serviceTimes;
    for (int round = 0; round < rounds; ++round) {
        if (round % 2 == 0) directTimes.push_back(direct());
        serviceTimes.push_back(viaService());
        if (round % 2 == 1) directTimes.push_back(direct());
    }
    const double directMedian = median(directTimes);
    const double serviceMedian = median(serviceTimes);
    const double directBest = *std::min_element(directTimes.begin(), directTimes.end());
    const double serviceBest = *std::min_element(serviceTimes.begin(), serviceTimes.end());
    std::printf("%s, %d alternating runs each\n", title, rounds);
    std::printf("                              median       best\n");
    std::printf("  %-22s %8.1f ms %8.1f ms\n", directName, directMedian, directBest);
    std::printf("  ArchiveService::extract  %8.1f ms %8.1f ms\n", serviceMedian, serviceBest);
    std::printf("  ratio service / direct   %8.3f    %8.3f\n", serviceMedian / directMedian,
                serviceBest / directBest);
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    BenchSupport::useToolEnvironment();
    const QString sevenZip = BenchSupport::requiredSevenZip();
    QTemporaryDir folder;
    const Archives archives = makeArchives(folder.path(), sevenZip);
    ::sync();
    const int threads = QThread::idealThreadCount();
    const ArchiveService service(ArchiveService::standardExtractors(), nullptr);
    ExtractionOptions settings;
    settings.extractToSeparateFolder = true;
    settings.deleteSourceAfterExtract = false;

    const QString output = folder.path() + QStringLiteral("/direct");
    const auto timeService = [&](const QString& archive) {
        const QString root = folder.path() + QStringLiteral("/service");
        const auto start = Clock::now();
        service.extract({archive}, root, std::nullopt, settings, threads, {});
        const double elapsed = millisecondsSince(start);
        settle(root);
        return elapsed;
    };
    const auto title = [&](const char* kind, const QString& archive) {
        return QByteArray(kind) + " of " +
               QByteArray::number(qRound(QFileInfo(archive).size() / double(kMiB))) + " MiB (" +
               QByteArray::number((kRandomBytes + kTextBytes) / kMiB) + " MiB unpacked), " +
               QByteArray::number(threads) + " threads";
    };
    compare(
        title("7Z", archives.sevenZip), "7zz x directly", kRounds,
        [&] {
            const double elapsed = BenchSupport::timeDirectRun(
                sevenZip, ArchiveTools::SevenZip::extractArguments(archives.sevenZip, output, threads));
            settle(output);
            return elapsed;
        },
        [&] { return timeService(archives.sevenZip); });
    compare(
        title("TAR.GZ", archives.tarGz), "tar -xzf directly", kTarRounds,
        [&] {
            QDir().mkpath(output);
            const double elapsed = BenchSupport::timeDirectRun(
                *ArchiveTools::Tar::locate(),
                {QStringLiteral("-xzf"), archives.tarGz, QStringLiteral("-C"), output});
            settle(output);
            return elapsed;
        },
        [&] { return timeService(archives.tarGz); });
    return 0;
}
