#include "ContentFixture.h"
#include "core/content/MacOsRoman.h"
#include "core/engine/ArchiveService.h"
#include "core/state/AppSettings.h"
#include "support/LegacyArchives.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>

#include <filesystem>

using LegacyArchives::gbk;
using LegacyArchives::Host;
using LegacyArchives::Item;

namespace {

const QString kFolder = QStringLiteral(u"中文目录/");
const QString kFile = QStringLiteral(u"中文目录/测试文件.txt");
const QString kMixed = QStringLiteral(u"中文目录/报告（2024版）final.doc");
const QByteArray kContents("测试内容\n");

QList<Item> gbkItems() { return {{gbk(kFolder)}, {gbk(kFile), kContents}, {gbk(kMixed), "mixed"}}; }

QString roman(const QByteArray& bytes) { return MacOsRoman::decode(bytes); }

// The names of the items directly in a folder, as the bytes on disk.
QList<QByteArray> diskNames(const QString& folder) {
    QList<QByteArray> names;
    for (const auto& item : std::filesystem::directory_iterator(QFile::encodeName(folder).toStdString()))
        names.append(QByteArray::fromStdString(item.path().filename().native()));
    std::sort(names.begin(), names.end());
    return names;
}

class LegacyNamesTest : public ContentFixture {
protected:
    QString write(const QString& name, const QByteArray& bytes) { return m_tree.writeFile(name, bytes); }

    // A gzip of a file named memberName, as gzip records that name in its header.
    QString gzipped(const QString& name, const QString& memberName, const QByteArray& bytes) {
        write(QStringLiteral("gz/") + memberName, bytes);
        runTool(QStringLiteral("gzip"), {QStringLiteral("-k"), memberName},
                m_tree.path(QStringLiteral("gz")));
        QFile::rename(m_tree.path(QStringLiteral("gz/") + memberName + QStringLiteral(".gz")),
                      m_tree.path(name));
        return m_tree.path(name);
    }

    QStringList extractedFiles(const QString& folder) const {
        QStringList files;
        const QDir root(folder);
        QDirIterator walk(folder, QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot,
                          QDirIterator::Subdirectories);
        while (walk.hasNext()) files.append(root.relativeFilePath(walk.next()));
        return sorted(files);
    }

    ArchivePreviewService m_service;
};

}  // namespace

// Every reader shows one archive's names alike: 7-Zip's listing, the ZIP reader alone (no 7-Zip)
// and the quick listing.
TEST_F(LegacyNamesTest, ZipNamesReadTheSameThroughEveryReader) {
    const QByteArray oldName = gbk(QStringLiteral(u"资料/旧名.txt"));
    const QByteArray cafe437("caf\x82.txt"), munich437("M\x9aNCHEN.TXT");
    const QByteArray russian866("\xe4\xa0\xa9\xab.txt"), document866("\x84\xae\xaa\xe3\xac\xa5\xad\xe2.txt");
    const struct {
        const char* label;
        QByteArray archive;
        QStringList expected;
    } cases[] = {
        {"GBK from Windows", LegacyArchives::zip(gbkItems()), {kFolder, kMixed, kFile}},
        {"GBK from Unix with a Unicode Path field",
         LegacyArchives::zip({{gbk(QStringLiteral(u"资料/"))},
                              {oldName, "x", false,
                               LegacyArchives::unicodePathField(oldName, QStringLiteral(u"资料/新名.txt"))},
                              {gbk(QStringLiteral(u"资料/说明.txt")), "y"}},
                             Host::unix),
         {QStringLiteral(u"资料/"), QStringLiteral(u"资料/新名.txt"), QStringLiteral(u"资料/说明.txt")}},
        {"code page 437",
         LegacyArchives::zip({{cafe437, "a"}, {munich437, "b"}}),
         {roman(munich437), roman(cafe437)}},
        {"DOS Russian", LegacyArchives::zip({{russian866, "a"}, {document866, "b"}}),
         sorted({roman(russian866), roman(document866)})},
        {"Mac OS Roman", LegacyArchives::zip({{"caf\x8e.txt", "a"}}), {QStringLiteral(u"café.txt")}},
        // Made on Unix, a name is a file system's bytes, not a code page.
        {"Latin 1 from Unix", LegacyArchives::zip({{"caf\xe9.txt", "a"}}, Host::unix),
         {QStringLiteral(u"caf\uFFFD.txt")}},
        {"UTF-8 without the flag",
         LegacyArchives::zip({{QByteArray("日本語.txt"), "a"}}),
         {QStringLiteral(u"日本語.txt")}},
        {"UTF-8 with the flag",
         LegacyArchives::zip({{QByteArray("标记.txt"), "a", true}}),
         {QStringLiteral(u"标记.txt")}},
    };
    for (const auto& c : cases) {
        const QString archive = write(QString::fromLatin1(c.label) + QStringLiteral(".zip"), c.archive);
        EXPECT_EQ(sorted(paths(m_service.previewEntries(archive, std::nullopt, m_token))), c.expected)
            << c.label;
        const ArchivePreviewService readerOnly(withoutSevenZip());
        EXPECT_EQ(sorted(paths(readerOnly.previewEntries(archive, std::nullopt, m_token))), c.expected)
            << c.label;
        const std::optional<QList<ArchivePreviewEntry>> quick =
            m_service.fastPreviewEntriesIfAvailable(archive);
        ASSERT_TRUE(quick) << c.label;
        EXPECT_EQ(sorted(paths(*quick)), c.expected) << c.label;
    }
}

TEST_F(LegacyNamesTest, TarNamesAreChineseOrShowTheUndecodableBytes) {
    const QByteArray gbkTar = LegacyArchives::tar(gbkItems());
    const QString replacement(QChar::ReplacementCharacter);
    const struct {
        QString archive;
        QStringList expected;
    } cases[] = {
        {write(QStringLiteral("gbk.tar"), gbkTar), {kFolder, kMixed, kFile}},
        {write(QStringLiteral("latin.tar"), LegacyArchives::tar({{"caf\xe9.txt", "a"}, {"plain.txt", "b"}})),
         {QStringLiteral("caf") + replacement + QStringLiteral(".txt"), QStringLiteral("plain.txt")}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(sorted(paths(m_service.previewEntries(c.archive, std::nullopt, m_token))), c.expected)
            << c.archive.toStdString();
    }
}

// Whole archives, ZIP and TAR, land on disk under their decoded names, through 7-Zip or unzip.
TEST_F(LegacyNamesTest, ExtractedItemsCarryTheDecodedNames) {
    const QByteArray gbkTar = LegacyArchives::tar(gbkItems());
    const QStringList archives = {
        write(QStringLiteral("windows.zip"), LegacyArchives::zip(gbkItems())),
        write(QStringLiteral("unix.zip"), LegacyArchives::zip(gbkItems(), Host::unix)),
        write(QStringLiteral("names.tar"), gbkTar),
        gzipped(QStringLiteral("names.tar.gz"), QStringLiteral("names.tar"), gbkTar),
    };
    AppSettings settings;
    settings.extractToSeparateFolder = false;
    ArchiveService service(ArchiveService::standardExtractors(), nullptr);
    for (const QString& archive : archives) {
        const QString out = m_tree.path(QStringLiteral("out/") + QFileInfo(archive).fileName());
        service.extract({archive}, out, std::nullopt, settings, 1, m_token);
        EXPECT_EQ(extractedFiles(out), QStringList({QStringLiteral(u"中文目录"), kMixed, kFile}))
            << archive.toStdString();
        EXPECT_EQ(m_tree.readFile(QStringLiteral("out/") + QFileInfo(archive).fileName() + u'/' + kFile),
                  kContents);
    }
}

// A decoded name already taken (a clash keeps both items) or a name with no decoding keeps the
// tool's name.
TEST_F(LegacyNamesTest, ItemsWithoutAFreeDecodedNameKeepTheToolsName) {
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
    AppSettings settings;
    settings.extractToSeparateFolder = false;
    for (const auto& c : cases) {
        const QString out = m_tree.path(QStringLiteral("out/") + QFileInfo(c.archive).fileName());
        ArchiveService(ArchiveService::standardExtractors(), nullptr)
            .extract({c.archive}, out, std::nullopt, settings, 1, m_token);
        EXPECT_EQ(diskNames(out), c.expected) << c.archive.toStdString();
    }
    EXPECT_EQ(m_tree.readFile(QStringLiteral(u"out/clash.zip/测试.txt")), QByteArray("utf8"));
}

// The rows the listing showed go back to the tools under the names they know. (Debian's unzip turns
// the names of archives made on DOS and Windows into Latin 1 first, so that case is 7-Zip's alone.)
TEST_F(LegacyNamesTest, ListedGbkEntriesExtractPreviewAndDelete) {
    const QString archive = write(QStringLiteral("rows.zip"), LegacyArchives::zip(gbkItems(), Host::unix));
    for (const ArchivePreviewService& service : {m_service, ArchivePreviewService(withoutSevenZip())}) {
        const QList<ArchivePreviewEntry> rows = service.previewEntries(archive, std::nullopt, m_token);
        const auto file =
            std::find_if(rows.begin(), rows.end(), [](const auto& row) { return row.path == kFile; });
        ASSERT_NE(file, rows.end());

        const QString preview = service.extractedPreviewFile(*file, archive, std::nullopt, m_token);
        EXPECT_TRUE(preview.endsWith(kFile)) << preview.toStdString();
        QFile previewFile(preview);
        ASSERT_TRUE(previewFile.open(QIODevice::ReadOnly));
        EXPECT_EQ(previewFile.readAll(), kContents);

        const QString out = m_tree.path(QStringLiteral("selection"));
        EXPECT_EQ(service.extractEntries({*file}, archive, out, std::nullopt, m_token),
                  QStringList{out + u'/' + kFile});
        EXPECT_EQ(extractedFiles(out), QStringList({QStringLiteral(u"中文目录"), kFile}));
        QDir(out).removeRecursively();
    }
    const QList<ArchivePreviewEntry> rows = m_service.previewEntries(archive, std::nullopt, m_token);
    for (const ArchivePreviewService& service : {m_service, ArchivePreviewService(withoutSevenZip())}) {
        const QString copy = m_tree.path(QStringLiteral("copy.zip"));
        QFile::remove(copy);
        QFile::copy(archive, copy);
        const auto mixed =
            std::find_if(rows.begin(), rows.end(), [](const auto& row) { return row.path == kMixed; });
        service.deleteEntries({*mixed}, copy, m_token);
        EXPECT_EQ(sorted(paths(m_service.previewEntries(copy, std::nullopt, m_token))),
                  QStringList({kFolder, kFile}));
    }
}

// A name with no decoding still previews: the preview's copy takes the name as listed.
TEST_F(LegacyNamesTest, AnUndecodableNamePreviewsUnderItsListedName) {
    const QString archive =
        write(QStringLiteral("latin.zip"), LegacyArchives::zip({{"caf\xe9.txt", "latin"}}, Host::unix));
    const QList<ArchivePreviewEntry> rows = m_service.previewEntries(archive, std::nullopt, m_token);
    ASSERT_EQ(rows.size(), 1);
    const QString preview = m_service.extractedPreviewFile(rows.first(), archive, std::nullopt, m_token);
    EXPECT_TRUE(preview.endsWith(QStringLiteral(u"caf\uFFFD.txt"))) << preview.toStdString();
    QFile previewFile(preview);
    ASSERT_TRUE(previewFile.open(QIODevice::ReadOnly));
    EXPECT_EQ(previewFile.readAll(), "latin");
}
