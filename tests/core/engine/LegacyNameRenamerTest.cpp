#include "EngineFixtures.h"
#include "core/engine/ArchiveService.h"
#include "core/engine/ExtractionOptions.h"
#include "core/engine/LegacyNameRenamer.h"
#include "support/LegacyArchives.h"

#include <QFileInfo>

using LegacyArchives::gbk;
using LegacyArchives::Host;
using LegacyArchives::Item;

namespace {

using namespace LegacyArchives::ChineseSample;

class LegacyNameRenamerTest : public testing::Test {
protected:
    QString write(const QString& name, const QByteArray& bytes) { return m_tree.writeFile(name, bytes); }

    // Extracts the whole archive with the standard extractors into out/<archive name>.
    QString extract(const QString& archive) {
        ExtractionOptions settings;
        settings.extractToSeparateFolder = false;
        const QString out = m_tree.path(QStringLiteral("out/") + QFileInfo(archive).fileName());
        ArchiveService(ArchiveService::standardExtractors(), nullptr)
            .extract({archive}, out, std::nullopt, settings, 1, m_token);
        return out;
    }

    TempTree m_tree;
    CancellationToken m_token;
};

}  // namespace

// Whole archives, ZIP and TAR, land on disk under their decoded names, through 7-Zip or unzip.
TEST_F(LegacyNameRenamerTest, ExtractedItemsCarryTheDecodedNames) {
    const QByteArray gbkTar = LegacyArchives::tar(gbkItems());
    const QStringList archives = {
        write(QStringLiteral("windows.zip"), LegacyArchives::zip(gbkItems())),
        write(QStringLiteral("unix.zip"), LegacyArchives::zip(gbkItems(), Host::unix)),
        write(QStringLiteral("names.tar"), gbkTar),
        LegacyArchives::gzipped(m_tree, QStringLiteral("names.tar.gz"), QStringLiteral("names.tar"), gbkTar),
    };
    const QMap<QString, QByteArray> expected{{kFolder, {}}, {kMixed, "mixed"}, {kFile, kContents}};
    for (const QString& archive : archives) {
        EXPECT_EQ(treeContents(extract(archive)), expected) << archive.toStdString();
    }
}

// A decoded name already taken (a clash keeps both items) or a name with no decoding keeps the
// tool's name.
TEST_F(LegacyNameRenamerTest, ItemsWithoutAFreeDecodedNameKeepTheToolsName) {
    const QByteArray legacy = gbk(QStringLiteral(u"测试.txt"));
    const struct {
        QString archive;
        QList<QByteArray> expected;
    } cases[] = {
        {write(QStringLiteral("clash.zip"),
               LegacyArchives::zip({{QByteArray("测试.txt"), "utf8", true}, {legacy, "legacy"}})),
         {legacy, QByteArray("测试.txt")}},
        {write(QStringLiteral("latin.tar"), LegacyArchives::tar({{"caf\xe9.txt", "a"}})), {"caf\xe9.txt"}},
        {write(QStringLiteral("latin.zip"), LegacyArchives::zip({{"caf\xe9.txt", "a"}}, Host::unix)),
         {"caf\xe9.txt"}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(LegacyArchives::diskNames(extract(c.archive)), c.expected) << c.archive.toStdString();
    }
    EXPECT_EQ(m_tree.readFile(QStringLiteral(u"out/clash.zip/测试.txt")), QByteArray("utf8"));
}

// In names made on DOS or Windows "\" separates folders, whatever their encoding; in names made
// elsewhere it is a character, and an archive mixing both keeps every name whole.
TEST_F(LegacyNameRenamerTest, BackslashesOfWindowsNamesSeparateFolders) {
    QByteArray mixed = LegacyArchives::zip({{"a\\b.txt", "x"}, {"c\\d.txt", "y"}}, Host{14});
    const qsizetype second = mixed.indexOf("PK\x01\x02", mixed.indexOf("PK\x01\x02") + 1);
    mixed[second + 5] = char(Host::unix);  // the second entry made on Unix
    const struct {
        QString archive;
        QMap<QString, QByteArray> expected;
    } cases[] = {
        {write(QStringLiteral("dos.zip"),
               LegacyArchives::zip({{"\x84\\"}, {"\x84\\\x81.txt", "u"}, {"\x84\\sub\\x.txt", "x"}})),
         {{QStringLiteral(u"ä/"), {}},
          {QStringLiteral(u"ä/sub/"), {}},
          {QStringLiteral(u"ä/sub/x.txt"), "x"},
          {QStringLiteral(u"ä/ü.txt"), "u"}}},
        {write(QStringLiteral("ntfs.zip"),
               LegacyArchives::zip({{QByteArray("ä\\ü.txt"), "u", true}}, Host{11})),
         {{QStringLiteral(u"ä/"), {}}, {QStringLiteral(u"ä/ü.txt"), "u"}}},
        {write(QStringLiteral("gbk.zip"),
               LegacyArchives::zip({{gbk(QStringLiteral(u"资料\\报告.txt")), "r"}})),
         {{QStringLiteral(u"资料/"), {}}, {QStringLiteral(u"资料/报告.txt"), "r"}}},
        {write(QStringLiteral("unix.zip"), LegacyArchives::zip({{"a\\b.txt", "x"}}, Host::unix)),
         {{QStringLiteral(u"a\\b.txt"), "x"}}},
        {write(QStringLiteral("mixed.zip"), mixed),
         {{QStringLiteral(u"a\\b.txt"), "x"}, {QStringLiteral(u"c\\d.txt"), "y"}}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(treeContents(extract(c.archive)), c.expected) << c.archive.toStdString();
    }
}

// Nothing is written through a link on the way, nor above the folder.
TEST_F(LegacyNameRenamerTest, SeparatingFoldersGoesNeitherThroughALinkNorUp) {
    const QString outside = m_tree.makeFolder(QStringLiteral("outside"));
    const QString folder = m_tree.makeFolder(QStringLiteral("staged/in"));
    ASSERT_TRUE(QFile::link(outside, folder + QStringLiteral("/a")));
    for (const char* name : {"a\\evil.txt", "..\\up.txt", "b\\..\\c.txt"})
        m_tree.writeFile(QStringLiteral("staged/in/") + QLatin1String(name), "x");
    LegacyNameRenamer::separateFolders(folder);
    EXPECT_TRUE(QDir(outside).isEmpty());
    EXPECT_EQ(LegacyArchives::diskNames(folder),
              (QList<QByteArray>{"..\\up.txt", "a", "a\\evil.txt", "b\\..\\c.txt"}));
    EXPECT_FALSE(QFileInfo::exists(m_tree.path(QStringLiteral("staged/up.txt"))));
}
