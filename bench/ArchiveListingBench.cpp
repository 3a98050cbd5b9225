// Listing a ZIP of 100,000 entries three ways in one run: the central directory reader (no tool),
// the full listing through 7-Zip's technical listing, and 7-Zip's technical listing alone with its
// output to /dev/null. Prints the median of several runs of each and the ratios.
//
// More than 65,534 entries do not fit the end record's 16-bit count, so such a ZIP is a ZIP64 archive
// (as zip and 7-Zip write it), which the reader leaves to the tools: the fast listing answers
// "absent" at once. The reader's walk over the same directory is timed on its own as well, to show
// what it costs where it applies.
//
// A .tar.gz of as many entries, listed through GNU tar, against tar's own listing to /dev/null.
//
// Then a ZIP of 1,000,000 small entries, listed once by 7-Zip alone and once by velmora: its technical
// listing runs for as long as it prints, so the listing must not be cut short by a limit on the whole
// run. Prints both times, the ratio, velmora's peak memory during its listing, what that is per row,
// and 7-Zip's own peak.

#include "BenchSupport.h"
#include "core/content/ArchivePreviewService.h"
#include "core/content/PreviewEntryRules.h"
#include "core/content/ZipDirectoryListing.h"
#include "core/engine/ArchiveTools.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include <sys/resource.h>

namespace {

constexpr int kEntries = 100000;
constexpr int kRounds = 7;
constexpr int kLargeEntries = 1000000;

using BenchSupport::Clock;
using BenchSupport::median;
using BenchSupport::millisecondsSince;

double fastListing(const ArchivePreviewService& service, const QString& archive) {
    const auto start = Clock::now();
    const auto entries = service.fastPreviewEntriesIfAvailable(archive);
    const double elapsed = millisecondsSince(start);
    if (entries) std::fprintf(stderr, "fast listing: a ZIP64 archive gave rows\n");
    return elapsed;
}

// What the fast listing does with a directory whose count fits: walk and garbled-name test.
double directoryWalk(const QByteArray& directory) {
    const auto start = Clock::now();
    const PreviewListing listing = ZipDirectoryListing::readDirectory(directory, kEntries);
    const bool garbled = PreviewEntryRules::containsMojibakePath(listing.entries);
    const QList<ArchivePreviewEntry>& entries = listing.entries;
    const double elapsed = millisecondsSince(start);
    if (garbled || entries.size() != kEntries) std::fprintf(stderr, "directory walk: wrong rows\n");
    return elapsed;
}

double toolListing(const ArchivePreviewService& service, const QString& archive) {
    const auto start = Clock::now();
    const QList<ArchivePreviewEntry> entries = service.previewEntries(archive, std::nullopt, {});
    const double elapsed = millisecondsSince(start);
    if (entries.size() != kEntries) std::fprintf(stderr, "listing: %lld rows\n", qlonglong(entries.size()));
    return elapsed;
}

double bareTool(const QString& sevenZip, const QString& archive) {
    return BenchSupport::timeDirectRun(sevenZip, ArchiveTools::SevenZip::technicalListArguments(archive));
}

// The same names in a .tar.gz: previewEntries (GNU tar's verbose listing) against the bare listing.
void tarListing(const ArchivePreviewService& service, const QList<QByteArray>& names, const QString& folder) {
    const QString tar = folder + QStringLiteral("/many.tar");
    BenchSupport::writeTar(tar, names);
    BenchSupport::timeDirectRun(QStringLiteral("/usr/bin/gzip"), {QStringLiteral("-1"), tar});
    const QString archive = tar + QStringLiteral(".gz");
    std::vector<double> listing;
    std::vector<double> bare;
    for (int round = 0; round < kRounds; ++round) {
        listing.push_back(toolListing(service, archive));
        bare.push_back(BenchSupport::timeDirectRun(
            *ArchiveTools::Tar::locate(),
            QStringList{QStringLiteral("-z")} + ArchiveTools::Tar::listArguments(archive)));
    }
    const double listingMs = median(listing);
    const double bareMs = median(bare);
    std::printf("TAR.GZ of %d entries (%lld bytes), median of %d runs\n", kEntries,
                qlonglong(QFile(archive).size()), kRounds);
    std::printf("  previewEntries (tar --list)      %8.1f ms\n", listingMs);
    std::printf("  tar -z --list > /dev/null        %8.1f ms\n", bareMs);
    std::printf("  ratio previewEntries / bare tool %8.2f\n", listingMs / bareMs);
    std::fflush(stdout);
}

// A field of /proc/self/status, in KiB: VmRSS now, VmHWM the peak since the last reset.
qint64 statusKiB(const std::string& field) {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind(field + ":", 0) == 0) return std::stoll(line.substr(field.size() + 1));
    }
    return -1;
}

// The largest peak resident size of any tool run so far.
qint64 childrenPeakKiB() {
    rusage usage{};
    return ::getrusage(RUSAGE_CHILDREN, &usage) == 0 ? usage.ru_maxrss : -1;
}

// Starts VmHWM again from the current resident size, so the fixture's own peak is not counted.
void resetPeakMemory() { std::ofstream("/proc/self/clear_refs") << "5"; }

void largeArchive(const ArchivePreviewService& service, const QString& sevenZip, const QString& folder) {
    QList<QByteArray> names;
    names.reserve(kLargeEntries);
    for (int index = 0; index < kLargeEntries; ++index) {
        names << QByteArray::number(index / 1000) + '/' + QByteArray::number(index) + ".txt";
    }
    const QString archive = BenchSupport::writeStoredZip(folder + QStringLiteral("/million.zip"), names).path;
    names = {};
    const double bareMs = bareTool(sevenZip, archive);
    resetPeakMemory();
    const qint64 residentKiB = statusKiB("VmRSS");
    const auto start = Clock::now();
    const qsizetype rows = service.previewEntries(archive, std::nullopt, {}).size();
    const double listingMs = millisecondsSince(start);
    const qint64 peakKiB = statusKiB("VmHWM");
    std::printf("ZIP of %d entries (%lld bytes), one run each\n", kLargeEntries,
                qlonglong(QFile(archive).size()));
    std::printf("  previewEntries (7zz l -slt)      %8.1f ms (%lld rows)\n", listingMs, qlonglong(rows));
    std::printf("  7zz l -slt > /dev/null           %8.1f ms\n", bareMs);
    std::printf("  ratio previewEntries / bare tool %8.2f\n", listingMs / bareMs);
    std::printf("  peak memory during the listing   %8.1f MiB (%.1f MiB before it)\n", peakKiB / 1024.0,
                residentKiB / 1024.0);
    std::printf("  memory per row                   %8.2f KiB\n",
                rows > 0 ? double(peakKiB - residentKiB) / double(rows) : 0.0);
    std::printf("  7zz l -slt's own peak memory     %8.1f MiB (the largest tool run)\n",
                childrenPeakKiB() / 1024.0);
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    BenchSupport::useToolEnvironment();
    const QString sevenZip = BenchSupport::requiredSevenZip();
    QTemporaryDir folder;
    QList<QByteArray> names;
    for (int index = 0; index < kEntries; ++index) {
        names << QStringLiteral(u"文件夹%1/报告-%2.txt").arg(index / 100).arg(index).toUtf8();
    }
    const BenchSupport::StoredZip zip =
        BenchSupport::writeStoredZip(folder.path() + QStringLiteral("/many.zip"), names);
    const QString& archive = zip.path;
    const ArchivePreviewService service;

    std::vector<double> walk;
    std::vector<double> fast;
    std::vector<double> listing;
    std::vector<double> bare;
    for (int round = 0; round < kRounds; ++round) {
        fast.push_back(fastListing(service, archive));
        walk.push_back(directoryWalk(zip.directory));
        listing.push_back(toolListing(service, archive));
        bare.push_back(bareTool(sevenZip, archive));
    }
    const double fastMs = median(fast);
    const double walkMs = median(walk);
    const double listingMs = median(listing);
    const double bareMs = median(bare);
    std::printf("ZIP of %d entries (%lld bytes), median of %d runs\n", kEntries,
                qlonglong(QFile(archive).size()), kRounds);
    std::printf("  fastPreviewEntriesIfAvailable    %8.3f ms (absent: ZIP64, left to the tools)\n", fastMs);
    std::printf("  central directory walk           %8.1f ms (rows, garbled test)\n", walkMs);
    std::printf("  previewEntries (7zz l -slt)      %8.1f ms\n", listingMs);
    std::printf("  7zz l -slt > /dev/null           %8.1f ms\n", bareMs);
    std::printf("  ratio previewEntries / bare tool %8.2f\n", listingMs / bareMs);
    std::printf("  ratio directory walk / bare tool %8.2f\n", walkMs / bareMs);
    std::fflush(stdout);
    tarListing(service, names, folder.path());
    largeArchive(service, sevenZip, folder.path());
    return 0;
}
