#include "EngineFixtures.h"

#include "core/content/EditWorkFolder.h"
#include "core/engine/ArchiveError.h"
#include "core/engine/ArchiveTools.h"
#include "core/engine/CompressionService.h"
#include "core/split/SplitCompressionError.h"
#include "core/split/SplitCompressionPlanner.h"
#include "platform/WorkJournal.h"

#include "support/XdgEnvironment.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

using Contents = QMap<QString, QByteArray>;

// Bytes that do not compress, so volume counts follow from the input size.
QByteArray noise(qsizetype size) {
    QByteArray bytes(size, Qt::Uninitialized);
    quint32 state = 2463534242u;
    for (char& byte : bytes) {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        byte = char(state);
    }
    return bytes;
}

class CompressionSplitTest : public CompressionTest {
protected:
    void SetUp() override {
        CompressionTest::SetUp();
        inputs = {tree.writeFile("in/Docs/big.bin", noise(300 * 1024)), tree.writeFile("in/.env", "secret")};
        inputs.first() = tree.path("in/Docs");
        out = tree.path("out");
    }

    SplitCompressionResult split(CompressionFormat format, std::optional<qint64> volume,
                                 const std::optional<QString>& password = {}, bool overwrite = false,
                                 bool validate = true, const QString& baseName = "base") {
        return service.compressSplit({.files = inputs,
                                      .destinationDirectoryURL = out,
                                      .baseName = baseName,
                                      .format = format,
                                      .level = CompressionLevel::fastest,
                                      .password = password,
                                      .threadCount = 2,
                                      .excludeHiddenFiles = true,
                                      .splitEnabled = volume.has_value(),
                                      .splitSizeBytes = volume,
                                      .overwriteExisting = overwrite,
                                      .validateAfterCompletion = validate},
                                     {}, {});
    }

    QStringList outPaths(const QStringList& names) const {
        QStringList paths;
        for (const QString& name : names) paths << out + "/" + name;
        return paths;
    }

    static Contents expected() { return {{"Docs/", {}}, {"Docs/big.bin", noise(300 * 1024)}}; }

    CompressionService service;
    QStringList inputs;
    QString out;
};

TEST_F(CompressionSplitTest, SevenZipVolumesInOrderTestedAndWhole) {
    const SplitCompressionResult result = split(CompressionFormat::sevenZip, 100 * 1024, QString("pw"));
    EXPECT_EQ(result.outputURLs, outPaths({"base.7z.001", "base.7z.002", "base.7z.003", "base.7z.004"}));
    EXPECT_TRUE(result.validationPassed);
    EXPECT_EQ(extractedContents(out + "/base.7z.001", "pw"), expected());
    EXPECT_TRUE(stagingFolders().isEmpty());
}

TEST_F(CompressionSplitTest, ZipVolumesThenMainVolumeTestedFromTheFirst) {
    const SplitCompressionResult result = split(CompressionFormat::zip, 100 * 1024);
    EXPECT_EQ(result.outputURLs, outPaths({"base.z01", "base.z02", "base.z03", "base.zip"}));
    EXPECT_TRUE(result.validationPassed);
    EXPECT_EQ(extractedContents(out + "/base.zip"), expected());
}

// Killed between volume moves: the next start takes back those moved; the run then finds its names free.
TEST_F(CompressionSplitTest, AKillBetweenTheVolumeMovesLeavesNoPartOfTheSet) {
    for (const CompressionFormat format : {CompressionFormat::sevenZip, CompressionFormat::zip})
        for (const int moves : {1, 2}) {
            ASSERT_TRUE(killedAfterMoves(moves, [&] { split(format, 100 * 1024, {}, false, false); }));
            EXPECT_EQ(QDir(out).entryList(QDir::Files).size(), moves) << "killed between two moves";
            WorkJournal::removeLeftovers(EditWorkFolder::holdsWholeArchive);
            EXPECT_TRUE(QDir(out).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot)) << moves;
        }
    EXPECT_EQ(split(CompressionFormat::zip, 100 * 1024).outputURLs,
              outPaths({"base.z01", "base.z02", "base.z03", "base.zip"}));
}

// What the user did to a volume the killed run had moved out makes it theirs: the next start takes
// back no part of the set, and what the user has stays as they left it, whatever inode it took.
TEST_F(CompressionSplitTest, AVolumeTheUserTookOverAfterAKillKeepsTheSetWhereItIs) {
    const auto write = [](const QString& path, const QByteArray& bytes, QIODevice::OpenMode mode) {
        QFile file(path);
        ASSERT_TRUE(file.open(mode) && file.write(bytes) == bytes.size());
    };
    const auto read = [](const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
    };
    const struct {
        const char* what;
        std::function<QStringList(const QString& volume)> take;  // the user's files afterwards
    } cases[] = {
        {"deleted, then new files saved",
         [&](const QString& volume) {
             QFile::remove(volume);
             QStringList mine;
             for (const char* name : {"mine1.txt", "mine2.txt", "mine3.txt"})
                 write(mine.emplace_back(out + '/' + name), name, QIODevice::WriteOnly);
             return mine;
         }},
        {"replaced",
         [&](const QString& volume) {
             QFile::remove(volume);
             write(volume, "mine1.txt", QIODevice::WriteOnly);
             return QStringList{volume};
         }},
        {"written over in place",
         [&](const QString& volume) {
             write(volume, "mine1.txt", QIODevice::WriteOnly | QIODevice::Truncate);
             return QStringList{volume};
         }},
        {"renamed",
         [&](const QString& volume) {
             const QString kept = out + "/kept-" + QFileInfo(volume).fileName();
             QFile::rename(volume, kept);
             return QStringList{kept};
         }},
    };
    for (const CompressionFormat format : {CompressionFormat::sevenZip, CompressionFormat::zip})
        for (const auto& c : cases) {
            SCOPED_TRACE(c.what);
            QDir(out).removeRecursively();
            ASSERT_TRUE(killedAfterMoves(2, [&] { split(format, 100 * 1024, {}, false, false); }));
            const QStringList volumes = QDir(out).entryList(QDir::Files, QDir::Name);
            ASSERT_EQ(volumes.size(), 2);
            const QByteArray other = read(out + '/' + volumes[1]);
            QMap<QString, QByteArray> mine;
            for (const QString& path : c.take(out + '/' + volumes[0])) mine.insert(path, read(path));
            WorkJournal::removeLeftovers(EditWorkFolder::holdsWholeArchive);
            for (auto it = mine.cbegin(); it != mine.cend(); ++it)
                EXPECT_EQ(read(it.key()), it.value()) << it.key().toStdString();
            EXPECT_EQ(read(out + '/' + volumes[1]), other) << "the rest of the set stays";
            EXPECT_TRUE(QDir(out).entryList({".velmora*"}, QDir::AllEntries | QDir::Hidden).isEmpty());
        }
}

TEST_F(CompressionSplitTest, OneFileWhenNotSplitOrWhenItFits) {
    const std::tuple<CompressionFormat, std::optional<qint64>, QString, QString> cases[] = {
        {CompressionFormat::zip, 10 << 20, "a", "a.zip"},
        {CompressionFormat::zip, std::nullopt, "b", "b.zip"},
        {CompressionFormat::sevenZip, std::nullopt, "c", "c.7z"},
        {CompressionFormat::sevenZip, 10 << 20, "d", "d.7z.001"},
    };
    for (const auto& [format, volume, baseName, name] : cases) {
        const SplitCompressionResult result = split(format, volume, {}, false, false, baseName);
        EXPECT_EQ(result, (SplitCompressionResult{outPaths({name}), false})) << name.toStdString();
        EXPECT_EQ(extractedContents(out + "/" + name), expected()) << name.toStdString();
    }
}

// Sources that fill three volumes exactly: the page's preview promises the volumes the run writes.
TEST_F(CompressionSplitTest, PreviewCountsTheVolumesTheRunWrites) {
    const qint64 original = 300 * 1024 + 6;
    const qint64 volume = original / 3;
    for (const CompressionFormat format : {CompressionFormat::sevenZip, CompressionFormat::zip}) {
        const SplitCompressionResult result = split(format, volume, {}, true);
        EXPECT_EQ(result.outputURLs.size(), SplitCompressionPlanner::estimatedPartCount(
                                                SplitCompressionPlanner::largestArchiveBytes(original), volume, true))
            << result.outputURLs.join(' ').toStdString();
    }
}

TEST_F(CompressionSplitTest, UnsplitZipMayBeEncrypted) {
    const SplitCompressionResult result = split(CompressionFormat::zip, std::nullopt, QString("pw"));
    EXPECT_TRUE(result.validationPassed);
    EXPECT_NE(toolStatus("/usr/bin/7zz", {"t", "-pwrong", out + "/base.zip"}), 0);
    EXPECT_EQ(extractedContents(out + "/base.zip", "pw"), expected());
}

TEST_F(CompressionSplitTest, ExistingOutputsAreRefusedOrReplacedThroughTheTrash) {
    const XdgEnvironment xdg;
    tree.writeFile("out/base.7z.001", "old");
    tree.writeFile("out/base.7z.bak", "old");
    tree.writeFile("out/other.7z.001", "keep");
    try {
        split(CompressionFormat::sevenZip, 100 * 1024);
        ADD_FAILURE() << "existing outputs overwritten";
    } catch (const SplitCompressionError& error) {
        EXPECT_EQ(error.kind(), SplitCompressionError::Kind::existingOutput);
        EXPECT_TRUE(error.fileName().startsWith("base.7z."));
    }
    EXPECT_EQ(tree.readFile("out/base.7z.001"), "old");

    const SplitCompressionResult result = split(CompressionFormat::sevenZip, 100 * 1024, {}, true);
    EXPECT_EQ(result.outputURLs.size(), 4);
    EXPECT_FALSE(QFile::exists(out + "/base.7z.bak"));
    EXPECT_EQ(xdg.trashedPaths().size(), 2);
    EXPECT_EQ(tree.readFile("out/other.7z.001"), "keep");
    EXPECT_EQ(extractedContents(out + "/base.7z.001"), expected());
}

TEST_F(CompressionSplitTest, RefusedZipSplitsDeleteNothing) {
    tree.writeFile("out/base.zip", "old");
    tree.writeFile("out/base.z100", "old");
    const std::tuple<std::optional<QString>, qint64, QString> cases[] = {
        {"pw", 100 * 1024,
         QStringLiteral(u"压缩失败：当前 ZIP 分卷压缩暂不支持加密，请关闭密码或改用 7Z 分卷。")},
        {std::nullopt, 65535, QStringLiteral(u"每卷大小必须大于 0。")},
    };
    for (const auto& [password, volume, message] : cases) {
        EXPECT_EQ(thrownMessage([&, volume = volume, password = password] {
                      split(CompressionFormat::zip, volume, password, true);
                  }),
                  message);
        EXPECT_EQ(tree.readFile("out/base.zip"), "old");
        EXPECT_EQ(tree.readFile("out/base.z100"), "old");
    }
}

TEST_F(CompressionSplitTest, RequestsRefusedBeforeTheFolderIsMade) {
    const QString unsupported = SplitCompressionError::unsupportedFormat().message();
    EXPECT_EQ(thrownMessage([&] { split(CompressionFormat::tarGzip, 100 * 1024); }), unsupported);
    EXPECT_EQ(thrownMessage([&] { split(CompressionFormat::rar, std::nullopt); }), unsupported);
    EXPECT_EQ(thrownMessage([&] {
                  service.compressSplit({.files = inputs,
                                         .destinationDirectoryURL = out,
                                         .baseName = "b",
                                         .splitEnabled = true,
                                         .splitSizeBytes = 0},
                                        {}, {});
              }),
              SplitCompressionError::invalidVolumeSize().message());
    EXPECT_EQ(thrownMessage([&] {
                  service.compressSplit({.files = {tree.path("in/.env")},
                                         .destinationDirectoryURL = out,
                                         .baseName = "b",
                                         .excludeHiddenFiles = true},
                                        {}, {});
              }),
              ArchiveError::noInputFiles().message());
    EXPECT_EQ(thrownMessage([&] {
                  service.compressSplit({.files = {tree.path("in/missing")},
                                         .destinationDirectoryURL = out,
                                         .baseName = "b",
                                         .excludeHiddenFiles = true},
                                        {}, {});
              }),
              ArchiveError::fileNotFound(tree.path("in/missing")).message());
    EXPECT_FALSE(QFileInfo::exists(out));
}

TEST_F(CompressionSplitTest, BaseNamesAreCleanedForFilesAndCollection) {
    const SplitCompressionResult result =
        split(CompressionFormat::sevenZip, 200 * 1024, {}, false, false, "  My/Report:2024 ");
    EXPECT_EQ(result.outputURLs, outPaths({"My-Report-2024.7z.001", "My-Report-2024.7z.002"}));
    const SplitCompressionResult hidden = split(CompressionFormat::zip, 200 * 1024, {}, false, true, ".dot");
    EXPECT_EQ(hidden.outputURLs, outPaths({".dot.z01", ".dot.zip"}));
}

TEST_F(CompressionSplitTest, HiddenInputsAreDroppedOnlyWhenExcluding) {
    const SplitCompressionResult result = service.compressSplit({.files = inputs,
                                                                 .destinationDirectoryURL = out,
                                                                 .baseName = "all",
                                                                 .format = CompressionFormat::sevenZip,
                                                                 .level = CompressionLevel::fastest},
                                                                {}, {});
    Contents withEnv = expected();
    withEnv.insert(".env", "secret");
    EXPECT_EQ(extractedContents(result.outputURLs.first()), withEnv);
}

}  // namespace

TEST(CompressionSplitSizes, ZipSplitValues) {
    constexpr qint64 kMiB = Q_INT64_C(1) << 20;
    constexpr qint64 kGiB = Q_INT64_C(1) << 30;
    EXPECT_THROW(ArchiveTools::Zip::volumeSize(65535), SplitCompressionError);
    const std::pair<qint64, QString> cases[] = {
        {65536, "64k"},
        {2 * kGiB, "2g"},
        {100 * kMiB, "100m"},
        {1500000, "1464k"},
    };
    for (const auto& [count, expected] : cases)
        EXPECT_EQ(ArchiveTools::Zip::volumeSize(count), expected) << count;
}
