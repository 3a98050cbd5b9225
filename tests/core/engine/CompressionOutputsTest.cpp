#include "EngineFixtures.h"
#include "core/base/FileSystemError.h"
#include "core/engine/CompressionOutputs.h"
#include "core/engine/SevenZipProgress.h"
#include "platform/ToolText.h"

#include <gtest/gtest.h>
#include <QFile>
#include <fstream>

namespace {

QStringList inFolder(const TempTree& tree, const QStringList& names) {
    QStringList paths;
    for (const QString& name : names) paths << tree.path(name);
    return paths;
}

TEST(CompressionOutputs, SevenZipVolumesInNumberOrderWithOddNamesLast) {
    const std::tuple<QString, QStringList, QStringList> cases[] = {
        {"Backup",
         {"Backup.7z.002", "Backup.7z.010", "Backup.7z.notes", "Backup.7z.001", "Other.7z.001"},
         {"Backup.7z.001", "Backup.7z.002", "Backup.7z.010", "Backup.7z.notes"}},
        {"Backup", {"Backup.7z.001", "backup.7z.002"}, {"Backup.7z.001"}},
        {".hidden", {".hidden.7z.002", ".hidden.7z.001"}, {".hidden.7z.001", ".hidden.7z.002"}},
        {"big", {"big.7z.1000", "big.7z.999"}, {"big.7z.999", "big.7z.1000"}},
    };
    for (const auto& [baseName, present, expected] : cases) {
        TempTree tree;
        for (const QString& name : present) tree.writeFile(name, "v");
        EXPECT_EQ(CompressionOutputs::findSevenZipOutputs(tree.root(), baseName), inFolder(tree, expected))
            << baseName.toStdString();
    }
}

TEST(CompressionOutputs, ZipVolumesThenTheMainVolume) {
    const std::tuple<QString, QStringList, QStringList> cases[] = {
        {"Data",
         {"Data.z02", "Data.zip", "Data.z01", "Data.z1", "Data.Z03"},
         {"Data.z01", "Data.z02", "Data.zip"}},
        {"a+b (1)", {"a+b (1).z01", "a+b (1).zip", "aab (1).z02"}, {"a+b (1).z01", "a+b (1).zip"}},
        {"Data", {"Data.zip"}, {"Data.zip"}},
        {"Data", {"Data.z100", "Data.z99", "Data.zip"}, {"Data.z99", "Data.z100", "Data.zip"}},
        {".x", {".x.z01", ".x.zip"}, {".x.z01", ".x.zip"}},
    };
    for (const auto& [baseName, present, expected] : cases) {
        TempTree tree;
        for (const QString& name : present) tree.writeFile(name, "v");
        EXPECT_EQ(CompressionOutputs::findZipSplitOutputs(tree.root(), baseName), inFolder(tree, expected))
            << baseName.toStdString();
    }
    // A base name that is not UTF-8 (a GBK folder's) is found by its bytes.
    const TempTree tree;
    for (const char* suffix : {".z01", ".zip"})
        std::ofstream((QFile::encodeName(tree.root()) + "/\xD6\xD0\xCE\xC4" + suffix).constData()) << 'v';
    const QString legacy = tree.root() + '/' + ToolText::escapedName("\xD6\xD0\xCE\xC4");
    EXPECT_EQ(CompressionOutputs::findZipSplitOutputs(tree.root(), ToolText::escapedName("\xD6\xD0\xCE\xC4")),
              (QStringList{legacy + ".z01", legacy + ".zip"}));
}

TEST(CompressionOutputs, MissingVolumesAreCompressionFailures) {
    TempTree tree;
    tree.writeFile("Data.z01", "v");
    tree.writeFile("Other.7z.001", "v");
    EXPECT_EQ(thrownArchiveError([&] { CompressionOutputs::findSevenZipOutputs(tree.root(), "Backup"); }),
              ArchiveError::compressFailed(QStringLiteral(u"未找到生成的分卷文件。")));
    EXPECT_EQ(thrownArchiveError([&] { CompressionOutputs::findZipSplitOutputs(tree.root(), "Data"); }),
              ArchiveError::compressFailed(QStringLiteral(u"未找到生成的 ZIP 主卷。")));
    EXPECT_THROW(CompressionOutputs::findSevenZipOutputs(tree.path("missing"), "Backup"), FileSystemError);
}

TEST(SevenZipProgress, PercentagesInAChunk) {
    const std::pair<QString, std::vector<double>> cases[] = {
        {" 45% 12 + photos/a.jpg", {0.45}},
        {"100%", {0.95}},
        {"  0%", {0.01}},
        {" 45%\b\b\b\b 50%", {0.45, 0.5}},
        {"80% then 3%", {0.8, 0.03}},
        {"Everything is Ok", {}},
        {"report 7% final.txt", {0.07}},
    };
    for (const auto& [chunk, expected] : cases) {
        EXPECT_EQ(SevenZipProgress::sevenZipProgressValues(chunk), expected) << chunk.toStdString();
    }
}

}  // namespace
