// Cost of velmora's single-archive compression (ArchiveService::compressSingle) against the same 7zz command
// run directly, and of a compression with hidden files excluded against the one that keeps them. 7Z at the
// fastest level over ~200 MiB of files, and over a folder of 5,000 small files, where anything velmora does
// per file (staging used to copy every one) shows most against the bare tool; prints the median of several
// runs and the ratios. The small files also go to a ZIP at the standard level, against a plain
// "7zz a -tzip -mx=5" of the folder.

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
#include <iterator>
#include <vector>

namespace {

constexpr int kVisibleFiles = 200;
constexpr int kHiddenFiles = 20;
constexpr qsizetype kFileBytes = qsizetype(1) << 20;
constexpr int kRounds = 5;
constexpr int kSmallFolders = 50;
constexpr int kSmallFilesPerFolder = 100;
constexpr int kSmallFileBytes = 4096;

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

// A source tree's worth of small files in folders: <root>/small.
QString writeSmallFiles(const QString& root) {
    const QString folder = root + QStringLiteral("/small");
    for (int i = 0; i < kSmallFolders; ++i) {
        const QString subfolder = folder + QStringLiteral("/dir-") + QString::number(i);
        QDir().mkpath(subfolder);
        for (int j = 0; j < kSmallFilesPerFolder; ++j) {
            QFile file(subfolder + QStringLiteral("/file-") + QString::number(j) + QStringLiteral(".txt"));
            file.open(QIODevice::WriteOnly);
            file.write(fileContents(quint32(i * kSmallFilesPerFolder + j)).right(kSmallFileBytes));
        }
    }
    return folder;
}

// The argument list velmora gives 7zz for these names in workingFolder, run without velmora.
double bareSevenZip(const QString& sevenZip, const QStringList& names, const QString& workingFolder,
                    const QString& archive, int threads) {
    QStringList arguments{ArchiveTools::SevenZip::addCommand(),
                          ArchiveTools::SevenZip::archiveType(CompressionFormat::sevenZip),
                          ArchiveTools::SevenZip::level(CompressionLevel::fastest),
                          ArchiveTools::SevenZip::threads(threads), ArchiveTools::SevenZip::storeLinks()};
    arguments += ArchiveTools::SevenZip::progressSwitches();
    arguments << ArchiveTools::SevenZip::lzma2Method();
    arguments += ArchiveTools::SevenZip::endOfSwitches();
    arguments << archive << names;
    return BenchSupport::timeDirectRun(sevenZip, arguments, workingFolder);
}

QStringList namesOf(const QStringList& files) {
    QStringList names;
    for (const QString& file : files) names << QFileInfo(file).fileName();
    return names;
}

// A plain ZIP at the standard level, as someone would make it by hand.
double bareZip(const QString& sevenZip, const QString& name, const QString& workingFolder,
               const QString& archive) {
    return BenchSupport::timeDirectRun(
        sevenZip, {QStringLiteral("a"), QStringLiteral("-tzip"), QStringLiteral("-mx=5"), archive, name},
        workingFolder);
}

double velmora(const QStringList& files, bool excludeHiddenFiles, const QString& archive, int threads,
               CompressionFormat format = CompressionFormat::sevenZip,
               CompressionLevel level = CompressionLevel::fastest) {
    const ArchiveService service(ArchiveService::standardExtractors(),
                                 std::make_shared<CompressionService>());
    int progressReports = 0;
    const auto start = Clock::now();
    service.compressSingle(files, archive, format, level, std::nullopt, threads, excludeHiddenFiles,
                           [&](double) { ++progressReports; }, {});
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

    const auto smallGeneration = Clock::now();
    const QString smallFolder = writeSmallFiles(folder.path());
    std::printf("inputs: a folder of %d small files (%d bytes each) written in %.0f ms\n",
                kSmallFolders * kSmallFilesPerFolder, kSmallFileBytes, millisecondsSince(smallGeneration));

    std::vector<double> bare, inPlace, excluding, smallBare, smallVelmora, zipBare, zipVelmora;
    const QString archive = folder.path() + QStringLiteral("/out.7z");
    const QString zipArchive = folder.path() + QStringLiteral("/out.zip");
    const std::function<void()> cases[] = {
        [&] {
            bare.push_back(
                bareSevenZip(sevenZip, namesOf(inputs.visibleFiles), inputs.folder, archive, threads));
        },
        [&] { inPlace.push_back(velmora(inputs.visibleFiles, false, archive, threads)); },
        [&] { excluding.push_back(velmora(inputs.allFiles, true, archive, threads)); },
        [&] {
            smallBare.push_back(
                bareSevenZip(sevenZip, {QStringLiteral("small")}, folder.path(), archive, threads));
        },
        [&] { smallVelmora.push_back(velmora({smallFolder}, false, archive, threads)); },
        [&] { zipBare.push_back(bareZip(sevenZip, QStringLiteral("small"), folder.path(), zipArchive)); },
        [&] {
            zipVelmora.push_back(velmora({smallFolder}, false, zipArchive, threads, CompressionFormat::zip,
                                         CompressionLevel::standard));
        },
    };
    constexpr int kCases = int(std::size(cases));
    // The order rotates so that no case always runs first or last on a busy machine.
    for (int round = 0; round < kRounds; ++round) {
        for (int step = 0; step < kCases; ++step) {
            cases[(round + step) % kCases]();
            QFile::remove(archive);
            QFile::remove(zipArchive);
        }
    }
    const double bareMs = median(bare), inPlaceMs = median(inPlace), excludingMs = median(excluding);
    const double smallBareMs = median(smallBare), smallVelmoraMs = median(smallVelmora);
    const double zipBareMs = median(zipBare), zipVelmoraMs = median(zipVelmora);
    std::printf("median of %d runs\n", kRounds);
    std::printf("  7zz a, run directly               %8.0f ms\n", bareMs);
    std::printf("  velmora, in place                 %8.0f ms   ratio to 7zz      %.3f\n", inPlaceMs,
                inPlaceMs / bareMs);
    std::printf("  velmora, hidden files excluded    %8.0f ms   ratio to in place %.3f\n", excludingMs,
                excludingMs / inPlaceMs);
    std::printf("  5,000 small files: 7zz a directly %8.0f ms\n", smallBareMs);
    std::printf("  5,000 small files: velmora        %8.0f ms   ratio to 7zz      %.3f\n", smallVelmoraMs,
                smallVelmoraMs / smallBareMs);
    std::printf("  5,000 small files: 7zz a -tzip -mx=5 %6.0f ms\n", zipBareMs);
    std::printf("  5,000 small files: velmora, ZIP   %8.0f ms   ratio to 7zz      %.3f\n", zipVelmoraMs,
                zipVelmoraMs / zipBareMs);
    return 0;
}
