#include "EngineFixtures.h"
#include "core/engine/ArchiveService.h"
#include "core/engine/ExtractionOptions.h"
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
