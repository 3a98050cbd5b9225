#include "ContentFixture.h"
#include "core/base/FileSystemError.h"
#include "core/content/ZipCentralDirectory.h"
#include "support/TempTree.h"

#include <gtest/gtest.h>
#include <QtEndian>

namespace {

using namespace ZipCentralDirectory;

const quint16 kDate = (44 << 9) | (3 << 5) | 9;   // 2024-03-09
const quint16 kTime = (14 << 11) | (5 << 5) | 4;  // 14:05:08

QByteArray le16(quint16 value) {
    QByteArray bytes(2, '\0');
    qToLittleEndian(value, bytes.data());
    return bytes;
}

QByteArray le32(quint32 value) {
    QByteArray bytes(4, '\0');
    qToLittleEndian(value, bytes.data());
    return bytes;
}

struct Header {
    Header(QByteArray name, quint16 flags = 0, quint32 size = 0)
        : name(std::move(name)), flags(flags), size(size) {}

    QByteArray name;
    quint16 flags = 0;
    quint32 size = 0;
    quint16 time = 0;
    quint16 date = 0;
    QByteArray extra;
    QByteArray comment;
    quint32 signature = 0x02014b50;
};

Header dated(QByteArray name, quint32 size) {
    Header header(std::move(name), 0, size);
    header.time = kTime;
    header.date = kDate;
    return header;
}

QByteArray centralHeader(const Header& h) {
    return le32(h.signature) + le16(20) + le16(20) + le16(h.flags) + le16(8) + le16(h.time) + le16(h.date) +
           le32(0) + le32(h.size / 2) + le32(h.size) + le16(quint16(h.name.size())) +
           le16(quint16(h.extra.size())) + le16(quint16(h.comment.size())) + le16(0) + le16(0) + le32(0) +
           le32(0) + h.name + h.extra + h.comment;
}

QByteArray endRecord(quint16 count, quint32 size, quint32 offset, const QByteArray& comment = {}) {
    return le32(0x06054b50) + le16(0) + le16(0) + le16(count) + le16(count) + le32(size) + le32(offset) +
           le16(quint16(comment.size())) + comment;
}

// A file of some leading data, the given headers as its directory, and an end record that describes
// them (entry count as given, or the number of headers).
QByteArray zipFile(const QList<Header>& headers, std::optional<quint16> count = std::nullopt,
                   const QByteArray& comment = {}) {
    const QByteArray data("local headers and file data");
    QByteArray directory;
    for (const Header& h : headers) directory += centralHeader(h);
    return data + directory +
           endRecord(count.value_or(quint16(headers.size())), quint32(directory.size()), quint32(data.size()),
                     comment);
}

class ZipCentralDirectoryTest : public testing::Test {
protected:
    PreviewListing read(const QByteArray& contents) {
        return nativeZipEntries(m_tree.writeFile(QStringLiteral("a.zip"), contents));
    }

    QStringList paths(const QByteArray& contents) { return ::paths(read(contents).entries); }

    TempTree m_tree;
};

TEST_F(ZipCentralDirectoryTest, ReadsRowsAfterAnArchiveComment) {
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

    EXPECT_TRUE(read(file + "x").entries.isEmpty()) << "a byte after the comment hides the end record";
}

TEST_F(ZipCentralDirectoryTest, DoubtfulEndRecordsGiveNoRows) {
    const QByteArray directory = centralHeader(Header("a.txt"));
    const quint32 size = quint32(directory.size());
    const QByteArray prefix("data");
    const QList<std::pair<const char*, QByteArray>> cases{
        {"empty file", {}},
        {"21 bytes", QByteArray(21, 'x')},
        {"no end record", prefix + directory},
        {"zip64 entry count", prefix + directory + endRecord(0xFFFF, size, 4)},
        {"zip64 offset", prefix + directory + endRecord(1, size, 0xFFFFFFFF)},
        {"zip64 size", prefix + directory + endRecord(1, 0xFFFFFFFF, 4)},
        {"no entries", prefix + directory + endRecord(0, size, 4)},
        {"empty directory", prefix + directory + endRecord(1, 0, 4)},
        {"offset past the end", prefix + directory + endRecord(1, size, 100000)},
        {"directory past the end", prefix + directory + endRecord(1, size + 100, 4)},
        {"comment length too long", prefix + directory + endRecord(1, size, 4, "abc").chopped(1)},
        {"offset not at a header", prefix + directory + endRecord(1, size, 0)},
    };
    for (const auto& [name, contents] : cases) {
        const PreviewListing listing = read(contents);
        EXPECT_TRUE(listing.entries.isEmpty()) << name;
        EXPECT_FALSE(listing.isEncrypted) << name;
    }
}

TEST_F(ZipCentralDirectoryTest, DamageEndsTheWalkWithTheRowsBefore) {
    Header badSignature{"c.txt"};
    badSignature.signature = 0x04034b50;
    Header unnamed{""};
    unnamed.flags = 1;
    const QList<std::pair<const char*, QList<Header>>> cases{
        {"bad signature", {{"a.txt"}, {"b.txt"}, badSignature, {"d.txt"}}},
        {"name length 0", {{"a.txt"}, {"b.txt"}, unnamed, {"d.txt"}}},
    };
    for (const auto& [name, headers] : cases) {
        EXPECT_EQ(paths(zipFile(headers)), QStringList({"a.txt", "b.txt"})) << name;
    }
    EXPECT_TRUE(read(zipFile({{"a.txt"}, unnamed})).isEncrypted) << "a header stopped at still counts";
    EXPECT_EQ(paths(zipFile({{"a.txt"}, {"b.txt"}, {"c.txt"}}, 2)), QStringList({"a.txt", "b.txt"}));
}

TEST_F(ZipCentralDirectoryTest, TruncatedHeadersAreNotRead) {
    const QByteArray first = centralHeader(Header("a.txt"));
    Header withTrailer("b.txt");
    withTrailer.extra = "extra";
    withTrailer.comment = "comment";
    const QByteArray second = centralHeader(withTrailer);
    // The end record claims two headers but the directory ends inside the second one's comment, or
    // inside its fixed part.
    for (const qsizetype cut : {qsizetype(3), qsizetype(second.size() - 40)}) {
        const QByteArray directory = first + second.chopped(cut);
        const QByteArray file = QByteArray("data") + directory + endRecord(2, quint32(directory.size()), 4);
        EXPECT_EQ(paths(file), QStringList({"a.txt"})) << cut;
    }
}

TEST_F(ZipCentralDirectoryTest, EncryptedEntryMarksTheListing) {
    const PreviewListing listing = read(zipFile({{"a.txt"}, {"secret.txt", 0x0001}, {"c.txt"}}));
    EXPECT_EQ(listing.entries.size(), 3);
    EXPECT_TRUE(listing.isEncrypted);
}

TEST_F(ZipCentralDirectoryTest, NameDecoding) {
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

TEST_F(ZipCentralDirectoryTest, SizesAboveTwoGibibytesAreUnsigned) {
    const PreviewListing listing = read(zipFile({{"big.bin", 0, 3000000000u}}));
    ASSERT_EQ(listing.entries.size(), 1);
    EXPECT_EQ(listing.entries[0].byteSize, 3000000000);
    EXPECT_EQ(listing.entries[0].sizeDescription, "3.0 GB");
    EXPECT_TRUE(listing.entries[0].modifiedDescription.isEmpty());
}

TEST_F(ZipCentralDirectoryTest, HugeDirectoryIsLeftToTheTools) {
    // Only the end record is needed to decide: it claims a 300 MiB directory inside a 400 MiB file.
    const quint32 size = 300u * 1024 * 1024;
    const QByteArray tail = endRecord(5, size, 1024);
    EXPECT_FALSE(directoryLocation(tail, quint64(400) * 1024 * 1024).has_value());
    const std::optional<Location> small =
        directoryLocation(endRecord(5, 4096, 1024), quint64(400) * 1024 * 1024);
    ASSERT_TRUE(small.has_value());
    EXPECT_EQ(small->entryCount, 5u);
}

TEST(ZipCentralDirectory, DosDatesAndFieldReads) {
    EXPECT_EQ(dosDateDescription(kDate, kTime), "2024-03-09 14:05:08");
    EXPECT_EQ(dosDateDescription(0, kTime), "");
    EXPECT_EQ(dosDateDescription((44 << 9) | (13 << 5) | 1, 0), "");
    EXPECT_EQ(dosDateDescription(kDate, 0xFFFF), "2024-03-09 31:63:62");
    const QByteArray bytes("\x01\x02\x03\x04", 4);
    EXPECT_EQ(readUInt16LE(bytes, 2), 0x0403);
    EXPECT_EQ(readUInt16LE(bytes, 3), 0);
    EXPECT_EQ(readUInt32LE(bytes, 0), 0x04030201u);
    EXPECT_EQ(readUInt32LE(bytes, 1), 0u);
    EXPECT_EQ(findEndOfCentralDirectory(QByteArray(21, '\0')), std::nullopt);
}

TEST_F(ZipCentralDirectoryTest, UnreadableFileThrows) {
    EXPECT_THROW(nativeZipEntries(m_tree.path("missing.zip")), FileSystemError);
}

TEST_F(ZipCentralDirectoryTest, RealArchives) {
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
        const PreviewListing listing = nativeZipEntries(archive);
        EXPECT_EQ(sorted(::paths(listing.entries)),
                  QStringList({"docs/", "docs/readme.txt", QStringLiteral(u"图片.png")}));
        EXPECT_FALSE(listing.isEncrypted);
    }
    const PreviewListing listing = nativeZipEntries(encrypted);
    EXPECT_EQ(listing.entries.size(), 2);
    EXPECT_TRUE(listing.isEncrypted);
}

}  // namespace
