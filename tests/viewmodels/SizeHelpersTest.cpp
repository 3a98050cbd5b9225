#include "core/base/CancellationError.h"
#include "core/base/FileTree.h"
#include "platform/ToolText.h"
#include "support/TempTree.h"
#include "viewmodels/CompressionEstimateHelper.h"
#include "viewmodels/DateFormattingHelper.h"
#include "viewmodels/FileSizeHelper.h"

#include <gtest/gtest.h>
#include <QFile>
#include <fstream>
#include <string>

#include <sys/stat.h>

namespace {

TEST(FileSizeHelper, FoldersCountTheirVisibleRegularFiles) {
    TempTree tree;
    tree.writeFile("Docs/data.bin", QByteArray(1000, 'x'));
    tree.writeFile("Docs/.DS_Store", QByteArray(50, 'x'));
    tree.writeFile("Docs/.git/pack", QByteArray(70, 'x'));
    tree.writeFile("Docs/sub/b.txt", QByteArray(24, 'x'));
    QFile::link(tree.path("Docs/data.bin"), tree.path("Docs/link"));
    const QString file = tree.writeFile("notes.txt", QByteArray(300, 'x'));

    EXPECT_EQ(FileSizeHelper::directorySize(tree.path("Docs")), 1024);
    EXPECT_EQ(FileSizeHelper::totalSize(tree.path("Docs")), 1024);
    EXPECT_EQ(FileSizeHelper::fileSize(file), 300);
    EXPECT_EQ(FileSizeHelper::totalSize({tree.path("Docs"), file, tree.path("missing")}), 1324);
    EXPECT_EQ(FileSizeHelper::totalSize(tree.path("missing")), 0);
    EXPECT_EQ(FileSizeHelper::totalSize(QStringList{}), 0);
}

// An archive to extract is as large as what the extraction reads: a split set's volumes all count.
TEST(FileSizeHelper, ASplitSetsVolumeCountsTheWholeSet) {
    TempTree tree;
    const std::pair<QString, int> written[] = {
        {"set.7z.001", 100},    {"set.7z.002", 200},    {"set.7z.003", 50}, {"other.7z.001", 7},
        {"show.part1.rar", 30}, {"show.part2.rar", 20}, {"old.rar", 40},    {"old.r00", 5},
        {"plain.zip", 9},       {"notes.txt", 3},
    };
    for (const auto& [name, size] : written) tree.writeFile("s/" + name, QByteArray(size, 'a'));
    const std::pair<QString, qint64> cases[] = {
        {"set.7z.001", 350}, {"set.7z.002", 350}, {"other.7z.001", 7}, {"show.part1.rar", 50},
        {"old.rar", 45},     {"plain.zip", 9},    {"notes.txt", 3},
    };
    for (const auto& [name, size] : cases)
        EXPECT_EQ(FileSizeHelper::archiveSize(tree.path("s/" + name)), size) << name.toStdString();

    // Names that are not UTF-8 (GBK) count by their bytes.
    const QByteArray legacy = QFile::encodeName(tree.path("s")) + "/\xD6\xD0\xCE\xC4";
    std::ofstream((legacy + ".7z.001").constData()) << std::string(60, 'a');
    std::ofstream((legacy + ".7z.002").constData()) << std::string(6, 'a');
    ASSERT_EQ(::mkdir(legacy.constData(), 0700), 0);
    std::ofstream((legacy + "/a.txt").constData()) << std::string(8, 'a');
    EXPECT_EQ(FileSizeHelper::archiveSize(ToolText::escapedName(legacy + ".7z.002")), 66);
    EXPECT_EQ(FileSizeHelper::totalSize(ToolText::escapedName(legacy)), 8);
}

TEST(FileSizeHelper, ACancelledWalkStopsBeforeTheNextEntry) {
    TempTree tree;
    constexpr int fileCount = 3000;
    for (int i = 0; i < fileCount; ++i) tree.writeFile(QStringLiteral("Docs/%1.txt").arg(i), "x");
    const QString file = tree.writeFile("notes.txt", QByteArray(300, 'x'));

    const CancellationToken token;
    int visited = 0;
    const auto cancelAtFirstEntry = [&](const FileTree::Entry&) {
        ++visited;
        token.cancel();
        return true;
    };
    EXPECT_THROW(FileTree::walk(tree.path("Docs"), cancelAtFirstEntry, {}, token), CancellationError);
    EXPECT_EQ(visited, 1);

    // The size helpers walk under the token; a file alone is not walked.
    EXPECT_THROW(FileSizeHelper::totalSize(tree.path("Docs"), token), CancellationError);
    EXPECT_THROW(CompressionEstimateHelper::estimatedSize({tree.path("Docs")}, CompressionFormat::zip,
                                                          CompressionLevel::standard, token),
                 CancellationError);
    EXPECT_EQ(FileSizeHelper::totalSize(file, token), 300);
}

TEST(CompressionEstimateHelper, OneFileByExtensionFormatAndLevel) {
    const std::tuple<QString, qint64, CompressionFormat, CompressionLevel, qint64> cases[] = {
        {"notes.txt", 1000, CompressionFormat::zip, CompressionLevel::standard, 350},
        {"notes.txt", 1000, CompressionFormat::sevenZip, CompressionLevel::maximum, 210},
        {"notes.txt", 1000, CompressionFormat::tarGzip, CompressionLevel::fastest, 460},
        {"movie.MOV", 1000, CompressionFormat::sevenZip, CompressionLevel::maximum, 970},
        {"movie.MOV", 1000, CompressionFormat::tarGzip, CompressionLevel::fastest, 970},
        {"backup.zip", 1000, CompressionFormat::zip, CompressionLevel::fastest, 990},
        {"report.pdf", 1000, CompressionFormat::rar, CompressionLevel::standard, 880},
        {"tool.exe", 1000, CompressionFormat::zip, CompressionLevel::standard, 720},
        {"README", 1000, CompressionFormat::zip, CompressionLevel::standard, 680},
        {"tiny.txt", 1, CompressionFormat::zip, CompressionLevel::standard, 1},
        {"empty.txt", 0, CompressionFormat::zip, CompressionLevel::standard, 0},
    };
    for (const auto& [name, size, format, level, expected] : cases) {
        TempTree tree;
        const QString file = tree.writeFile(name, QByteArray(size, 'x'));
        EXPECT_EQ(CompressionEstimateHelper::estimatedSize({file}, format, level), expected)
            << name.toStdString();
    }
}

TEST(CompressionEstimateHelper, FoldersSkipHiddenEntriesAndMissingItemsCountNothing) {
    TempTree tree;
    tree.writeFile("Docs/data.bin", QByteArray(1000, 'x'));
    tree.writeFile("Docs/.hidden.txt", QByteArray(1000, 'x'));
    tree.writeFile("Docs/.git/big.txt", QByteArray(1000, 'x'));
    tree.writeFile("Docs/sub/a.txt", QByteArray(1000, 'x'));
    EXPECT_EQ(CompressionEstimateHelper::estimatedSize({tree.path("Docs"), tree.path("missing")},
                                                       CompressionFormat::zip, CompressionLevel::standard),
              720 + 350);
    EXPECT_EQ(
        CompressionEstimateHelper::estimatedSize({}, CompressionFormat::zip, CompressionLevel::standard), 0);
}

TEST(DateFormattingHelper, ChineseDateAndTimeOrNone) {
    const QDateTime date(QDate(2026, 3, 5), QTime(9, 7, 30), Qt::LocalTime);
    EXPECT_EQ(DateFormattingHelper::dateTime(date), QStringLiteral(u"2026年3月5日 09点07分"));
    EXPECT_EQ(DateFormattingHelper::dateTime(QDateTime(QDate(2026, 12, 25), QTime(23, 59), Qt::LocalTime)),
              QStringLiteral(u"2026年12月25日 23点59分"));
    EXPECT_EQ(DateFormattingHelper::dateTime(std::nullopt), QStringLiteral(u"无"));
}

}  // namespace
