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
    // The second entry made on Unix.
    mixed[mixed.indexOf("PK\x01\x02", mixed.indexOf("PK\x01\x02") + 1) + 5] = char(Host::unix);
    const QMap<QString, QMap<QString, QByteArray>> cases{
        {write("dos.zip",
               LegacyArchives::zip({{"\x84\\"}, {"\x84\\\x81.txt", "u"}, {"\x84\\sub\\x.txt", "x"}})),
         {{u"ä/"_qs, {}}, {u"ä/sub/"_qs, {}}, {u"ä/sub/x.txt"_qs, "x"}, {u"ä/ü.txt"_qs, "u"}}},
        {write("ntfs.zip", LegacyArchives::zip({{QByteArray("ä\\ü.txt"), "u", true}}, Host{11})),
         {{u"ä/"_qs, {}}, {u"ä/ü.txt"_qs, "u"}}},
        {write("gbk.zip", LegacyArchives::zip({{gbk(u"资料\\报告.txt"_qs), "r"}})),
         {{u"资料/"_qs, {}}, {u"资料/报告.txt"_qs, "r"}}},
        {write("unix.zip", LegacyArchives::zip({{"a\\b.txt", "x"}}, Host::unix)), {{"a\\b.txt", "x"}}},
        {write("mixed.zip", mixed), {{"a\\b.txt", "x"}, {"c\\d.txt", "y"}}},
    };
    for (const auto& [archive, expected] : cases.asKeyValueRange())
        EXPECT_EQ(treeContents(extract(archive)), expected) << archive.toStdString();
}

// Nothing is written through a link on the way, nor above the folder.
TEST_F(LegacyNameRenamerTest, SeparatingFoldersGoesNeitherThroughALinkNorUp) {
    const QString outside = m_tree.makeFolder("outside");
    const QString folder = m_tree.makeFolder("staged/in");
    ASSERT_TRUE(QFile::link(outside, folder + "/a"));
    for (const char* name : {"a\\evil.txt", "..\\up.txt", "b\\..\\c.txt"})
        m_tree.writeFile(QStringLiteral("staged/in/") + name, "x");
    LegacyNameRenamer::separateFolders(folder);
    EXPECT_TRUE(QDir(outside).isEmpty());
    EXPECT_EQ(LegacyArchives::diskNames(folder),
              (QList<QByteArray>{"..\\up.txt", "a", "a\\evil.txt", "b\\..\\c.txt"}));
}
