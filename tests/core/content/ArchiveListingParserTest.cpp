#include "ContentFixture.h"
#include "platform/ToolText.h"
#include "core/content/ArchiveListingParser.h"
#include "core/content/SevenZipListingReader.h"
#include "core/engine/SevenZipLinkChains.h"
#include "core/engine/UnrarListing.h"
#include "support/LegacyArchives.h"
#include "support/RecordedListings.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

using namespace ArchiveListingParser;

// Blocks a real 7-Zip does not print (the recorded listings below are what it does): keys missing,
// values that are not numbers, a folder named by a trailing slash alone, an empty path.
const QString kSevenZipTechnical = QStringLiteral(
    "\n7-Zip (z) 26.02 (x64) : Copyright (c) 1999-2026 Igor Pavlov : 2026-06-25\n\n"
    "Listing archive: t.7z\n\n--\nPath = t.7z\nType = 7z\nPhysical Size = 653\n\n----------\n"
    "Path = docs/r.txt\nFolder = -\nSize = 2\nModified = 2026-12-09 05:09:04.0501298\n"
    "Attributes =  -rw-r--r--\nEncrypted = +\n\n"
    "Path = bare\nAttributes = D\nSize = x\nModified = 2026\n\n"
    "Path = slashed/\nFolder = -\n\n"
    "Path =    \nSize = 4\n\n"
    "Path = last.txt\nSize = +7\n");

TEST(ArchiveListingParser, SevenZipTechnicalListingOfOddBlocks) {
    const PreviewListing listing = parseSevenZipStructuredList(kSevenZipTechnical);
    EXPECT_EQ(paths(listing.entries), QStringList({"docs/r.txt", "bare/", "slashed/", "last.txt"}));
    EXPECT_TRUE(listing.isEncrypted);
    EXPECT_EQ(listing.entries[1].byteSize, 0) << "a size that is not a number";
    EXPECT_EQ(listing.entries[1].modifiedDescription, "2026");
    EXPECT_EQ(listing.entries[3].byteSize, 7);
}

// The installed 7-Zip's listings of the same folder, file, link and encrypted file in three formats.
TEST(ArchiveListingParser, RecordedSevenZipTechnicalListings) {
    const QList<std::pair<QString, bool>> cases{
        {"7zz-slt-zip.txt", true}, {"7zz-slt-7z.txt", true}, {"7zz-slt-tar.txt", false}};
    for (const auto& [file, encrypted] : cases) {
        SCOPED_TRACE(file.toStdString());
        const QByteArray printed = RecordedListings::recorded(file);
        const PreviewListing listing = parseSevenZipStructuredList(ToolText::decode(printed), printed);
        ASSERT_EQ(paths(listing.entries), QStringList({"docs/", "docs/readme.txt", "link", "secret.txt"}));
        EXPECT_EQ(listing.isEncrypted, encrypted);
        EXPECT_EQ(listing.entries[0].kindDescription, "文件夹");
        const ArchivePreviewEntry& readme = listing.entries[1];
        EXPECT_EQ(readme.byteSize, 6);
        EXPECT_EQ(readme.sizeDescription, "6 字节");
        EXPECT_EQ(readme.modifiedDescription, "2026-12-09 05:09:04");
        EXPECT_TRUE(readme.toolPath.isEmpty());
        EXPECT_EQ(listing.entries[2].byteSize, 15) << "a link's size is its target's length";
    }
}

// The installed tools list the same archives with the keys, in the blocks and order, and the rows
// that were recorded: a tool whose output changed shape fails here (record.sh records it anew).
TEST(ArchiveListingParser, InstalledToolsPrintTheRecordedShape) {
    QTemporaryDir live;
    ASSERT_TRUE(live.isValid());
    QString error;
    ASSERT_TRUE(RecordedListings::recordInto(live.path(), error)) << error.toStdString();
    for (const QString& file : RecordedListings::kFiles) {
        SCOPED_TRACE(file.toStdString());
        QFile liveFile(live.filePath(file));
        ASSERT_TRUE(liveFile.open(QIODevice::ReadOnly));
        const QByteArray printed = liveFile.readAll();
        const QByteArray recorded = RecordedListings::recorded(file);
        EXPECT_EQ(RecordedListings::keyBlocks(printed), RecordedListings::keyBlocks(recorded));
        const auto rows = [&](const QByteArray& listing) {
            const QString text = ToolText::decode(listing);
            return file.startsWith("unrar") ? parseRarTechnicalList(text)
                                            : parseSevenZipStructuredList(text, listing).entries;
        };
        EXPECT_EQ(rows(printed), rows(recorded));
    }
}

// A ZIP's technical listing as 7-Zip prints it, with two names in GBK (not UTF-8) from different
// systems, a name outside the Basic Multilingual Plane, and lines with blanks around them.
QByteArray legacyTechnicalListing() {
    using LegacyArchives::gbk;
    return QByteArray(
               "7-Zip (z) 26.02 (x64)\n\nListing archive: t.zip\n\n--\nPath = t.zip\nType = zip\n\n"
               "----------\nPath = ") +
           QStringLiteral(u"中文目录").toUtf8() +
           "\nFolder = +\nSize = 0\nModified = 2026-12-09 05:09:04.0500530\nAttributes = D drwxr-xr-x\n"
           "Host OS = FAT\n\nPath = " +
           gbk(QStringLiteral(u"中文目录/测试文件.txt")) +
           "\nFolder = -\nSize = 12\nModified = 2026-12-09 05:09:04.0501298\n"
           "Attributes =  -rw-r--r--\nEncrypted = +\nComment = a = b\nHost OS = FAT\n\n"
           "  Path = " +
           QStringLiteral(u"报告😀 final.txt").toUtf8() +
           "  \n   Size = 1234567  \nHost OS = Unix\n\nPath = " + gbk(QStringLiteral(u"旧目录")) +
           "\nAttributes = D\nHost OS = Unix\n";
}

TEST(ArchiveListingParser, SevenZipTechnicalListingKeepsPrintedLegacyNames) {
    const QByteArray printed = legacyTechnicalListing();
    const PreviewListing listing = parseSevenZipStructuredList(ToolText::decode(printed), printed);
    ASSERT_EQ(listing.entries.size(), 4);
    EXPECT_EQ(listing.entries[0].path, QStringLiteral(u"中文目录/"));
    EXPECT_TRUE(listing.entries[0].toolPath.isEmpty());
    EXPECT_EQ(listing.entries[1].toolPath,
              ToolText::escapedName(LegacyArchives::gbk(QStringLiteral(u"中文目录/测试文件.txt"))));
    EXPECT_EQ(listing.entries[2].path, QStringLiteral(u"报告😀 final.txt"));
    EXPECT_EQ(listing.entries[2].byteSize, 1234567);
    EXPECT_EQ(listing.entries[3].toolPath,
              ToolText::escapedName(LegacyArchives::gbk(QStringLiteral(u"旧目录"))) + QLatin1Char('/'));
    EXPECT_TRUE(listing.isEncrypted);
    EXPECT_EQ(listing.zipLegacySource, LegacyNames::Source::codePage437) << "DOS wins over Unix bytes";
    // Without the printed bytes the names cannot go back to the tools.
    EXPECT_TRUE(parseSevenZipStructuredList(ToolText::decode(printed)).entries[1].toolPath.isEmpty());
}

// The listing is read while the tool prints it: pieces end anywhere, inside a line or between the
// halves of a surrogate pair, and give exactly the rows of the whole text.
TEST(ArchiveListingParser, SevenZipTechnicalListingReadInPiecesGivesTheRowsOfTheWhole) {
    const QByteArray printed = legacyTechnicalListing() + RecordedListings::recorded("7zz-slt-zip.txt") +
                               kSevenZipTechnical.toUtf8();
    const QString text = ToolText::decode(printed);
    const PreviewListing whole = parseSevenZipStructuredList(text, printed);
    ASSERT_EQ(whole.entries.size(), 14) << "the later headers' own paths count too";
    const auto readInPieces = [&](const QList<qsizetype>& cuts) {
        SevenZipListingReader reader;
        qsizetype start = 0;
        for (const qsizetype cut : cuts + QList<qsizetype>{text.size()}) {
            reader.read(QStringView(text).sliced(start, cut - start));
            start = cut;
        }
        const PreviewListing listing = reader.finish(text, printed);
        return std::tuple(listing.entries, listing.isEncrypted, listing.zipLegacySource);
    };
    const auto expected = std::tuple(whole.entries, whole.isEncrypted, whole.zipLegacySource);
    for (qsizetype cut = 0; cut <= text.size(); ++cut)
        EXPECT_EQ(readInPieces({cut}), expected) << "cut at " << cut;
    for (const qsizetype size : {1, 2, 3, 7, 64}) {
        QList<qsizetype> cuts;
        for (qsizetype cut = size; cut < text.size(); cut += size) cuts.append(cut);
        EXPECT_EQ(readInPieces(cuts), expected) << "pieces of " << size;
    }
}

// An output handler is given standard error too: pieces that are not the output alone are read anew
// from the output.
TEST(ArchiveListingParser, SevenZipListingReaderWithForeignPiecesReadsTheOutput) {
    SevenZipListingReader reader;
    const QString output = QString::fromUtf8(RecordedListings::recorded("7zz-slt-7z.txt"));
    reader.read(QStringView(output).first(400));
    reader.read(QStringLiteral("ERROR: unexpected end\n"));
    reader.read(QStringView(output).sliced(400));
    EXPECT_EQ(reader.finish(output, {}).entries, parseSevenZipStructuredList(output).entries);
}

TEST(ArchiveListingParser, SevenZipTechnicalListingWithoutEntries) {
    const PreviewListing listing =
        parseSevenZipStructuredList(QStringLiteral("Listing archive: e.7z\n\n--\nPath = e.7z\nType = 7z\n"));
    EXPECT_TRUE(listing.entries.isEmpty());
    EXPECT_FALSE(listing.isEncrypted);
}

TEST(ArchiveListingParser, SevenZipPlainListingTakesOnlyTheRowsBetweenTheRules) {
    const QString rule =
        QStringLiteral("------------------- ----- ------------ ------------  ------------------------");
    const QString output =
        QStringLiteral(
            "7-Zip (z) 26.02 (x64)\n\nListing archive: s.7z\n\n--\nPath = s.7z\nType = 7z\n\n"
            "   Date      Time    Attr         Size   Compressed  Name\n") +
        rule +
        QStringLiteral(
            "\n2026-12-09 05:09:04 D....            0            0  docs\n"
            "2026-12-09 05:09:04 ....A            2           13  *.txt\n"
            "2026-12-09 05:09:04 ....A            3               two  blanks.txt\n"
            "                    ....A                            undated\n") +
        rule + QStringLiteral("\n2026-12-09 05:09:04                  9           13  3 files\n");
    const QList<ArchivePreviewEntry> entries = parseSevenZipPlainList(output);
    EXPECT_EQ(paths(entries), QStringList({"docs/", "*.txt", "two  blanks.txt", "undated"}));
    EXPECT_EQ(entries[2].byteSize, 3);
    EXPECT_EQ(entries[2].modifiedDescription, "2026-12-09 05:09:04");
    EXPECT_TRUE(entries[3].sizeDescription.isEmpty());
    EXPECT_TRUE(entries[3].modifiedDescription.isEmpty());
}

TEST(ArchiveListingParser, RecordedRarTechnicalListing) {
    const QList<ArchivePreviewEntry> entries =
        parseRarTechnicalList(QString::fromUtf8(RecordedListings::recorded("unrar-lt.txt")));
    ASSERT_EQ(paths(entries), QStringList({"docs/readme.txt", "link", "docs/", "secret.txt"}));
    EXPECT_EQ(entries[0].byteSize, 6);
    EXPECT_EQ(entries[0].modifiedDescription, "2026-12-09 05:09:04");
    EXPECT_EQ(entries[1].byteSize, 15);
    EXPECT_EQ(entries[2].kindDescription, "文件夹");
    EXPECT_TRUE(entries[2].sizeDescription.isEmpty());
    EXPECT_EQ(entries[3].byteSize, 7);
}

// A volume set lists an entry continued across volumes once per volume. unrar prints a line feed in a
// name as it is.
TEST(ArchiveListingParser, RarTechnicalListingOfAVolumeSet) {
    const QString output = QStringLiteral(
        "\nUNRAR 6.21 freeware      Copyright (c) 1993-2023 Alexander Roshal\n\n"
        "Archive: vol.part1.rar\nDetails: RAR 5, volume\n\n"
        "        Name: big: file.bin\n        Type: File\n        Size: 300000\n Packed size: 102400\n"
        "       mtime: 2026-12-09 05:09:04,046672146\n  Attributes: -rw-r--r--\n\n"
        "Archive: vol.part2.rar\nDetails: RAR 5, volume\n\n"
        "        Name: big: file.bin\n        Type: File\n        Size: 300000\n\n"
        "        Name:  spaced \n        Type: File\n        Size: 1\n\n"
        "        Name: two\nline\nfeeds\n        Type: File\n        Size: 2\n\n"
        "        Name: docs\n        Type: Directory\n       mtime: 2026-12-09 05:09:04,050053098\n");
    const QList<ArchivePreviewEntry> entries = parseRarTechnicalList(output);
    EXPECT_EQ(paths(entries), QStringList({"big: file.bin", " spaced ", "two\nline\nfeeds", "docs/"}));
    EXPECT_EQ(entries[0].byteSize, 300000);
    EXPECT_EQ(entries[0].modifiedDescription, "2026-12-09 05:09:04");
    EXPECT_EQ(entries[2].byteSize, 2);
    EXPECT_TRUE(entries[3].sizeDescription.isEmpty());
    EXPECT_EQ(entries[3].kindDescription, "文件夹");
}

// GNU tar's verbose listing in C quoting: names with blanks, quotes, backslashes, " -> " or bytes that are
// not UTF-8 come back whole; a file stored twice is one row of its last copy; other lines are skipped.
TEST(ArchiveListingParser, TarListingInCQuoting) {
    const QString listing = QStringLiteral(
        u"drwxr-xr-x 0/0               0 2026-12-10 12:24:27 \"./\"\n"
        u"-rw-r--r-- 0/0               5 2026-12-10 12:24:27 \"./quo\\\"te\"\n"
        u"-rw-r--r-- 0/0               6 2026-12-10 12:24:27 \"sp ace -> x.txt\"\n"
        u"-rw-r--r-- 0/0         3101184 2026-12-10 12:23:38.919130374 \"中文\\\\a\\tb.txt\"\n"
        u"-rw-r--r-- 0/0               0 2026-12-10 12:24:27 \"gb\\326\\320.txt\"\n"
        u"hrw-r--r-- 0/0               0 2026-12-10 12:24:27 \"hard\" link to \"./中文.txt\"\n"
        u"lrwxrwxrwx 0/0               0 2026-12-10 12:24:27 \"li nk\" -> \"x\\\" y\"\n"
        u"crw-r--r-- 0/0             1,3 2026-12-10 12:24:27 \"dev/null\"\n"
        u"Vf-------- 0/0               0 2026-12-10 12:24:27 \"label\"--Volume Header--\n"
        u"drwxr-xr-x 0/0              24 2026-12-10 12:23:43 \"d\"\n"
        u"-rw-r--r-- 0/0              10 2026-12-10 12:24:29 \"sp ace -> x.txt\"\n"
        u"tar: A lone zero block at 12\n");
    const QList<ArchivePreviewEntry> rows = parseTarList(listing);
    ASSERT_EQ(paths(rows), QStringList({"./", "./quo\"te", "sp ace -> x.txt", u"中文\\a\tb.txt"_qs,
                                        u"gb\uFFFD\uFFFD.txt"_qs, "hard", "li nk", "dev/null", "d/"}));
    EXPECT_EQ(rows[2].byteSize, 10) << "the last copy";
    EXPECT_EQ(rows[3].byteSize, 3101184);
    EXPECT_EQ(rows[3].modifiedDescription, "2026-12-10 12:23:38");
    EXPECT_EQ(rows[4].toolPath, ToolText::escapedName("gb\xd6\xd0.txt"));
    EXPECT_TRUE(rows[3].toolPath.isEmpty());
    EXPECT_EQ(rows[7].sizeDescription, QString()) << "a device has no size";
    // Read as tar prints it, in pieces that end anywhere, or mixed with its standard error.
    ArchiveListingParser::TarListingReader pieces;
    for (qsizetype at = 0; at < listing.size(); at += 7)
        pieces.read(QStringView(listing).sliced(at).first(std::min<qsizetype>(7, listing.size() - at)));
    EXPECT_EQ(paths(pieces.finish(listing)), paths(rows));
    ArchiveListingParser::TarListingReader mixed;
    mixed.read(u"tar: Removing lead");
    mixed.read(listing);
    EXPECT_EQ(paths(mixed.finish(listing)), paths(rows));
}

TEST(ArchiveListingParser, UnzipListLines) {
    const QList<std::pair<QString, std::optional<QString>>> cases{
        {"        2  2026-12-09 05:09   docs/r.txt", "docs/r.txt"},
        {"        3  2026-12-09 05:09   two  blanks.txt", "two blanks.txt"},
        {"  Length      Date    Time    Name", std::nullopt},
        {"---------  ---------- -----   ----", std::nullopt},
        {"        9                     5 files", std::nullopt},
        {"        0  2026-12-09 05:09   Name", std::nullopt},
        {"Archive:  t.zip", std::nullopt},
    };
    for (const auto& [line, path] : cases) {
        const std::optional<ArchivePreviewEntry> entry = parseZipListLine(line);
        EXPECT_EQ(entry ? std::optional<QString>(entry->path) : std::nullopt, path) << line.toStdString();
    }
    const std::optional<ArchivePreviewEntry> entry =
        parseZipListLine(QStringLiteral("1500 03-09-2024 14:05 a.pdf"));
    ASSERT_TRUE(entry.has_value());
    EXPECT_EQ(entry->byteSize, 1500);
    EXPECT_EQ(entry->sizeDescription, "1.5 KB");
    EXPECT_EQ(entry->modifiedDescription, "03-09-2024 14:05");
    EXPECT_EQ(entry->kindDescription, "PDF 文档");
}

// Entries named like the tools' own words, encrypted, listed by the real tools: every caller of each
// listing reader (rows, link checks, password probe) gets the names and the encryption as stored.
TEST(ArchiveListingParser, EntriesNamedLikeToolWordsListAsNames) {
    const QStringList names{"Cannot find volume x.txt", "Missing volume : x.txt", "Wrong password", "ERROR: x",
                            "a"};
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    for (const QString& name : names) {
        QFile file(folder.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("words");
    }
    const auto run = [&](const QString& program, const QStringList& arguments) {
        QProcess process;
        process.setWorkingDirectory(folder.path());
        process.start(program, arguments);
        EXPECT_TRUE(process.waitForFinished()) << program.toStdString();
        EXPECT_EQ(process.exitCode(), 0) << program.toStdString();
        return QString::fromUtf8(process.readAllStandardOutput());
    };
    const auto sorted = [](QStringList list) {
        list.sort();
        return list;
    };
    run("7zz", QStringList{"a", "-pright", "-mhe=off", "words.7z"} + names);
    const QString sevenZipListing = run("7zz", {"l", "-slt", "-pright", "words.7z"});
    const PreviewListing rows = parseSevenZipStructuredList(sevenZipListing);
    EXPECT_EQ(sorted(paths(rows.entries)), sorted(names));
    EXPECT_TRUE(rows.isEncrypted);
    QStringList linkPaths;
    for (const SevenZipLinkChains::Entry& entry : SevenZipLinkChains::parseListing(sevenZipListing))
        linkPaths << entry.path;
    EXPECT_EQ(sorted(linkPaths), sorted(names));

    run("rar", QStringList{"a", "-pright", "-idq", "words.rar"} + names);
    const QString unrarListing = run("unrar", {"lt", "-pright", "words.rar"});
    EXPECT_EQ(sorted(paths(parseRarTechnicalList(unrarListing))), sorted(names));
    const UnrarListing::Listing listing = UnrarListing::read(unrarListing);
    EXPECT_TRUE(listing.showsEncryption);
    ASSERT_EQ(listing.entries.size(), names.size());
    for (const UnrarListing::Entry& entry : listing.entries)
        EXPECT_TRUE(UnrarListing::isEncrypted(entry)) << entry.name.toString().toStdString();
}

}  // namespace
