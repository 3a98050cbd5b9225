#include "EngineFixtures.h"
#include "core/content/ArchivePreviewService.h"
#include "core/engine/ArchivePasswordProbe.h"
#include "core/engine/ArchivePrograms.h"
#include "core/engine/ArchiveService.h"
#include "core/engine/ArchiveTools.h"
#include "core/engine/ProcessRunner.h"
#include "core/engine/ToolFailure.h"
#include "core/engine/ToolFailureLines.h"
#include "platform/PrivateTempDirectory.h"
#include "support/FakePrograms.h"
#include "support/FullDisk.h"
#include "support/LegacyArchives.h"
#include "support/ReadOnlyMount.h"
#include "support/TempTree.h"
#include "support/ZipBytes.h"

#include <gtest/gtest.h>
#include <sys/inotify.h>
#include <unistd.h>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <cerrno>
#include <functional>

namespace {

// A RAR 5 archive's blocks, as unrar reads them: a CRC-32 of the header, its size, then the header.
struct RarBlock {
    qsizetype start = 0;
    qsizetype headerStart = 0;  // after the CRC and the size
    qsizetype headerEnd = 0;
    qsizetype end = 0;  // after the block's data
    quint64 type = 0;
};

quint64 rarNumber(const QByteArray& bytes, qsizetype& at) {
    quint64 value = 0;
    for (int shift = 0;; shift += 7) {
        const auto byte = quint8(bytes[at++]);
        value |= quint64(byte & 0x7f) << shift;
        if (!(byte & 0x80)) return value;
    }
}

QByteArray rarNumberBytes(quint64 value) {
    QByteArray bytes;
    for (; value >= 0x80; value >>= 7) bytes += char(0x80 | (value & 0x7f));
    return bytes + char(value);
}

quint32 crc32(const QByteArray& bytes) {
    quint32 crc = 0xFFFFFFFF;
    for (const char byte : bytes) {
        crc ^= quint8(byte);
        for (int bit = 0; bit < 8; ++bit) crc = (crc & 1) ? 0xEDB88320 ^ (crc >> 1) : crc >> 1;
    }
    return ~crc;
}

QList<RarBlock> rarBlocks(const QByteArray& bytes) {
    QList<RarBlock> blocks;
    for (qsizetype at = 8; at < bytes.size();) {
        RarBlock block{at};
        at += 4;
        const quint64 size = rarNumber(bytes, at);
        block.headerStart = at;
        block.headerEnd = at + qsizetype(size);
        block.type = rarNumber(bytes, at);
        const quint64 flags = rarNumber(bytes, at);
        if (flags & 1) rarNumber(bytes, at);  // the extra area's size
        const quint64 dataSize = (flags & 2) ? rarNumber(bytes, at) : 0;
        block.end = block.headerEnd + qsizetype(dataSize);
        blocks.append(block);
        at = block.end;
    }
    return blocks;
}

// The archive with its first file header's compression information replaced: what WinRAR 7 writes
// for a dictionary above 4 GB (algorithm version 1, the dictionary's fraction bits), which unrar 6
// does not know.
QByteArray withRar7Method(const QByteArray& bytes) {
    constexpr quint64 kFileHeader = 2;
    for (const RarBlock& block : rarBlocks(bytes)) {
        if (block.type != kFileHeader) continue;
        qsizetype at = block.headerStart;
        rarNumber(bytes, at);  // type
        const quint64 flags = rarNumber(bytes, at);
        if (flags & 1) rarNumber(bytes, at);
        if (flags & 2) rarNumber(bytes, at);
        const quint64 fileFlags = rarNumber(bytes, at);
        rarNumber(bytes, at);                                         // unpacked size
        rarNumber(bytes, at);                                         // attributes
        at += ((fileFlags & 2) ? 4 : 0) + ((fileFlags & 4) ? 4 : 0);  // time, data CRC
        const qsizetype methodStart = at;
        const quint64 method = rarNumber(bytes, at);
        const QByteArray header = bytes.mid(block.headerStart, methodStart - block.headerStart) +
                                  rarNumberBytes((method & ~quint64(0x3f)) | 1 | (15 << 10) | (1 << 15)) +
                                  bytes.mid(at, block.headerEnd - at);
        const QByteArray sized = rarNumberBytes(quint64(header.size())) + header;
        return bytes.left(block.start) + ZipBytes::le32(crc32(sized)) + sized + bytes.mid(block.headerEnd);
    }
    return bytes;
}

// What a user reads when an extraction fails, for each kind of failure, with the installed tools.
class ExtractionFailureReasonTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_tree.writeFile("src/note.txt", "notes\n");
        // Incompressible, so damage in the middle of an archive lands in this file's data.
        QByteArray data(300000, Qt::Uninitialized);
        QRandomGenerator generator(7);
        for (char& byte : data) byte = char(generator.bounded(256));
        m_tree.writeFile("src/data.bin", data);
    }

    QString make(const QString& program, const QStringList& arguments) {
        runTool(program, arguments, m_tree.path("src"));
        return m_tree.path(arguments.filter(QStringLiteral("../")).value(0).mid(3));
    }

    // Flips bytes in the middle of the file.
    void damage(const QString& archive) {
        QFile file(archive);
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        const qint64 middle = file.size() / 2;
        file.seek(middle);
        QByteArray bytes = file.read(16);
        for (char& byte : bytes) byte = char(~byte);
        file.seek(middle);
        file.write(bytes);
    }

    // A 7-Zip set of data.bin, of the type its name says, in three volumes of 100 KiB of which only the
    // first kept are left; its first.
    QString cutSet(const QString& name, int kept) {
        make("7zz", {"a", "-mx=0", "-v100k", "-t" + QFileInfo(name).suffix(), "../" + name, "data.bin"});
        while (kept < 3)
            QFile::remove(m_tree.path(name + QStringLiteral(".%1").arg(++kept, 3, 10, QLatin1Char('0'))));
        return m_tree.path(name + ".001");
    }

    // A ZIP of one entry, with value in the 16-bit field at centralOffset of its central header and at
    // localOffset of the file (when not negative).
    QString zipOf(const QByteArray& entry, int centralOffset = 0, quint16 value = 0, int localOffset = -1) {
        QByteArray bytes = LegacyArchives::zip({{entry, "hello"}}, LegacyArchives::Host::unix);
        if (centralOffset)
            bytes.replace(bytes.indexOf("PK\x01\x02") + centralOffset, 2, ZipBytes::le16(value));
        if (localOffset >= 0) bytes.replace(localOffset, 2, ZipBytes::le16(value));
        return m_tree.writeFile(QStringLiteral("entry%1.zip").arg(centralOffset), bytes);
    }

    // The archive with bytes appended after its end, as download tools and signatures leave them.
    QString withTail(const QString& archive) {
        QFile file(archive);
        EXPECT_TRUE(file.open(QIODevice::Append));
        file.write("tail");
        return archive;
    }

    // A damaged archive of data.bin under another name (the words of a tool's reason), stored, made by 7-Zip
    // (or rar for a RAR); the tool names it in its failure.
    QString damagedOf(const QString& entry, const QString& archive, const QStringList& switches) {
        QFile::copy(m_tree.path("src/data.bin"), m_tree.path("src/" + entry));
        const bool rar = archive.endsWith(".rar");
        const QString made = make(rar ? "rar" : "7zz", QStringList{"a", rar ? "-m0" : "-mx=0"} + switches +
                                                           QStringList{"../" + archive, entry});
        damage(made);
        return made;
    }

    // A compressed TAR of data.bin, cut short by its last `cut` bytes.
    QString cutTar(const QString& name, const QString& compression, int cut) {
        const QString made = make("tar", {"-c", "--" + compression, "-f", "../" + name, "data.bin"});
        QFile file(made);
        EXPECT_TRUE(file.resize(file.size() - cut));
        return made;
    }

    // A RAR of one compressed file, its bytes as edit makes them.
    QString rarEdited(const QString& name, const std::function<QByteArray(QByteArray)>& edit) {
        m_tree.writeFile("src/words.txt", QByteArray("words ").repeated(4000));
        const QString archive = make("rar", {"a", "-inul", "-m3", "../" + name, "words.txt"});
        QFile file(archive);
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        return m_tree.writeFile(name, edit(file.readAll()));
    }

    QString failureOf(const QString& archive, const std::optional<QString>& password,
                      const QString& destination,
                      const ArchivePrograms& programs = ArchivePrograms::installed()) {
        try {
            ArchiveService(ArchiveService::standardExtractors(programs), nullptr)
                .extract({archive}, destination, password, ExtractionOptions{}, 1, {});
        } catch (const VelmoraError& error) {
            return error.message();
        }
        return QStringLiteral("no failure");
    }

    TempTree m_tree;
};

TEST_F(ExtractionFailureReasonTest, eachFailureNamesItsReason) {
    const QString wrongPassword = QStringLiteral(u"密码错误或压缩包需要密码。");
    const QString damaged = QStringLiteral(u"压缩包可能已损坏，无法读取。");
    const QDir src(m_tree.path("src"));
    ASSERT_TRUE(QFile::link("../../../../../../../../etc/hostname", src.filePath("up")));
    FakePrograms withoutSevenZip;
    withoutSevenZip.remove("7zz");
    const struct {
        const char* name;
        std::function<QString()> archive;
        std::optional<QString> password;
        QString expected;
        ArchivePrograms programs = ArchivePrograms::installed();
    } cases[] = {
        {"wrong password 7z",
         [&] {
             return make("7zz", {"a", "-pright", "../a.7z", "note.txt"});
         },
         "wrong", wrongPassword},
        {"no password, encrypted headers",
         [&] {
             return make("7zz", {"a", "-pright", "-mhe=on", "../h.7z", "note.txt"});
         },
         std::nullopt, wrongPassword},
        {"wrong password zip",
         [&] {
             return make("zip", {"-q", "-P", "right", "../a.zip", "note.txt"});
         },
         "wrong", wrongPassword},
        {"wrong password rar",
         [&] {
             return make("rar", {"a", "-inul", "-pright", "../a.rar", "note.txt"});
         },
         "wrong", wrongPassword},
        {"damaged 7z",
         [&] {
             const QString archive = make("7zz", {"a", "-mx=0", "../d.7z", "data.bin"});
             damage(archive);
             return archive;
         },
         std::nullopt, damaged},
        {"damaged rar",
         [&] {
             const QString archive = make("rar", {"a", "-inul", "-m0", "../d.rar", "data.bin"});
             damage(archive);
             return archive;
         },
         std::nullopt, damaged},
        {"missing 7z volume",
         [&] {
             const QString first = make("7zz", {"a", "-mx=0", "-v100k", "../set.7z", "data.bin"});
             QFile::remove(m_tree.path("set.7z.002"));
             return m_tree.path("set.7z.001");
         },
         std::nullopt, QStringLiteral(u"缺少分卷：set.7z.002")},
        // A set that ends early lacks the volume after its last one.
        {"a lone first 7z volume", [&] { return cutSet("lone.7z", 1); }, std::nullopt,
         QStringLiteral(u"缺少分卷：lone.7z.002")},
        {"a 7z set without its last volume", [&] { return cutSet("Last.7z", 2); }, std::nullopt,
         QStringLiteral(u"缺少分卷：Last.7z.003")},
        {"a lone first zip piece", [&] { return cutSet("lone.zip", 1); }, std::nullopt,
         QStringLiteral(u"缺少分卷：lone.zip.002")},
        {"missing rar volume",
         [&] {
             make("rar", {"a", "-inul", "-m0", "-v100k", "../set.rar", "data.bin"});
             QFile::remove(m_tree.path("set.part2.rar"));
             return m_tree.path("set.part1.rar");
         },
         std::nullopt, QStringLiteral(u"缺少分卷：set.part2.rar")},
        // A method neither 7-Zip nor unzip has (7, "tokenize"): unzip, the last to try, names the entry.
        {"a method no tool has", [&] { return zipOf("README", 10, 7, 8); }, std::nullopt,
         QStringLiteral(u"解压失败：7-Zip 解压工具返回错误（无法解压“README”：不支持它的压缩方法）。")},
        // Where 7-Zip is missing unzip decides, and its lines read as their kind.
        {"an empty name", [&] { return zipOf(""); }, std::nullopt,
         QStringLiteral(u"解压失败：unzip 解压工具返回错误（压缩包中有名称为空的条目，无法写入）。"),
         withoutSevenZip.programs()},
        {"a local header at a wrong offset", [&] { return zipOf("a.txt", 42, 3); }, std::nullopt, damaged,
         withoutSevenZip.programs()},
        // unrar's damaged headers, a method it lacks and an archive without files, each read as it is.
        {"a rar whose main header checksum is wrong",
         [&] {
             return rarEdited("main.rar", [](QByteArray bytes) {
                 bytes[8] = char(~bytes[8]);
                 return bytes;
             });
         },
         std::nullopt, damaged},
        {"a rar whose file header checksum is wrong",
         [&] {
             return rarEdited("file.rar", [](QByteArray bytes) {
                 const qsizetype at = rarBlocks(bytes).value(1).start;
                 bytes[at] = char(~bytes[at]);
                 return bytes;
             });
         },
         std::nullopt, damaged},
        {"a rar in a method unrar does not know", [&] { return rarEdited("new.rar", withRar7Method); },
         std::nullopt,
         QStringLiteral(u"解压失败：unrar 解压工具返回错误（无法解压“words.txt”：不支持它的压缩方法）。")},
        {"a rar without files",
         [&] {
             return rarEdited("none.rar", [](const QByteArray& bytes) {
                 QByteArray kept = bytes.left(8);
                 for (const RarBlock& block : rarBlocks(bytes)) {
                     if (block.type != 2) kept += bytes.mid(block.start, block.end - block.start);
                 }
                 return kept;
             });
         },
         std::nullopt, QStringLiteral(u"压缩包中没有可解压的文件。")},
        // An end record that claims entries its directory does not hold, a directory that is not where
        // its end record says: 7-Zip and unzip both refuse them.
        {"a zip whose end record claims entries",
         [&] { return m_tree.writeFile("claims.zip", ZipBytes::endRecord(2, 0, 0)); }, std::nullopt, damaged},
        {"a zip whose directory offset is wrong",
         [&] {
             QByteArray bytes = LegacyArchives::zip({{"a.txt", "hello"}}, LegacyArchives::Host::unix);
             const qsizetype offsetField = bytes.lastIndexOf("PK\x05\x06") + 16;
             bytes.replace(offsetField, 4, ZipBytes::le32(quint32(bytes.indexOf("PK\x01\x02") + 7)));
             return m_tree.writeFile("offset.zip", bytes);
         },
         std::nullopt, damaged},
        // Bytes after the end, and an end header 7-Zip has to look for, are its warnings: it wrote and
        // checked every item.
        {"a 7z with bytes after its end",
         [&] {
             return withTail(make("7zz", {"a", "../tail.7z", "note.txt"}));
         },
         std::nullopt, "no failure"},
        {"an AES zip with bytes after its end",
         [&] {
             return withTail(make("7zz", {"a", "-tzip", "-mem=AES256", "-pright", "../aes.zip", "note.txt"}));
         },
         "right", "no failure"},
        {"a 7z whose end header offset is damaged",
         [&] {
             const QString archive = make("7zz", {"a", "../noend.7z", "note.txt", "data.bin"});
             QFile file(archive);
             EXPECT_TRUE(file.open(QIODevice::ReadWrite));
             file.seek(8);  // the start header: its CRC, the end header's offset, size and CRC
             file.write(QByteArray(24, '\0'));
             return archive;
         },
         std::nullopt, "no failure"},
        // An entry named like a tool's reason is damaged, nothing else.
        {"a damaged 7z of an entry called incorrect password",
         [&] { return damagedOf("incorrect password.txt", "p.7z", {}); }, std::nullopt, damaged},
        {"a damaged 7z of an entry called write error",
         [&] { return damagedOf("write error in the file.txt", "w.7z", {}); }, std::nullopt, damaged},
        {"a damaged rar of an entry called incorrect password",
         [&] { return damagedOf("incorrect password.txt", "p.rar", {"-idq"}); }, std::nullopt, damaged},
        {"a damaged rar of an entry called write error",
         [&] { return damagedOf("write error in the file.txt", "w.rar", {"-idq"}); }, std::nullopt, damaged},
        {"a damaged zip of an entry called incorrect password",
         [&] { return damagedOf("incorrect password.txt", "p.zip", {"-tzip"}); }, std::nullopt, damaged},
        {"a damaged zip of an entry called write error",
         [&] { return damagedOf("write error in the file.txt", "w.zip", {"-tzip"}); }, std::nullopt, damaged},
        // 7-Zip finds the data short; unzip writes the entry with only a warning: no clean success.
        {"a zip whose stored size is wrong",
         [&] {
             QByteArray bytes = LegacyArchives::zip({{"a.txt", "hello world\n"}}, LegacyArchives::Host::unix);
             bytes.replace(bytes.indexOf("PK\x01\x02") + 24, 4, ZipBytes::le32(4022250974U));
             bytes.replace(22, 4, ZipBytes::le32(4022250974U));
             return m_tree.writeFile("size.zip", bytes);
         },
         std::nullopt, damaged},
        // 190 bytes of junk and an end record of no entries: nothing to extract.
        {"a zip that yields nothing",
         [&] { return m_tree.writeFile("junk.zip", QByteArray(190, 'j') + ZipBytes::endRecord(0, 0, 0)); },
         std::nullopt, QStringLiteral(u"压缩包中没有可解压的文件。")},
        // A compressed TAR cut short is damage, in GNU tar's decoder's words and in 7-Zip's.
        {"a truncated tar.bz2", [&] { return cutTar("cut.tar.bz2", "bzip2", 20000); }, std::nullopt, damaged},
        {"a tar.gz without its trailer", [&] { return cutTar("cut.tar.gz", "gzip", 8); }, std::nullopt,
         damaged},
        // Encrypted, opened with the right password, and refused for its link: not a password problem.
        {"encrypted 7z with a link leading out",
         [&] {
             return make("7zz", {"a", "-snl", "-pright", "../link.7z", "note.txt", "up"});
         },
         "right", QStringLiteral(u"解压失败：压缩包中的链接“up”指向解压位置之外，已停止解压。")},
    };
    int run = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QString archive = c.archive();
        const QString out = QStringLiteral("out%1").arg(run++);
        EXPECT_EQ(failureOf(archive, c.password, m_tree.makeFolder(out), c.programs), c.expected);
        // A success wrote what the archive holds.
        if (c.expected == QLatin1String("no failure")) {
            EXPECT_EQ(m_tree.readFile(out + '/' + QFileInfo(archive).completeBaseName() + "/note.txt"),
                      "notes\n");
        }
    }
    // 7-Zip says only "ERROR: <path>" and "Cannot open the file as archive" of these.
    for (const char* name :
         {"empty.7z", "empty.tar", "empty.tar.gz", "empty.xz", "empty.iso", "solo.7z.001"}) {
        const QString archive = m_tree.writeFile(name, QByteArray(name).startsWith("solo") ? "text\n" : "");
        EXPECT_EQ(failureOf(archive, std::nullopt, m_tree.makeFolder(name + QStringLiteral("-out"))), damaged)
            << name;
    }
}

// Bytes after a ZIP's end leave its extraction to 7-Zip, whose success it is: the names written are the
// ones the browser lists, for names in Latin-1 and in CP866. An archive that yields nothing leaves no
// folder behind.
TEST_F(ExtractionFailureReasonTest, aZipWithBytesAfterItsEndExtractsTheNamesItLists) {
    for (const auto& [name, entry] : {std::pair("latin", QByteArray("\xd6lf\xe4sser.txt")),
                                      std::pair("cp866", QByteArray("\x8f\xe0\xa8\xa2\xa5\xe2.html"))}) {
        SCOPED_TRACE(name);
        const QString archive =
            withTail(m_tree.writeFile(name + QStringLiteral(".zip"), LegacyArchives::zip({{entry, "oil"}})));
        const QList<ArchivePreviewEntry> rows =
            ArchivePreviewService().previewEntries(archive, std::nullopt, {});
        ASSERT_EQ(rows.size(), 1);
        const QString out = m_tree.makeFolder(name + QStringLiteral("-out"));
        EXPECT_EQ(failureOf(archive, std::nullopt, out), QStringLiteral("no failure"));
        EXPECT_EQ(QDir(out + '/' + name).entryList(QDir::Files), QStringList{rows.first().path});
    }

    const QString junk = m_tree.writeFile("junk.zip", QByteArray(190, 'j') + ZipBytes::endRecord(0, 0, 0));
    const QString junkOut = m_tree.makeFolder("junk-out");
    EXPECT_EQ(failureOf(junk, std::nullopt, junkOut), QStringLiteral(u"压缩包中没有可解压的文件。"));
    EXPECT_TRUE(QDir(junkOut).isEmpty());
}

// GNU tar's short write into a full destination ("Wrote only 1536 of 10240 bytes") ends the run at once
// naming the folder the user chose: no 7-Zip after it unpacks the inner TAR into the temporary folder.
TEST_F(ExtractionFailureReasonTest, aFullDestinationEndsATarRunNamingItsFolder) {
    FullDisk disk;
    if (!disk.mounted()) GTEST_SKIP() << "no tmpfs here";
    m_tree.writeFile("zeros/big.bin", QByteArray(8 << 20, '\0'));
    runTool(kTar, {"-czf", m_tree.path("big.tar.gz"), "big.bin"}, m_tree.path("zeros"));
    const QString temporary = m_tree.makeFolder("tmp");
    PrivateTempDirectory::setSystemTempPathForTesting(temporary);
    // What is made in the temporary folder, queued by the kernel while the extraction runs.
    const int watch = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    ASSERT_GE(watch, 0);
    ASSERT_GE(::inotify_add_watch(watch, QFile::encodeName(*PrivateTempDirectory::base()).constData(),
                                  IN_CREATE | IN_MOVED_TO),
              0);
    const QString message = failureOf(m_tree.path("big.tar.gz"), std::nullopt, disk.path());
    char events[4096];
    const ssize_t made = ::read(watch, events, sizeof events);
    ::close(watch);
    PrivateTempDirectory::setSystemTempPathForTesting({});
    EXPECT_EQ(message, ArchiveError::unwritable(disk.path("big"), ENOSPC)->message());
    EXPECT_LT(made, 0) << "something was made in the temporary folder";
    EXPECT_TRUE(QDir(disk.path()).isEmpty());

    // Without GNU tar, 7-Zip unpacks the inner TAR into the temporary folder first: a full one is named,
    // never the destination, which has room.
    FakePrograms withoutTar;
    withoutTar.remove("tar");
    PrivateTempDirectory::setSystemTempPathForTesting(disk.path());
    EXPECT_EQ(
        failureOf(m_tree.path("big.tar.gz"), std::nullopt, m_tree.makeFolder("roomy"), withoutTar.programs()),
        ArchiveError::unwritable(disk.path(), ENOSPC)->message());
    PrivateTempDirectory::setSystemTempPathForTesting({});
    EXPECT_TRUE(QDir(m_tree.path("roomy")).isEmpty());
}

// A damaged archive gets one verdict on every path: the browser's listing, its preview of an entry and
// its edit read the tools' words as an extraction does.
TEST_F(ExtractionFailureReasonTest, aDamagedArchiveIsDamagedOnEveryPath) {
    QByteArray offset = LegacyArchives::zip({{"a.txt", "hello"}}, LegacyArchives::Host::unix);
    offset.replace(offset.lastIndexOf("PK\x05\x06") + 16, 4,
                   ZipBytes::le32(quint32(offset.indexOf("PK\x01\x02") + 7)));
    const QString rar = rarEdited("main.rar", [](QByteArray bytes) {
        bytes[8] = char(~bytes[8]);
        return bytes;
    });
    const ArchivePreviewService browser;
    // A compressed TAR cut short is damage in GNU tar's decoder's words.
    const QString tars[] = {cutTar("cut.tar.bz2", "bzip2", 20000), cutTar("cut.tar.gz", "gzip", 8)};
    for (const QString& archive : {m_tree.writeFile("claims.zip", ZipBytes::endRecord(2, 0, 0)),
                                   m_tree.writeFile("offset.zip", offset), rar, tars[0], tars[1]}) {
        SCOPED_TRACE(archive.toStdString());
        ArchivePreviewEntry entry;
        const bool tar = archive.contains(".tar.");
        entry.path = tar ? QStringLiteral("data.bin") : QStringLiteral("a.txt");
        const std::optional<ArchiveError> damaged = ArchiveError::corruptedArchive();
        EXPECT_EQ(thrownArchiveError([&] { browser.previewEntries(archive, std::nullopt, {}); }), damaged);
        if (archive == rar) continue;  // unrar writes the entry of a RAR whose main header is damaged
        EXPECT_EQ(thrownArchiveError([&] { browser.extractedPreviewFile(entry, archive, std::nullopt, {}); }),
                  damaged);
        if (tar) continue;  // no TAR is edited
        EXPECT_EQ(thrownArchiveError([&] { browser.deleteEntries({entry}, archive, std::nullopt, {}); }),
                  damaged);
    }
}

// The tools name the entry a wrong password fails on ("ERROR: Wrong password : a", "Incorrect password
// for a"): a name that is part of their words leaves them whole, for the browser's check of a typed
// password, its preview of the entry and an extraction alike.
TEST_F(ExtractionFailureReasonTest, aWrongPasswordIsNamedWhateverItsEntryIsCalled) {
    const ArchivePreviewService browser;
    // The archive's extension, the program and its switches.
    const QList<QStringList> makers = {
        {"zip", "7zz", "a", "-tzip", "-mem=ZipCrypto"}, {"7z", "7zz", "a"}, {"rar", "rar", "a", "-inul"}};
    for (const char* name : {"a", "s", "or", "pass", "Wrong password", "Cannot find volume x.txt",
                             "Missing volume : x.txt", "ERROR: x"}) {
        m_tree.writeFile(QStringLiteral("names/") + name, "secret\n");
        ArchivePreviewEntry entry;
        entry.path = QString::fromUtf8(name);
        for (const QStringList& maker : makers) {
            const QString archive = m_tree.path(name + ('.' + maker[0]));
            SCOPED_TRACE(archive.toStdString());
            runTool(maker[1], maker.mid(2) + QStringList{"-pright", archive, "--", name},
                    m_tree.path("names"));
            EXPECT_EQ(ArchivePasswordProbe::testFirstEncryptedEntry(archive, "wrong", {}),
                      ArchivePasswordProbe::EntryTest::wrong);
            EXPECT_EQ(thrownArchiveError([&] { browser.extractedPreviewFile(entry, archive, "wrong", {}); }),
                      ArchiveError::wrongPassword());
            EXPECT_EQ(failureOf(archive, "wrong", m_tree.makeFolder(name + maker[0])),
                      QStringLiteral(u"密码错误或压缩包需要密码。"));
        }
    }
}

// Entries 7-Zip cannot write read in Chinese, named by their path in the archive, never with its
// "ERROR:", an error number or velmora's hidden work folder; nothing is written anywhere. TARs go to
// 7-Zip alone here, as without GNU tar, which writes a later entry over a link of its name.
TEST_F(ExtractionFailureReasonTest, unwritableEntriesAreNamedInChinese) {
    const QString outside = m_tree.makeFolder("outside");
    ASSERT_TRUE(QFile::link(outside, m_tree.path("src/lnk")));
    ASSERT_EQ(::link(QFile::encodeName(m_tree.path("src/note.txt")).constData(),
                     QFile::encodeName(m_tree.path("src/h")).constData()),
              0);
    m_tree.writeFile("through/lnk/through.txt", "through");
    m_tree.writeFile("second/h", "second");
    m_tree.writeFile("second/sym", "second");
    ASSERT_TRUE(QFile::link("note.txt", m_tree.path("src/sym")));
    // A TAR of src's names with names from another folder appended.
    const auto tar = [&](const QString& name, const QStringList& names, const QString& folder,
                         const QString& appended) {
        runTool("tar", QStringList{"-cf", "../" + name, "--"} + names, m_tree.path("src"));
        runTool("tar", {"-rf", m_tree.path(name), "--", appended}, m_tree.path(folder));
        return m_tree.path(name);
    };
    const auto zip = [&](const QString& name, const QList<LegacyArchives::Item>& items) {
        return m_tree.writeFile(name, LegacyArchives::zip(items, LegacyArchives::Host::unix));
    };
    const QString longName(300, u'n');
    FakePrograms sevenZipAlone;
    sevenZipAlone.remove(QStringLiteral("tar"));
    const struct {
        const char* name;
        std::function<QString()> archive;
        QString expected;
    } cases[] = {
        {"an absolute link to a folder, then a file through it",
         [&] { return tar("through.tar", {"lnk"}, "through", "lnk/through.txt"); },
         QStringLiteral(
             u"解压失败：压缩包中的“lnk/through.txt”位于链接或文件之下，无法经由它写入，已停止解压。")},
        {"a hard link to a missing target",
         [&] {
             runTool("tar", {"-cf", "../missing.tar", "--", "note.txt", "h"}, m_tree.path("src"));
             runTool("tar", {"--delete", "-f", m_tree.path("missing.tar"), "note.txt"});
             return m_tree.path("missing.tar");
         },
         QStringLiteral(u"解压失败：压缩包中的硬链接“h”指向的“note.txt”不存在，已停止解压。")},
        {"a hard link, then a file of its name",
         [&] {
             return tar("twice.tar", {"note.txt", "h"}, "second", "h");
         },
         QStringLiteral(u"解压失败：压缩包中的硬链接“h”与同名条目冲突，无法创建，已停止解压。")},
        {"a symbolic link, then a file of its name",
         [&] { return tar("symlink.tar", {"sym"}, "second", "sym"); },
         QStringLiteral(u"解压失败：压缩包中的链接“sym”与同名条目冲突，无法创建，已停止解压。")},
        {"a 300-byte name",
         [&] {
             return zip("long.zip", {{longName.toUtf8(), "x", true}});
         },
         QStringLiteral(u"解压失败：7-Zip 解压工具返回错误（无法写入“") + longName.left(40) + u'…' +
             longName.right(39) + QStringLiteral(u"”：文件名太长）。")},
        {"a file, then a folder entry of its name",
         [&] {
             return zip("folder.zip", {{"d", "file"}, {"d/"}});
         },
         QStringLiteral(u"解压失败：7-Zip 解压工具返回错误（无法创建文件夹“d”：文件已存在）。")},
    };
    int run = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QString destination = m_tree.makeFolder(QStringLiteral("refused%1").arg(run++));
        const QString message = failureOf(c.archive(), std::nullopt, destination, sevenZipAlone.programs());
        EXPECT_EQ(message, c.expected);
        for (const char* word : {"errno", ".velmora", "ERROR:"}) EXPECT_FALSE(message.contains(word)) << word;
        EXPECT_TRUE(QDir(destination).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden));
    }
    EXPECT_TRUE(QDir(outside).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden));
}

TEST_F(ExtractionFailureReasonTest, aReadOnlyDestinationIsNamed) {
    if (::geteuid() == 0) GTEST_SKIP() << "root writes into any folder";
    const QString archive = make("7zz", {"a", "../a.7z", "note.txt"});
    const QString destination = m_tree.makeFolder("locked");
    QFile::setPermissions(destination, QFile::ReadOwner | QFile::ExeOwner);
    // The archive's own folder inside it is what could not be made.
    EXPECT_EQ(failureOf(archive, std::nullopt, destination),
              QStringLiteral(u"无法创建文件夹：") + destination + QStringLiteral(u"/a（没有写入权限）"));
    QFile::setPermissions(destination, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

// An archive the user may not read is named with what could not be done, whichever tool decides.
TEST_F(ExtractionFailureReasonTest, anUnreadableArchiveIsNamed) {
    if (::geteuid() == 0) GTEST_SKIP() << "root reads every file";
    for (const QString& archive :
         {make("7zz", {"a", "../u.7z", "note.txt"}), make("zip", {"-q", "../u.zip", "note.txt"}),
          make("rar", {"a", "-inul", "../u.rar", "note.txt"})}) {
        SCOPED_TRACE(archive.toStdString());
        QFile::setPermissions(archive, QFile::WriteOwner);
        EXPECT_EQ(failureOf(archive, std::nullopt, m_tree.makeFolder("unreadable")),
                  QStringLiteral(u"无法读取“") + archive + QStringLiteral(u"”（没有读取权限）"));
    }
}

// <tmp>/velmora-<uid> made by another user, as a folder of theirs or a link to one: velmora works in
// the runtime folder instead, writes nothing through the link, and without a runtime folder names the
// folder that is taken and by whom, never a work folder inside it. Without GNU tar, 7-Zip unpacks a
// compressed TAR's layer there.
TEST_F(ExtractionFailureReasonTest, aTemporaryFolderTakenByAnotherUserIsNamed) {
    if (::geteuid() != 0) GTEST_SKIP() << "only root can give a folder to another user";
    const QString archive = make("tar", {"-czf", "../a.tar.gz", "note.txt"});
    FakePrograms withoutTar;
    withoutTar.remove("tar");
    const QString theirs = m_tree.makeFolder("theirs");
    const QString runtime = m_tree.makeFolder("runtime");
    QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const QString taken = m_tree.path("tmp/velmora-" + QString::number(::getuid()));
    PrivateTempDirectory::setSystemTempPathForTesting(m_tree.makeFolder("tmp"));
    const QByteArray savedRuntime = qgetenv("XDG_RUNTIME_DIR");
    for (const bool link : {false, true}) {
        QDir().rmdir(taken);
        ASSERT_TRUE(link ? QFile::link(theirs, taken) : QDir().mkdir(taken));
        ASSERT_EQ(::lchown(QFile::encodeName(taken).constData(), 65534, 65534), 0);
        ASSERT_EQ(::chown(QFile::encodeName(theirs).constData(), 65534, 65534), 0);
        for (const bool withRuntime : {true, false}) {
            SCOPED_TRACE(QString("link %1, runtime %2").arg(link).arg(withRuntime).toStdString());
            qputenv("XDG_RUNTIME_DIR", withRuntime ? QFile::encodeName(runtime) : QByteArray());
            const QString destination = m_tree.makeFolder(QString("out%1%2").arg(link).arg(withRuntime));
            EXPECT_EQ(failureOf(archive, std::nullopt, destination, withoutTar.programs()),
                      withRuntime ? QStringLiteral("no failure")
                                  : QStringLiteral(u"无法创建文件夹：") + taken +
                                        QStringLiteral(u"（已被用户 nobody 占用）"));
            EXPECT_TRUE(QDir(theirs).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden));
        }
    }
    savedRuntime.isEmpty() ? qunsetenv("XDG_RUNTIME_DIR") : qputenv("XDG_RUNTIME_DIR", savedRuntime);
    PrivateTempDirectory::setSystemTempPathForTesting({});
}

// A read-only disk, which root cannot write either: the system's reason, in Chinese.
TEST_F(ExtractionFailureReasonTest, aReadOnlyDiskIsNamedInChinese) {
    const QString archive = make("7zz", {"a", "../a.7z", "note.txt"});
    const QString destination = m_tree.makeFolder("readonly");
    const ReadOnlyMount mount(destination);
    if (!mount.mounted()) GTEST_SKIP() << "no bind mount here";
    EXPECT_EQ(failureOf(archive, std::nullopt, destination),
              QStringLiteral(u"无法创建文件夹：") + destination + QStringLiteral(u"/a（文件系统为只读）"));
}

// A full disk needs a small file system: the tool runs in a private mount namespace with a tiny tmpfs,
// where one can be made, and its words are judged as an extraction's would be.
TEST_F(ExtractionFailureReasonTest, aFullDiskIsNamedForAnEncryptedArchiveToo) {
    const QString archive = make("7zz", {"a", "-mx=0", "-pright", "../big.7z", "data.bin"});
    const QString mountPoint = m_tree.makeFolder("small");
    const QString script = QStringLiteral(
        "mount -t tmpfs -o size=64k tmpfs \"$1\" || exit 99; "
        "exec \"$2\" x -o\"$1/out\" -y -- \"$3\"");
    const ProcessResult result = ProcessRunner::run(
        QStringLiteral("/usr/bin/unshare"),
        {"-rm", "/bin/sh", "-c", script, "sh", mountPoint, *ArchivePrograms::installed().sevenZip(), archive},
        std::nullopt, ArchiveTools::kListingTimeout, {}, {}, QStringLiteral("right"));
    if (result.status == 99 || result.error.contains(QLatin1String("unshare"))) {
        GTEST_SKIP() << "no private mount namespace here";
    }
    ASSERT_NE(result.status, 0);
    EXPECT_EQ(ToolFailure::mapExternalError(result, {}, {archive}).message(),
              QStringLiteral(u"磁盘空间不足。"));
}

}  // namespace

namespace {

// A path in a message is the item as the user knows it: every work folder velmora made on the way,
// however deep, is no part of it.
TEST(ToolFailureLines, shownPathsLeaveOutWorkFolders) {
    const std::pair<const char*, const char*> cases[] = {
        {"/home/u/x/.velmoraExtraction-3d8d/lnk/through.txt", "lnk/through.txt"},
        {"/tmp/velmora-0/velmoraPreviews/9F2A/.velmoraExtraction-3d8d/lnk/through.txt", "lnk/through.txt"},
        {"/home/u/.velmoraEdit-77ab/new/a.txt", "new/a.txt"},
        {"/tmp/velmora-0/velmoraRarAlias/5C1E/set*.part1.rar", "set*.part1.rar"},
        {"/tmp/velmora-0/velmoraCompoundTar-1/inner.tar", "inner.tar"},
        {"./docs/r.txt", "docs/r.txt"},
        {"docs/velmora notes.txt", "docs/velmora notes.txt"},
    };
    for (const auto& [printed, shown] : cases)
        EXPECT_EQ(ToolFailureLines::shownPath(printed), shown) << printed;
}

}  // namespace
