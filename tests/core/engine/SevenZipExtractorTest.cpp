#include "EngineFixtures.h"
#include "core/engine/SevenZipExtractor.h"
#include "platform/PrivateTempDirectory.h"
#include "platform/WorkTree.h"
#include "support/FakePrograms.h"
#include "support/GnuTarArchives.h"
#include "support/LegacyArchives.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFileInfo>
#include <cerrno>

#include <sys/stat.h>
#include <unistd.h>

namespace {

SevenZipExtractor makeExtractor(const ArchivePrograms& programs = ArchivePrograms::installed()) {
    return SevenZipExtractor(programs);
}

// A fake 7zz whose first run leaves inner.tar in the folder given by -o, as a compressed TAR's first
// pass does; later runs write the TAR's one file there.
const QString kFirstPassWritesTar = QStringLiteral(
    "name=a.txt; [ -e \"$0.done\" ] || { touch \"$0.done\"; name=inner.tar; }; for a in \"$@\"; do "
    "case \"$a\" in -o*) : > \"${a#-o}/$name\";; esac; done");

class SevenZipExtractorTest : public SampleArchiveTest {
protected:
    void SetUp() override {
        SampleArchiveTest::SetUp();
        PrivateTempDirectory::setSystemTempPathForTesting(m_tree.makeFolder(QStringLiteral("tmp")));
    }
    void TearDown() override { PrivateTempDirectory::setSystemTempPathForTesting({}); }

    QString sevenZip(const QString& name, const QStringList& options = {}) {
        return archiveOfSample(kSevenZip, QStringList{QStringLiteral("a")} + options, name);
    }

    // What extracting archive into out/ throws.
    std::optional<ArchiveError> extractionError(const QString& archive, const ArchivePrograms& programs) {
        return thrownArchiveError(
            [&] { makeExtractor(programs).extract(archive, m_tree.path("out"), std::nullopt, 1, {}); });
    }

    // What the private temporary base holds: work folders must never outlive an extraction.
    QStringList privateTempEntries() const {
        return QDir(*PrivateTempDirectory::base())
            .entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    }
};

TEST(SevenZipExtractor, AcceptsWhatSevenZipReadsApartFromZipAndRar) {
    const SevenZipExtractor extractor = makeExtractor();
    const struct {
        const char* name;
        bool accepted;
    } cases[] = {{"/a/data.zip", false},  {"/a/x.zipx", false},    {"/a/x.part1.rar", false},
                 {"/a/disk.DMG", true},   {"/a/a.tgz", true},      {"/a/a.TAR.XZ", true},
                 {"/a/x.iso", true},      {"/a/notes.gz", true},   {"/a/archive.7z.002", true},
                 {"/a/x.7z.01", true},    {"/a/notes.txt", false}, {"/a/x.7z", true},
                 {"/a/x.zip.001", false}, {"/a/x.z01", false},     {"/a/x.r00", false}};
    for (const auto& c : cases)
        EXPECT_EQ(extractor.canHandle(QString::fromUtf8(c.name)), c.accepted) << c.name;
}

TEST_F(SevenZipExtractorTest, PasswordsReachTheArchive) {
    for (const QString& archive :
         {sevenZip("headers.7z", {u"-p密码"_qs, "-mhe=on"}), sevenZip("data.7z", {u"-p密码"_qs})}) {
        const QString destination = m_tree.path(QStringLiteral("out/") + QFileInfo(archive).fileName());
        makeExtractor().extract(archive, destination, QStringLiteral("密码"), 2, {});
        expectSample(destination);
        for (const std::optional<QString>& password :
             {std::optional<QString>(QStringLiteral("wrong")), std::optional<QString>(),
              std::optional<QString>(QString())}) {
            EXPECT_EQ(thrownArchiveError(
                          [&] { makeExtractor().extract(archive, m_tree.path("bad"), password, 1, {}); }),
                      ArchiveError::wrongPassword())
                << archive.toStdString();
        }
    }
}

TEST_F(SevenZipExtractorTest, CompoundTarPasswordGoesToTheFirstPassOnly) {
    FakePrograms programs;
    programs.remove(QStringLiteral("tar"));  // the inner TAR then goes to 7-Zip, whose runs are recorded
    const FakeTool fake = programs.addTool(QStringLiteral("7zz"), kFirstPassWritesTar);
    const QString archive = m_tree.writeFile(QStringLiteral("backup.tgz"), "gz");
    const QString destination = m_tree.path(QStringLiteral("out"));
    makeExtractor(programs.programs()).extract(archive, destination, QStringLiteral("pw"), 3, {});

    const QList<QStringList> runs = fake.recordedRuns();
    ASSERT_EQ(runs.size(), 2);
    const QString work = runs[0][1].mid(2);
    EXPECT_EQ(QFileInfo(work).path(), *PrivateTempDirectory::base());
    EXPECT_TRUE(QFileInfo(work).fileName().startsWith(QLatin1String("velmoraCompoundTar-")));
    EXPECT_EQ(runs[0], (QStringList{"x", "-o" + work, "-y", "-snld", "-mmt=3", "-spd", "--", archive}));
    EXPECT_EQ(
        withStagingAsDestination(runs[1], destination),
        (QStringList{"x", "-o" + destination, "-y", "-snld", "-mmt=3", "-spd", "--", work + "/inner.tar"}));
    EXPECT_EQ(fake.recordedInputs(), (QStringList{"pw\n", ""}));
    EXPECT_TRUE(privateTempEntries().isEmpty());
}

TEST_F(SevenZipExtractorTest, CompoundTarWithoutInnerTarFailsAndCleansUp) {
    FakePrograms programs;
    programs.remove(QStringLiteral("tar"));  // 7-Zip's way: the layer unpacked first
    programs.addTool(QStringLiteral("7zz"), QStringLiteral("exit 0"));
    const QString archive = m_tree.writeFile(QStringLiteral("backup.tar.bz2"), "bz");
    EXPECT_EQ(
        thrownMessage([&] {
            makeExtractor(programs.programs()).extract(archive, m_tree.path("out"), std::nullopt, 1, {});
        }),
        QStringLiteral(u"解压失败：未能解析 backup.tar.bz2 中的 TAR 中间文件。"));
    EXPECT_TRUE(privateTempEntries().isEmpty());
}

// gzip records the member's own name; a TAR saved as backup.taraa is still the one file inside.
TEST_F(SevenZipExtractorTest, CompoundTarWithAnInnerMemberOfAnotherNameExtracts) {
    m_tree.writeFile(QStringLiteral("gz/backup.taraa"), LegacyArchives::tar({{"notes.txt", "inside"}}));
    runTool(QStringLiteral("gzip"), {QStringLiteral("backup.taraa")}, m_tree.path(QStringLiteral("gz")));
    const QString archive = m_tree.path(QStringLiteral("backup.tgz"));
    QFile::rename(m_tree.path(QStringLiteral("gz/backup.taraa.gz")), archive);
    makeExtractor().extract(archive, m_tree.path(QStringLiteral("out")), std::nullopt, 1, {});
    EXPECT_EQ(m_tree.readFile(QStringLiteral("out/notes.txt")), QByteArray("inside"));
}

// Cancelling stops 7-Zip unpacking a compressed TAR's layer and GNU tar reading a TAR alike.
TEST_F(SevenZipExtractorTest, CancelledTarStopsAndCleansUp) {
    for (const auto& [program, name] : {std::pair{"7zz", "backup.tar.xz"}, std::pair{"tar", "plain.tar"}}) {
        SCOPED_TRACE(program);
        FakePrograms programs;
        const FakeTool fake = programs.addTool(program, "exec sleep 60");
        const QString archive = m_tree.writeFile(name, "archive");
        EXPECT_TRUE(stopsWithCancellation(fake, [&](const CancellationToken& token) {
            makeExtractor(programs.programs()).extract(archive, m_tree.path("out"), std::nullopt, 1, token);
        }));
        EXPECT_FALSE(QFileInfo::exists(m_tree.path("out")));
        EXPECT_TRUE(privateTempEntries().isEmpty());
    }
}

// A TAR's files, alone or inside gzip, come out as GNU tar writes them: sparse files whole, no folders
// made of old GNU time fields, an incremental TAR's later copy of a file, a TAR without end blocks whole.
TEST_F(SevenZipExtractorTest, TarsComeOutAsGnuTarExtractsThem) {
    const QMap<QString, QString> archives = GnuTarArchives::make(m_tree);
    for (const auto& [name, archive] : archives.asKeyValueRange()) {
        SCOPED_TRACE(name.toStdString());
        const QString expected = m_tree.makeFolder("gnu/" + name);
        runTool(kTar, {"-x", "-f", archive, "-C", expected});
        makeExtractor().extract(archive, m_tree.path("out/" + name), std::nullopt, 1, {});
        EXPECT_EQ(treeContents(m_tree.path("out/" + name)), treeContents(expected));
    }
}

// 7-Zip cuts a 32,767-character name to 100 and only warns, with its success status: that is no
// success. Without GNU tar it reads as damage; with it, GNU tar's own words say what failed.
TEST_F(SevenZipExtractorTest, ATarSevenZipWarnsAboutIsNoSuccess) {
    const QString longName(32767, u'a');
    m_tree.writeFile("long/a", "x");
    const QString archive = m_tree.path("long.tar");
    runTool(kTar, {"-c", "-f", archive, "--transform=s,^a$," + longName + ",", "a"}, m_tree.path("long"));
    FakePrograms withoutTar;
    withoutTar.remove(QStringLiteral("tar"));
    const ArchiveError tooLong =
        ArchiveError::extractFailed(u"GNU tar 解压工具返回错误（无法写入“"_qs + longName.left(40) + u'…' +
                                    longName.right(39) + u"”：文件名太长）。"_qs);
    for (const auto& [programs, expected] :
         {std::pair{ArchivePrograms::installed(), tooLong},
          std::pair{withoutTar.programs(), ArchiveError::corruptedArchive()}}) {
        EXPECT_EQ(extractionError(archive, programs), expected);
        EXPECT_FALSE(QFileInfo::exists(m_tree.path("out")));
    }
}

// A device node or a named pipe in a TAR is an empty file, as 7-Zip writes it, not made by GNU tar.
TEST_F(SevenZipExtractorTest, DevicesAndPipesInATarAreEmptyFiles) {
    runTool(kTar, {"-c", "-f", m_tree.path("dev.tar"), "-C", "/dev", "null"});
    ASSERT_EQ(::mkfifo(QFile::encodeName(m_tree.makeFolder("pipes") + "/pipe").constData(), 0644), 0);
    runTool(kTar, {"-c", "-f", m_tree.path("pipe.tar"), "-C", m_tree.path("pipes"), "pipe"});
    for (const auto& [archive, name] : {std::pair{"dev.tar", "null"}, std::pair{"pipe.tar", "pipe"}}) {
        makeExtractor().extract(m_tree.path(archive), m_tree.path("out"), std::nullopt, 1, {});
        const QFileInfo extracted(m_tree.path("out/") + name);
        EXPECT_TRUE(extracted.isFile() && !extracted.isSymLink()) << name;
        EXPECT_EQ(extracted.size(), 0);
    }
}

// GNU tar sets a folder's mode after its contents, so a TAR of read-only folders (a Go module cache) or
// of a folder of mode 000 extracts with their modes, and a failed run leaves nothing of them.
TEST_F(SevenZipExtractorTest, ATarOfReadOnlyFoldersExtractsAsTarDoes) {
    if (::geteuid() == 0) GTEST_SKIP() << "root writes into any folder";
    m_tree.writeFile("ro/lib@v1.2.3/sub/a.txt", "module");
    m_tree.writeFile("ro/locked/in.txt", "locked");
    runTool("/usr/bin/chmod", {"-R", "a-w", m_tree.path("ro/lib@v1.2.3")});
    const QString tar = m_tree.path("ro.tar");
    runTool(kTar, {"-cf", tar, "lib@v1.2.3"}, m_tree.path("ro"));
    runTool(kTar, {"-rf", tar, "--mode=0", "--no-recursion", "locked"}, m_tree.path("ro"));
    runTool(kTar, {"-rf", tar, "locked/in.txt"}, m_tree.path("ro"));
    runTool("/usr/bin/gzip", {"-k", tar});

    const auto extracted = [&] {
        return QDir(m_tree.path("out")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    };
    makeExtractor().extract(tar + ".gz", m_tree.path("out"), std::nullopt, 1, {});
    EXPECT_EQ(extracted(), (QStringList{"lib@v1.2.3", "locked"}));
    EXPECT_EQ(m_tree.readFile("out/lib@v1.2.3/sub/a.txt"), "module");
    EXPECT_EQ(fileMode(m_tree.path("out/lib@v1.2.3")), 0555);
    EXPECT_EQ(fileMode(m_tree.path("out/lib@v1.2.3/sub")), 0555);
    EXPECT_EQ(fileMode(m_tree.path("out/locked")), 0);

    // Cut short in the data of the folder of mode 000: GNU tar, then 7-Zip fail, and leave nothing.
    QFile::resize(tar, 512 * 6 + 3);
    EXPECT_EQ(extractionError(tar, ArchivePrograms::installed()), ArchiveError::corruptedArchive());
    EXPECT_EQ(extracted(), (QStringList{"lib@v1.2.3", "locked"}));
    for (const char* folder : {"out", "ro"})
        EXPECT_EQ(WorkTree::remove(QFile::encodeName(m_tree.path(folder))), 0);
}

// A hard link without a target or an entry without a name is damage, not an empty file as 7-Zip makes.
TEST_F(SevenZipExtractorTest, EntriesGnuTarRefusesAreDamageNotMadeUp) {
    // The second header (after a.txt's header and data) as a hard link, its checksum written again.
    QByteArray hardLink = LegacyArchives::tar({{"a.txt", "hi"}, {"hardlink-2"}});
    hardLink[1024 + 156] = '1';
    hardLink.replace(1024 + 148, 8, QByteArray(8, ' '));
    int sum = 0;
    for (const char byte : hardLink.mid(1024, 512)) sum += static_cast<unsigned char>(byte);
    hardLink.replace(1024 + 148, 8, QByteArray::number(sum, 8).rightJustified(6, '0') + QByteArray("\0 ", 2));
    for (const auto& [archive, reason] :
         {std::pair{hardLink, u"压缩包已损坏：硬链接“hardlink-2”没有目标。"_qs},
          std::pair{LegacyArchives::tar({{"a.txt", "hi"}, {"", "yo"}}),
                    u"压缩包已损坏：其中有一个没有名称的条目。"_qs}}) {
        EXPECT_EQ(extractionError(m_tree.writeFile("damaged.tar", archive), ArchivePrograms::installed()),
                  ArchiveError::corruptedEntry(reason));
        EXPECT_FALSE(QFileInfo::exists(m_tree.path("out")));
    }
}

TEST_F(SevenZipExtractorTest, FailureTexts) {
    const struct {
        const char* body;
        ArchiveError expected;
    } cases[] = {
        {"printf '\\n \\n'; exit 2",
         ArchiveError::extractFailed(QStringLiteral(u"7-Zip 解压工具返回错误。"))},
        {"echo 'ERROR: WRONG PASSWORD : a.txt'; exit 2", ArchiveError::wrongPassword()},
        {"echo 'Enter password (will not be echoed):'; echo 'Break signaled' >&2; exit 255",
         ArchiveError::wrongPassword()},
        {"echo 'Enter password (will not be echoed):'; echo 'errno=28 : No space left on device' >&2; exit 2",
         *ArchiveError::unwritable(m_tree.path("out"), ENOSPC)},
        {"echo 'cannot open output file: Permission denied' >&2; exit 2", ArchiveError::permissionDenied()},
        {"echo 'Data Error' >&2; echo 'Sub items Errors: 1'; exit 2", ArchiveError::corruptedArchive()},
        {"echo 'Unexpected end of archive' >&2; exit 2", ArchiveError::corruptedArchive()},
        // Neither the banner, the progress nor a line that names no known reason reaches the user.
        {"echo 'Unsupported feature' >&2; exit 2",
         ArchiveError::extractFailed(QStringLiteral(u"7-Zip 解压工具返回错误。"))},
        {"echo '7-Zip (z) 26.02 (x64) : Copyright (c) 1999-2026 Igor Pavlov'; echo 'Scanning the drive:'; "
         "echo 'ERROR: E_FAIL : a.txt' >&2; echo 'Sub items Errors: 1'; exit 2",
         ArchiveError::extractFailed(QStringLiteral(u"7-Zip 解压工具返回错误。"))},
        // Not an archive: the "errno=1" of its failed open is no permission problem.
        {"printf 'ERROR: /d/a.7z\\n/d/a.7z\\nOpen ERROR: Cannot open the file as [7z] archive\\n\\nERRORS:\\n"
         "Is not archive\\n\\n\\nSystem ERROR:\\nerrno=1 : Operation not permitted\\n' >&2; exit 2",
         ArchiveError::corruptedArchive()},
        {"printf 'Open ERROR: Cannot open the file as [7z] archive\\n' >&2; exit 2",
         ArchiveError::corruptedArchive()},
        // On a file system that takes no Unix modes (fusefat) a mode is no failure, anything else is.
        {"printf 'ERROR: Cannot set file attribute : errno=38 : Function not implemented : "
         "/m/.velmoraExtraction-1/d\\nERROR: Cannot create symbolic link : errno=38 : Function not "
         "implemented : /m/.velmoraExtraction-1/d/link\\n' >&2; exit 2",
         ArchiveError::extractFailed(
             QStringLiteral(u"7-Zip 解压工具返回错误（无法创建链接“d/link”：文件系统不支持此操作）。"))},
        {"printf 'ERROR: Cannot set file attribute : errno=38 : Function not implemented : /m/d\\n"
         "ERROR: CRC Failed : d/a.txt\\n' >&2; exit 2",
         ArchiveError::corruptedArchive()},
        {"echo 'ERROR: Cannot set file attribute : errno=5 : Input/output error : /m/.velmoraExtraction-1/d' "
         ">&2; exit 2",
         ArchiveError::extractFailed(
             QStringLiteral(u"7-Zip 解压工具返回错误（无法设置文件属性“d”：磁盘读写错误）。"))},
        // A name fusefat refuses is named, no permission; a refused read says so; data past an end is damage.
        {"echo 'ERROR: Cannot open output file : errno=1 : Operation not permitted : "
         "/m/.velmoraExtraction-1/a:b.txt' >&2; exit 2",
         ArchiveError::extractFailed(
             QStringLiteral(u"7-Zip 解压工具返回错误（无法写入“a:b.txt”：目标位置不能使用这个名称）。"))},
        {"echo 'ERROR: Cannot open input file : errno=13 : Permission denied : /d/set.7z.002' >&2; exit 2",
         ArchiveError::permissionDenied(QStringLiteral("/d/set.7z.002"), SystemErrorText::Access::read)},
        {"echo 'ERROR: There are some data after the end of the payload data : test1.xml' >&2; exit 2",
         ArchiveError::corruptedArchive()},
        // A chain its listing does not prove safe stays refused, named.
        {"echo 'ERROR: Dangerous link via another link was ignored : via : dir/f' >&2; exit 2",
         ArchiveError::extractFailed(QStringLiteral(
             u"压缩包中的链接“via”经由其他链接指向目标，无法确认它留在解压位置之内，已停止解压。"))},
        // GNU tar's names come C-quoted; an archive it cannot open is a refused read.
        {"echo 'tar: \"d/a:b.txt\": Cannot open: Invalid argument' >&2; exit 2",
         ArchiveError::extractFailed(
             QStringLiteral(u"GNU tar 解压工具返回错误（无法写入“d/a:b.txt”：目标位置不能使用这个名称）。"))},
        {"echo 'tar: \"d/\\\"q\\\": x\": Cannot open: File name too long' >&2; exit 2",
         ArchiveError::extractFailed(
             QStringLiteral(u"GNU tar 解压工具返回错误（无法写入“d/\"q\": x”：文件名太长）。"))},
        // A name that holds the tools' words is no word of theirs.
        {"echo 'tar: \"Wrong password: Unexpected EOF in archive\": Cannot open: File name too long' >&2; "
         "exit 2",
         ArchiveError::extractFailed(QStringLiteral(u"GNU tar 解压工具返回错误（无法写入“Wrong password: "
                                                    u"Unexpected EOF in archive”：文件名太长）。"))},
        {"echo 'tar: \"/d/a.tar\": Cannot open: Permission denied' >&2; exit 2",
         ArchiveError::permissionDenied(QStringLiteral("/d/a.tar"), SystemErrorText::Access::read)},
        {"echo 'tar: This does not look like a tar archive' >&2; exit 2", ArchiveError::corruptedArchive()},
        // Each program's lines are read in its own forms only: unrar's failed call, unzip's unmapped name
        // and unrar's missing volume in 7-Zip's run or GNU tar's say nothing.
        {"echo 'Cannot create /m/.velmoraExtraction-1/a.txt' >&2; exit 2",
         ArchiveError::extractFailed(QStringLiteral(u"7-Zip 解压工具返回错误。"))},
        {"echo 'Cannot find volume /d/a.part2.rar' >&2; exit 2",
         ArchiveError::extractFailed(QStringLiteral(u"7-Zip 解压工具返回错误。"))},
        {"echo 'tar: x' >&2; echo 'mapname:  conversion of a/b.txt failed' >&2; exit 2",
         ArchiveError::extractFailed(QStringLiteral(u"GNU tar 解压工具返回错误。"))},
        {"echo 'tar: Exiting with failure status due to previous errors' >&2; exit 2",
         ArchiveError::extractFailed(QStringLiteral(u"GNU tar 解压工具返回错误。"))},
    };
    for (const auto& c : cases) {
        const bool byTar = QByteArray(c.body).startsWith("echo 'tar: ");  // run on a.tar, no 7-Zip after it
        FakePrograms programs;
        programs.remove(QStringLiteral("7zz"));
        programs.addTool(byTar ? "tar" : "7zz", QString::fromUtf8(c.body));
        const QString archive = m_tree.writeFile(byTar ? "a.tar" : "a.7z", "x");
        EXPECT_EQ(extractionError(archive, programs.programs()), c.expected) << c.body;
    }
}

}  // namespace
