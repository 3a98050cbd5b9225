#include "core/base/FileSystemError.h"
#include "core/base/ZipCentralDirectory.h"
#include "core/base/ZipDirectoryReading.h"
#include "support/TempTree.h"
#include "support/ZipBytes.h"

#include <gtest/gtest.h>
#include <QFile>
#include <QStringList>

#include <sys/stat.h>

namespace {

using namespace ZipCentralDirectory;
using ZipBytes::centralHeader;
using ZipBytes::endRecord;
using ZipBytes::zipFile;

// The names of the headers a walk of the file's directory gives, and whether it saw encryption.
struct Walked {
    QStringList names;
    bool encrypted = false;
};

class ZipCentralDirectoryTest : public testing::Test {
protected:
    Walked walkFile(const QByteArray& contents) {
        Walked walked;
        const std::optional<Directory> directory = read(m_tree.writeFile(QStringLiteral("a.zip"), contents));
        if (!directory) return walked;
        walked.encrypted = walk(directory->bytes, directory->entryCount, [&walked](const Header& header) {
            walked.names.append(QString::fromUtf8(header.name));
        });
        return walked;
    }

    TempTree m_tree;
};

TEST_F(ZipCentralDirectoryTest, DoubtfulEndRecordsGiveNoHeaders) {
    const QByteArray directory = centralHeader({"a.txt"});
    const quint32 size = quint32(directory.size());
    const QByteArray prefix("data");
    // What the end record claims stays known where its directory cannot be read.
    const QList<std::tuple<const char*, QByteArray, std::optional<quint32>>> cases{
        {"empty file", {}, std::nullopt},
        {"21 bytes", QByteArray(21, 'x'), std::nullopt},
        {"no end record", prefix + directory, std::nullopt},
        {"zip64 entry count", prefix + directory + endRecord(0xFFFF, size, 4), 0xFFFF},
        {"zip64 offset", prefix + directory + endRecord(1, size, 0xFFFFFFFF), 1},
        {"zip64 size", prefix + directory + endRecord(1, 0xFFFFFFFF, 4), 1},
        {"no entries", prefix + directory + endRecord(0, size, 4), 0},
        {"empty directory", prefix + directory + endRecord(1, 0, 4), 1},
        {"offset past the end", prefix + directory + endRecord(1, size, 100000), 1},
        {"directory past the end", prefix + directory + endRecord(1, size + 100, 4), 1},
        {"comment length too long", prefix + directory + endRecord(1, size, 4, "abc").chopped(1),
         std::nullopt},
        {"offset not at a header", prefix + directory + endRecord(1, size, 0), 1},
        {"a byte after the comment", zipFile({{"a.txt"}}, std::nullopt, "comment") + "x", std::nullopt},
    };
    for (const auto& [name, contents, claimed] : cases) {
        const Walked walked = walkFile(contents);
        EXPECT_TRUE(walked.names.isEmpty()) << name;
        EXPECT_FALSE(walked.encrypted) << name;
        EXPECT_EQ(read(m_tree.path(QStringLiteral("a.zip")))->claimedEntryCount, claimed) << name;
    }
    // Opening a pipe would wait for a writer for good.
    const QString pipe = m_tree.path(QStringLiteral("pipe.zip"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    EXPECT_FALSE(read(pipe));
}

TEST_F(ZipCentralDirectoryTest, DamageEndsTheWalkWithTheHeadersBefore) {
    ZipBytes::Header badSignature{"c.txt"};
    badSignature.signature = 0x04034b50;
    ZipBytes::Header unnamed{""};
    unnamed.flags = 1;
    const QList<std::pair<const char*, QList<ZipBytes::Header>>> cases{
        {"bad signature", {{"a.txt"}, {"b.txt"}, badSignature, {"d.txt"}}},
        {"name length 0", {{"a.txt"}, {"b.txt"}, unnamed, {"d.txt"}}},
    };
    for (const auto& [name, headers] : cases) {
        EXPECT_EQ(walkFile(zipFile(headers)).names, QStringList({"a.txt", "b.txt"})) << name;
    }
    EXPECT_TRUE(walkFile(zipFile({{"a.txt"}, unnamed})).encrypted) << "a header stopped at still counts";
    EXPECT_EQ(walkFile(zipFile({{"a.txt"}, {"b.txt"}, {"c.txt"}}, 2)).names, QStringList({"a.txt", "b.txt"}));
}

TEST_F(ZipCentralDirectoryTest, TruncatedHeadersAreNotRead) {
    const QByteArray first = centralHeader({"a.txt"});
    ZipBytes::Header withTrailer("b.txt");
    withTrailer.extra = "extra";
    withTrailer.comment = "comment";
    const QByteArray second = centralHeader(withTrailer);
    // The end record claims two headers but the directory ends inside the second one's comment, or
    // inside its fixed part.
    for (const qsizetype cut : {qsizetype(3), qsizetype(second.size() - 40)}) {
        const QByteArray directory = first + second.chopped(cut);
        const QByteArray file = QByteArray("data") + directory + endRecord(2, quint32(directory.size()), 4);
        EXPECT_EQ(walkFile(file).names, QStringList({"a.txt"})) << cut;
    }
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

TEST(ZipCentralDirectory, FieldReads) {
    const QByteArray bytes("\x01\x02\x03\x04", 4);
    EXPECT_EQ(readUInt16LE(bytes, 2), 0x0403);
    EXPECT_EQ(readUInt16LE(bytes, 3), 0);
    EXPECT_EQ(readUInt32LE(bytes, 0), 0x04030201u);
    EXPECT_EQ(readUInt32LE(bytes, 1), 0u);
    EXPECT_EQ(findEndOfCentralDirectory(QByteArray(21, '\0')), std::nullopt);
}

TEST_F(ZipCentralDirectoryTest, UnreadableFileThrows) {
    EXPECT_THROW(read(m_tree.path("missing.zip")), FileSystemError);
}

// One reading answers every question of an operation from one open; one that failed answers the
// defaults, and gives its error again to every step that needs the directory itself.
TEST_F(ZipCentralDirectoryTest, OneReadingAnswersEveryQuestion) {
    QByteArray mixed = zipFile({{"plain.txt"}, {"c\\d.txt"}});
    mixed[mixed.lastIndexOf("PK\x01\x02") + 5] = 3;  // the second entry made on Unix
    const struct {
        const char* label;
        QByteArray contents;
        LegacyNames::Source source;
        bool separates;
    } cases[] = {
        {"DOS", zipFile({{"caf\x82.txt"}, {"a\\b.txt"}}), LegacyNames::Source::codePage437, true},
        {"DOS and Unix", mixed, LegacyNames::kZipDefault, false},
        {"doubtful", zipFile({{"a\\b.txt"}}) + "x", LegacyNames::kZipDefault, false},
    };
    for (const auto& c : cases) {
        const QString archive = m_tree.writeFile(QStringLiteral("a.zip"), c.contents);
        OpenCount opens(archive);
        ZipDirectoryReading reading(archive);
        for (int round = 0; round < 2; ++round) {
            EXPECT_EQ(reading.separatesFoldersWithBackslash(), c.separates) << c.label;
            EXPECT_EQ(reading.legacyNameSource(), c.source) << c.label;
            EXPECT_TRUE(reading.directory()) << c.label;
        }
        EXPECT_EQ(opens.take(), 1) << c.label;
    }
    ZipDirectoryReading missing(m_tree.path(QStringLiteral("missing.zip")));
    EXPECT_FALSE(missing.separatesFoldersWithBackslash());
    EXPECT_EQ(missing.legacyNameSource(), LegacyNames::kZipDefault);
    EXPECT_THROW(missing.directory(), FileSystemError);
    EXPECT_THROW(missing.directory(), FileSystemError);
}

}  // namespace
