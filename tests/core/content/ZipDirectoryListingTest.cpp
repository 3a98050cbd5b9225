#include "ContentFixture.h"
#include "core/base/FileSystemError.h"
#include "core/content/ZipDirectoryListing.h"
#include "support/TempTree.h"
#include "support/ZipBytes.h"

#include <gtest/gtest.h>

namespace {

using namespace ZipDirectoryListing;
using ZipBytes::Header;
using ZipBytes::zipFile;

const quint16 kDate = (44 << 9) | (3 << 5) | 9;   // 2024-03-09
const quint16 kTime = (14 << 11) | (5 << 5) | 4;  // 14:05:08

Header dated(QByteArray name, quint32 size) {
    Header header(std::move(name), 0, size);
    header.time = kTime;
    header.date = kDate;
    return header;
}

class ZipDirectoryListingTest : public testing::Test {
protected:
    PreviewListing read(const QByteArray& contents) {
        return nativeZipEntries(
            ZipCentralDirectory::read(m_tree.writeFile(QStringLiteral("a.zip"), contents)));
    }

    QStringList paths(const QByteArray& contents) { return ::paths(read(contents).entries); }

    TempTree m_tree;
};

TEST_F(ZipDirectoryListingTest, ReadsRowsAfterAnArchiveComment) {
    const QByteArray file =
        zipFile({dated("docs/", 0), dated("docs/readme.txt", 1234)}, std::nullopt, QByteArray(100, 'c'));
    const PreviewListing listing = read(file);
    ASSERT_EQ(listing.entries.size(), 2);
    EXPECT_FALSE(listing.isEncrypted);
    EXPECT_EQ(listing.entries[0].path, "docs/");
    EXPECT_EQ(listing.entries[0].kindDescription, "文件夹");
    const ArchivePreviewEntry& readme = listing.entries[1];
    EXPECT_EQ(readme.path, "docs/readme.txt");
    EXPECT_EQ(readme.byteSize, 1234);
    EXPECT_EQ(readme.sizeDescription, "1.2 KB");
    EXPECT_EQ(readme.modifiedDescription, "2024-03-09 14:05:08");
    EXPECT_EQ(readme.kindDescription, "文本文件");
}

TEST_F(ZipDirectoryListingTest, EncryptedEntryMarksTheListing) {
    const PreviewListing listing = read(zipFile({{"a.txt"}, {"secret.txt", 0x0001}, {"c.txt"}}));
    EXPECT_EQ(listing.entries.size(), 3);
    EXPECT_TRUE(listing.isEncrypted);
}

TEST_F(ZipDirectoryListingTest, NameDecoding) {
    const QByteArray utf8 = QStringLiteral(u"文档/说明.txt").toUtf8();
    const QList<std::tuple<const char*, Header, QString>> cases{
        {"UTF-8 without the flag", Header(utf8), QStringLiteral(u"文档/说明.txt")},
        {"UTF-8 with the flag", {utf8, 0x0800}, QStringLiteral(u"文档/说明.txt")},
        {"invalid UTF-8 with the flag", {"caf\x8e.txt", 0x0800}, QStringLiteral(u"cafÄ.txt")},
        {"code page 437", {"\x80\xa5\xdb\xf0\xff", 0}, QStringLiteral(u"ÇÑ█≡\u00A0")},
        // IBM's own table of 437 swaps some control codes; the format's keeps ASCII.
        {"ASCII in code page 437", {"\x1a\x1c\x7f\x82", 0}, QStringLiteral(u"\u001A\u001C\u007Fé")},
    };
    for (const auto& [name, header, expected] : cases) {
        EXPECT_EQ(paths(zipFile({header})), QStringList({expected})) << name;
    }
}

TEST_F(ZipDirectoryListingTest, SizesAboveTwoGibibytesAreUnsigned) {
    const PreviewListing listing = read(zipFile({{"big.bin", 0, 3000000000u}}));
    ASSERT_EQ(listing.entries.size(), 1);
    EXPECT_EQ(listing.entries[0].byteSize, 3000000000);
    EXPECT_EQ(listing.entries[0].sizeDescription, "3.0 GB");
    EXPECT_TRUE(listing.entries[0].modifiedDescription.isEmpty());
}

TEST(ZipDirectoryListing, DosDates) {
    EXPECT_EQ(dosDateDescription(kDate, kTime), "2024-03-09 14:05:08");
    EXPECT_EQ(dosDateDescription(0, kTime), "");
    EXPECT_EQ(dosDateDescription((44 << 9) | (13 << 5) | 1, 0), "");
    EXPECT_EQ(dosDateDescription(kDate, 0xFFFF), "2024-03-09 31:63:62");
}

TEST_F(ZipDirectoryListingTest, RealArchives) {
    m_tree.writeFile("in/docs/readme.txt", "hello");
    m_tree.writeFile(QStringLiteral(u"in/图片.png"), QByteArray(3000, 'p'));
    const QString zipped = m_tree.path("zip.zip");
    runTool("/usr/bin/zip", {"-r", "-q", zipped, "docs", QStringLiteral(u"图片.png")}, m_tree.path("in"));
    const QString sevenZipped = m_tree.path("7z.zip");
    runTool("/usr/bin/7zz", {"a", "-tzip", sevenZipped, "docs", QStringLiteral(u"图片.png")},
            m_tree.path("in"));
    const QString encrypted = m_tree.path("enc.zip");
    runTool("/usr/bin/zip", {"-r", "-q", "-P", "pw", encrypted, "docs"}, m_tree.path("in"));

    for (const QString& archive : {zipped, sevenZipped}) {
        const PreviewListing listing = nativeZipEntries(ZipCentralDirectory::read(archive));
        EXPECT_EQ(sorted(::paths(listing.entries)),
                  QStringList({"docs/", "docs/readme.txt", QStringLiteral(u"图片.png")}));
        EXPECT_FALSE(listing.isEncrypted);
    }
    const PreviewListing listing = nativeZipEntries(ZipCentralDirectory::read(encrypted));
    EXPECT_EQ(listing.entries.size(), 2);
    EXPECT_TRUE(listing.isEncrypted);
}

}  // namespace
