#include "ContentFixture.h"
#include "core/engine/ArchiveService.h"
#include "core/engine/ExtractionOptions.h"
#include "support/LegacyArchives.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>

using LegacyArchives::diskNames;
using LegacyArchives::gbk;
using LegacyArchives::Host;
using LegacyArchives::Item;

namespace {

using namespace LegacyArchives::ChineseSample;

class LegacyNameRowsTest : public ContentFixture {
protected:
    QString write(const QString& name, const QByteArray& bytes) { return m_tree.writeFile(name, bytes); }

    QStringList extractedFiles(const QString& folder) const {
        QStringList files;
        const QDir root(folder);
        QDirIterator walk(folder, QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot,
                          QDirIterator::Subdirectories);
        while (walk.hasNext()) files.append(root.relativeFilePath(walk.next()));
        return sorted(files);
    }

    // The ZIP reader and Info-ZIP alone.
    ArchivePreviewService withoutSevenZip() {
        m_programs.remove(QStringLiteral("7zz"));
        return ArchivePreviewService(m_programs.programs());
    }

    ArchivePreviewService m_service;
};

}  // namespace

// Every reader shows one archive's names alike: 7-Zip's listing, the ZIP reader alone (no 7-Zip)
// and the quick listing.
TEST_F(LegacyNameRowsTest, ZipNamesReadTheSameThroughEveryReader) {
    const QByteArray oldName = gbk(QStringLiteral(u"资料/旧名.txt"));
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
        // Code page 866 has no marker: a DOS name reads as the format's own code page.
        {"DOS Russian",
         LegacyArchives::zip({{"\xe4\xa0\xa9\xab.txt", "a"}, {"\x84\xae\xaa.txt", "b"}}),
         {QStringLiteral(u"ä«¬.txt"), QStringLiteral(u"Σá⌐½.txt")}},
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

// One ZIP per system an entry can be made on, read by every reader and extracted whole: code page 437
// for DOS, OS/2 and Windows (Info-ZIP and 7-Zip number NTFS 11, the format's note 10) and for systems
// that say nothing else (BeOS), Mac OS Roman for the old Mac, a file system's bytes for Unix and
// macOS, which extract under those bytes and show them in code page 437. Chinese names read as Chinese
// whatever the system.
TEST_F(LegacyNameRowsTest, ZipNamesReadAsTheCodePageOfTheSystemTheyWereMadeOn) {
    const struct {
        quint8 host;
        QByteArray name;
        QString expected;
        bool keepsBytes = false;
    } cases[] = {
        {0, "caf\x82.txt", QStringLiteral(u"café.txt")},
        {0, "M\x9aNCHEN.TXT", QStringLiteral(u"MÜNCHEN.TXT")},
        {6, "\x84\x94\x81.txt", QStringLiteral(u"äöü.txt")},
        {10, "R\x82sum\x82.doc", QStringLiteral(u"Résumé.doc")},
        {11,
         "\x9c"
         "5.txt",
         QStringLiteral(u"£5.txt")},
        {14,
         "Stra\xe1"
         "e.txt",
         QStringLiteral(u"Straße.txt")},
        {16, "caf\x82.txt", QStringLiteral(u"café.txt")},
        {7, "caf\x8e.txt", QStringLiteral(u"café.txt")},
        {3, "caf\xe9.txt", QStringLiteral(u"cafΘ.txt"), true},
        {19, "caf\xe9.txt", QStringLiteral(u"cafΘ.txt"), true},
        {0, gbk(QStringLiteral(u"中文报告.txt")), QStringLiteral(u"中文报告.txt")},
        {7, gbk(QStringLiteral(u"中文报告.txt")), QStringLiteral(u"中文报告.txt")},
        {3, gbk(QStringLiteral(u"中文报告.txt")), QStringLiteral(u"中文报告.txt")},
    };
    ExtractionOptions settings;
    settings.extractToSeparateFolder = false;
    ArchiveService extraction(ArchiveService::standardExtractors(), nullptr);
    const ArchivePreviewService readerOnly(withoutSevenZip());
    int index = 0;
    for (const auto& c : cases) {
        const std::string label = std::to_string(c.host) + " " + c.name.toStdString();
        const QString name = QStringLiteral("host%1.zip").arg(index++);
        const QString archive = write(name, LegacyArchives::zip({{c.name, "x"}}, Host{c.host}));
        EXPECT_EQ(paths(m_service.previewEntries(archive, std::nullopt, m_token)), QStringList{c.expected})
            << label;
        EXPECT_EQ(paths(readerOnly.previewEntries(archive, std::nullopt, m_token)), QStringList{c.expected})
            << label;
        EXPECT_EQ(
            paths(m_service.fastPreviewEntriesIfAvailable(archive).value_or(QList<ArchivePreviewEntry>{})),
            QStringList{c.expected})
            << label;

        const QString out = m_tree.path(QStringLiteral("out/") + name);
        extraction.extract({archive}, out, std::nullopt, settings, 1, m_token);
        EXPECT_EQ(diskNames(out), QList<QByteArray>{c.keepsBytes ? c.name : c.expected.toUtf8()}) << label;
    }
}

// TAR names are a file system's bytes: Chinese, or shown in code page 437, alike in a compressed TAR,
// whose listing reads the TAR inside; its rows extract under the names shown.
TEST_F(LegacyNameRowsTest, TarNamesAreChineseOrShowTheUndecodableBytes) {
    const QByteArray gbkTar = LegacyArchives::tar(gbkItems());
    const QByteArray latinTar = LegacyArchives::tar({{"caf\xe9.txt", "a"}, {"plain.txt", "b"}});
    const QStringList latinNames{QStringLiteral(u"cafΘ.txt"), QStringLiteral("plain.txt")};
    const struct {
        QString archive;
        QStringList expected;
    } cases[] = {
        {write(QStringLiteral("gbk.tar"), gbkTar), {kFolder, kMixed, kFile}},
        {LegacyArchives::gzipped(m_tree, QStringLiteral("gbk.tar.gz"), QStringLiteral("gbk.tar"), gbkTar),
         {kFolder, kMixed, kFile}},
        {write(QStringLiteral("latin.tar"), latinTar), latinNames},
        {LegacyArchives::gzipped(m_tree, QStringLiteral("latin.tgz"), QStringLiteral("latin.tar"), latinTar),
         latinNames},
    };
    for (const auto& c : cases) {
        const QList<ArchivePreviewEntry> rows = m_service.previewEntries(c.archive, std::nullopt, m_token);
        EXPECT_EQ(sorted(paths(rows)), c.expected) << c.archive.toStdString();
        const QString out = m_tree.path(QStringLiteral("rows/") + QFileInfo(c.archive).fileName());
        const QList<ArchivePreviewEntry> file{rows.last()};
        EXPECT_EQ(m_service.extractEntries(file, c.archive, out, std::nullopt, m_token).outputs,
                  QStringList{out + u'/' + rows.last().path})
            << c.archive.toStdString();
    }
}

// The rows the listing showed go back to the tools under the names they know. (Debian's unzip turns
// the names of archives made on DOS and Windows into Latin 1 first, so that case is 7-Zip's alone.)
TEST_F(LegacyNameRowsTest, ListedGbkEntriesExtractPreviewAndDelete) {
    const QString archive = write(QStringLiteral("rows.zip"), LegacyArchives::zip(gbkItems(), Host::unix));
    for (const ArchivePreviewService& service : {m_service, withoutSevenZip()}) {
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
        EXPECT_EQ(service.extractEntries({*file}, archive, out, std::nullopt, m_token).outputs,
                  QStringList{out + u'/' + kFile});
        EXPECT_EQ(extractedFiles(out), QStringList({QStringLiteral(u"中文目录"), kFile}));
        QDir(out).removeRecursively();
    }
    const QList<ArchivePreviewEntry> rows = m_service.previewEntries(archive, std::nullopt, m_token);
    for (const ArchivePreviewService& service : {m_service, withoutSevenZip()}) {
        const QString copy = m_tree.path(QStringLiteral("copy.zip"));
        QFile::remove(copy);
        QFile::copy(archive, copy);
        const auto mixed =
            std::find_if(rows.begin(), rows.end(), [](const auto& row) { return row.path == kMixed; });
        service.deleteEntries({*mixed}, copy, {}, m_token);
        EXPECT_EQ(sorted(paths(m_service.previewEntries(copy, std::nullopt, m_token))),
                  QStringList({kFolder, kFile}));
    }
}

// A name with no decoding still previews: the preview's copy takes the name as listed.
TEST_F(LegacyNameRowsTest, AnUndecodableNamePreviewsUnderItsListedName) {
    const QString archive =
        write(QStringLiteral("latin.zip"), LegacyArchives::zip({{"caf\xe9.txt", "latin"}}, Host::unix));
    const QList<ArchivePreviewEntry> rows = m_service.previewEntries(archive, std::nullopt, m_token);
    ASSERT_EQ(rows.size(), 1);
    const QString preview = m_service.extractedPreviewFile(rows.first(), archive, std::nullopt, m_token);
    EXPECT_TRUE(preview.endsWith(QStringLiteral(u"cafΘ.txt"))) << preview.toStdString();
    QFile previewFile(preview);
    ASSERT_TRUE(previewFile.open(QIODevice::ReadOnly));
    EXPECT_EQ(previewFile.readAll(), "latin");
}
