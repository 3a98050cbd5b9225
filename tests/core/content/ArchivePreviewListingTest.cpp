#include "ContentFixture.h"
#include "core/base/FileSystemError.h"
#include "core/engine/ArchiveService.h"
#include "core/engine/ExtractionOptions.h"
#include "core/engine/ToolFailure.h"
#include "platform/ToolText.h"
#include "support/FakeTool.h"
#include "support/GnuTarArchives.h"
#include "support/LegacyArchives.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUuid>

namespace {

class ArchivePreviewListingTest : public ContentFixture {
protected:
    QList<ArchivePreviewEntry> list(const ArchivePreviewService& service, const QString& archive,
                                    const std::optional<QString>& password = std::nullopt) {
        return service.previewEntries(archive, password, m_token);
    }

    ArchiveError::Kind failureKind(const ArchivePreviewService& service, const QString& archive,
                                   const std::optional<QString>& password = std::nullopt) {
        return failure([&] { list(service, archive, password); }).kind();
    }
};

TEST_F(ArchivePreviewListingTest, RealArchivesThroughTheTools) {
    EXPECT_EQ(listedPaths(sevenZipArchive("s.zip", {"-tzip"})), kSamplePaths);
    EXPECT_EQ(listedPaths(sevenZipArchive("s.7z")), kSamplePaths);
    // 7-Zip cannot open a RAR here and names the archive in its complaint, which must not read as a
    // password problem; unrar lists it.
    EXPECT_EQ(listedPaths(rarArchive("Wrong passwords.rar")), kSamplePaths);

    // An archive without entries is an empty listing, not a reason to ask another reader.
    EXPECT_TRUE(listedPaths(m_tree.writeFile("empty.zip", QByteArray("PK\x05\x06", 4) + QByteArray(18, '\0')))
                    .isEmpty());

    // A compressed TAR lists the files inside its TAR, not the TAR itself.
    runTool("/usr/bin/tar", {"-czf", m_tree.path("s.tar.gz"), "--", "a.txt", "docs"}, m_sample);
    EXPECT_EQ(listedPaths(m_tree.path("s.tar.gz")), QStringList({"a.txt", "docs/", "docs/r.txt"}));

    // Volumes are listed whole from the first one.
    addSampleFile("noise.bin", QUuid::createUuid().toByteArray().repeated(8000));
    const QStringList withNoise = sorted(kSamplePaths + QStringList{"noise.bin"});
    const QString volumes = sevenZipArchive("v.7z", {"-v100k", "-mx0"});
    ASSERT_TRUE(QFile::exists(volumes + ".002"));
    EXPECT_EQ(listedPaths(volumes + ".001"), withNoise);
    rarArchive("v.rar", {"-v100k", "-m0"});
    ASSERT_TRUE(QFile::exists(m_tree.path("v.part2.rar")));
    EXPECT_EQ(listedPaths(m_tree.path("v.part1.rar")), withNoise);
}

// The browser lists and extracts a TAR, alone or in gzip, as GNU tar reads it: a sparse file whole, no
// folder of old GNU time fields, one row of a file stored twice, every entry of a TAR without end blocks.
TEST_F(ArchivePreviewListingTest, TarsListAndExtractAsGnuTarReadsThem) {
    const QMap<QString, QString> archives = GnuTarArchives::make(m_tree);
    const ArchivePreviewService service;
    for (const char* name :
         {"sparse-0.0.tar", "sparse-0.1.tar", "sparse-1.0.tar", "sparse-gnu.tar", "sparse-1.0.tgz"}) {
        SCOPED_TRACE(name);
        const QList<ArchivePreviewEntry> rows = list(service, archives[name]);
        ASSERT_EQ(paths(rows), QStringList{"sparse.bin"});
        EXPECT_EQ(rows[0].byteSize, QFileInfo(m_tree.path("sparse/sparse.bin")).size());
        service.extractEntries(rows, archives[name], m_tree.path("out/") + name, std::nullopt, m_token);
        EXPECT_EQ(contentsBelow(m_tree.path("out/") + name), contentsBelow(m_tree.path("sparse")));
    }
    EXPECT_EQ(paths(list(service, archives["oldgnu-times.tar"])), QStringList({"d/", "d/test-times.txt"}));
    EXPECT_EQ(sorted(paths(list(service, archives["no-end-blocks.tar"]))),
              QStringList({"d/", "d/a.txt", "d/b.txt"}));
    const QList<ArchivePreviewEntry> incremental = list(service, archives["incremental.tar"]);
    EXPECT_EQ(sorted(paths(incremental)), QStringList({"d/", "d/f.txt", "d/same.txt"}));
    EXPECT_EQ(incremental.value(paths(incremental).indexOf("d/f.txt")).byteSize, 9);
    const QString preview =
        service.extractedPreviewFile(entry("d/f.txt"), archives["incremental.tar"], std::nullopt, m_token);
    EXPECT_EQ(m_tree.readFile(QDir(m_tree.root()).relativeFilePath(preview)), "v2-longer");
}

// Whichever volume the browser is given, it lists the whole set from the set's main volume; a set
// missing a volume names it instead of reading as an unknown format.
TEST_F(ArchivePreviewListingTest, AnyVolumeListsTheWholeSetOrNamesTheMissingOne) {
    addSampleFile("noise.bin", QUuid::createUuid().toByteArray().repeated(8000));
    const QStringList withNoise = sorted(kSamplePaths + QStringList{"noise.bin"});
    sevenZipArchive("v.7z", {"-v100k", "-mx0"});
    sevenZipArchive("p.zip", {"-tzip", "-v100k", "-mx0"});
    runTool("/usr/bin/zip", QStringList{"-q", "-r", "-0", "-s", "100k", m_tree.path("z.zip"), "--"} + m_items,
            m_sample);
    rarArchive("r.rar", {"-v100k", "-m0"});
    // The older RAR scheme: o.rar, o.r00, o.r01, ...
    for (int part = 1; QFile::exists(m_tree.path(QStringLiteral("r.part%1.rar").arg(part))); ++part) {
        const QString name =
            part == 1 ? QStringLiteral("o.rar") : QStringLiteral("o.r%1").arg(part - 2, 2, 10, QChar('0'));
        ASSERT_TRUE(QFile::copy(m_tree.path(QStringLiteral("r.part%1.rar").arg(part)), m_tree.path(name)));
    }
    for (const QString given : {"v.7z.002", "p.zip.002", "z.z01", "r.part2.rar", "o.r00"})
        EXPECT_EQ(listedPaths(m_tree.path(given)), withNoise) << given.toStdString();

    const ArchivePreviewService service;
    const std::pair<QString, QString> gaps[] = {
        {"v.7z.002", "v.7z.003"},       {"p.zip.001", "p.zip.002"}, {"z.zip", "z.z01"},
        {"r.part2.rar", "r.part1.rar"}, {"o.r00", "o.rar"},
    };
    for (const auto& [removed, given] : gaps) {
        ASSERT_TRUE(QFile::remove(m_tree.path(removed)));
        const QString givenPath = m_tree.path(given);
        EXPECT_EQ(failure([&] { list(service, givenPath); }), ArchiveError::missingVolume(removed));
    }
}

// A TAR made of "." names its entries "./a.txt": no folder "." shows, and the entries still extract.
TEST_F(ArchivePreviewListingTest, LeadingCurrentFolderIsNoFolder) {
    runTool("/usr/bin/tar", {"-cf", m_tree.path("dot.tar"), "."}, m_sample);
    runTool("/usr/bin/tar", {"-czf", m_tree.path("dot.tar.gz"), "."}, m_sample);
    const ArchivePreviewService service;
    for (const QString name : {"dot.tar", "dot.tar.gz"}) {
        SCOPED_TRACE(name.toStdString());
        const QList<ArchivePreviewEntry> entries = list(service, m_tree.path(name));
        EXPECT_EQ(sorted(paths(entries)), kSamplePaths);
        const QString destination = m_tree.path("out-" + name);
        EXPECT_EQ(service.extractEntries(entries, m_tree.path(name), destination, {}, m_token).outputs.size(),
                  4);
        EXPECT_EQ(m_tree.readFile("out-" + name + "/docs/r.txt"), m_tree.readFile("sample/docs/r.txt"));
    }
}

TEST_F(ArchivePreviewListingTest, RarWithAWildcardNameListsOnlyItsOwnEntries) {
    // unrar would read "r?.rar" as a mask that also takes in rr.rar, and "v?.part1.rar" vv.part1.rar.
    m_tree.writeFile("other/other.txt", "other");
    for (const QString name : {"rr.rar", "vv.part1.rar"})
        runTool("/usr/bin/rar", {"a", "--", m_tree.path(name), "other.txt"}, m_tree.path("other"));
    EXPECT_EQ(listedPaths(rarArchive("r?.rar")), kSamplePaths);
    addSampleFile("noise.bin", QUuid::createUuid().toRfc4122().repeated(3000));
    rarArchive("v?.rar", {"-v20k", "-m0"});
    ASSERT_TRUE(QFile::exists(m_tree.path("v?.part3.rar")));
    EXPECT_EQ(listedPaths(m_tree.path("v?.part1.rar")), sorted(kSamplePaths + QStringList{"noise.bin"}));
    EXPECT_EQ(rarAliasFolders(), QStringList());
}

TEST_F(ArchivePreviewListingTest, PasswordProblemsBecomeWrongPassword) {
    const ArchivePreviewService service;
    const QString plainHeaders = sevenZipArchive("p.7z", {"-psecret"});
    const QString hiddenHeaders = sevenZipArchive("h.7z", {"-psecret", "-mhe=on"});
    const QString zip = sevenZipArchive("p.zip", {"-tzip", "-psecret"});
    const QString rar = rarArchive("h.rar", {"-hpsecret"});
    for (const QString& archive : {plainHeaders, hiddenHeaders, zip, rar}) {
        SCOPED_TRACE(archive.toStdString());
        EXPECT_EQ(failureKind(service, archive), ArchiveError::Kind::wrongPassword);
        EXPECT_EQ(failureKind(service, archive, QString()), ArchiveError::Kind::wrongPassword);
    }
    EXPECT_EQ(failureKind(service, hiddenHeaders, "wrong"), ArchiveError::Kind::wrongPassword);
    EXPECT_EQ(failureKind(service, rar, "wrong"), ArchiveError::Kind::wrongPassword);
    // Encrypted contents with plain names: any password shows the rows; extraction tests it.
    EXPECT_EQ(sorted(paths(list(service, plainHeaders, "wrong"))), kSamplePaths);
    EXPECT_EQ(sorted(paths(list(service, hiddenHeaders, "secret"))), kSamplePaths);
    EXPECT_EQ(sorted(paths(list(service, rar, "secret"))), kSamplePaths);
}

TEST_F(ArchivePreviewListingTest, ZipWithoutSevenZipUsesTheCentralDirectory) {
    m_programs.remove("7zz");
    const ArchivePreviewService service(m_programs.programs());
    EXPECT_EQ(sorted(paths(list(service, sevenZipArchive("s.zip", {"-tzip"})))), kSamplePaths);
    const QString encrypted = sevenZipArchive("p.zip", {"-tzip", "-psecret"});
    EXPECT_EQ(failureKind(service, encrypted), ArchiveError::Kind::wrongPassword);
    EXPECT_EQ(sorted(paths(list(service, encrypted, "secret"))), kSamplePaths);
    EXPECT_THROW(list(service, m_tree.makeFolder("folder.zip")), FileSystemError);
}

TEST_F(ArchivePreviewListingTest, ZipUnreadableByTheReaderFallsToUnzip) {
    // A byte after the end record hides it from the reader; unzip still finds it.
    const QString archive = sevenZipArchive("s.zip", {"-tzip"});
    QFile file(archive);
    ASSERT_TRUE(file.open(QIODevice::Append));
    file.write("X");
    file.close();
    m_programs.remove("7zz");
    const QList<ArchivePreviewEntry> entries = list(ArchivePreviewService(m_programs.programs()), archive);
    EXPECT_EQ(sorted(paths(entries)), kSamplePaths);
    EXPECT_EQ(entries.first().modifiedDescription.size(), 16) << "unzip's own date and time";
}

// However many steps ask about a ZIP's directory (the reader, the legacy names of unzip's rows, the rule
// that "\" separates folders), a listing or an extraction reads it once; a listing whose rows hold no
// "\" leaves it to the tool that listed them. Counted as opens by velmora and the tools together.
TEST_F(ArchivePreviewListingTest, EachListingAndExtractionReadsTheArchiveOnce) {
    QList<LegacyArchives::Item> items;
    for (int index = 0; index < 2000; ++index)
        items.append({"folder" + QByteArray::number(index / 100) + "/file" + QByteArray::number(index), "x"});
    const QString many = m_tree.writeFile("many.zip", LegacyArchives::zip(items, LegacyArchives::Host::unix));
    const QString windows =
        m_tree.writeFile("windows.zip", LegacyArchives::zip({{"caf\x82.txt"}, {"a\\b.txt"}}));
    // "??" reads as garbled, which hands the listing from the reader to unzip.
    const QString garbled = m_tree.writeFile("garbled.zip", LegacyArchives::zip({{"a??b.txt"}}));
    const ArchivePreviewService tools;
    const ArchiveService extraction(ArchiveService::standardExtractors(), nullptr);
    m_programs.remove("7zz");
    const ArchivePreviewService readerOnly(m_programs.programs());
    const ArchiveService unzipOnly(ArchiveService::standardExtractors(m_programs.programs()), nullptr);
    QStringList manyRows;
    for (const LegacyArchives::Item& item : items) manyRows.append(QString::fromLatin1(item.name));
    manyRows = sorted(manyRows);
    const QStringList windowsRows{"a/b.txt", QStringLiteral(u"café.txt")};
    const auto listing = [this](const ArchivePreviewService& service, const QString& archive) {
        return
            [&service, archive, this] { return sorted(paths(service.previewEntries(archive, {}, m_token))); };
    };
    const auto fast = [](const ArchivePreviewService& service, const QString& archive) {
        return [&service, archive] {
            return sorted(
                paths(service.fastPreviewEntriesIfAvailable(archive).value_or(QList<ArchivePreviewEntry>{})));
        };
    };
    const auto extract = [this](const ArchiveService& service, const QString& archive) {
        return [&service, archive, this] {
            const QString out = m_tree.path(QUuid::createUuid().toString(QUuid::WithoutBraces));
            service.extract({archive}, out, std::nullopt, ExtractionOptions{}, 1, m_token);
            return sorted(QDir(out + "/windows").entryList(QDir::AllEntries | QDir::NoDotAndDotDot));
        };
    };
    const struct {
        const char* label;
        QString archive;
        std::function<QStringList()> operation;
        int opens;
        std::optional<QStringList> rows;  // nothing: only counted
    } cases[] = {
        {"quick listing", many, fast(tools, many), 1, manyRows},
        {"7-Zip's listing", many, listing(tools, many), 1, manyRows},
        {"the reader's listing", many, listing(readerOnly, many), 1, manyRows},
        {"unzip's listing after the reader's", garbled, listing(readerOnly, garbled), 2,
         QStringList{"a??b.txt"}},
        {"quick listing with \\", windows, fast(tools, windows), 1, windowsRows},
        {"7-Zip's listing with \\", windows, listing(tools, windows), 2, windowsRows},
        {"the reader's listing with \\", windows, listing(readerOnly, windows), 1, windowsRows},
        {"extraction by 7-Zip", windows, extract(extraction, windows), 2,
         QStringList{"a", QStringLiteral(u"café.txt")}},
        // (Debian's unzip turns DOS names into Latin 1 on the way.)
        {"extraction by unzip", windows, extract(unzipOnly, windows), 2, std::nullopt},
    };
    for (const auto& c : cases) {
        OpenCount opens(c.archive);
        const QStringList rows = c.operation();
        EXPECT_EQ(opens.take(), c.opens) << c.label;
        if (c.rows) {
            EXPECT_EQ(rows, *c.rows) << c.label;
        }
    }
}

TEST_F(ArchivePreviewListingTest, GarbledSevenZipNamesFallToTheReader) {
    m_programs.addTool("7zz", "printf '%s\\n' ---------- 'Path = caf??.txt' 'Size = 1'");
    const QString archive = sevenZipArchive("s.zip", {"-tzip"});
    EXPECT_EQ(sorted(paths(list(ArchivePreviewService(m_programs.programs()), archive))), kSamplePaths);
}

// The technical listing is parsed while the tool prints it. However the reads cut it (inside lines and
// UTF-8 characters) and whatever comes on standard error between them, the rows are the listing's.
TEST_F(ArchivePreviewListingTest, TechnicalListingArrivingInPiecesGivesItsRows) {
    const QString legacyName = QStringLiteral(u"中文目录/测试文件.txt");
    QByteArray listing("Listing archive: s.7z\n\n--\nPath = s.7z\nType = 7z\n\n----------\n");
    QStringList expectedPaths;
    for (int index = 0; index < 300; ++index) {
        expectedPaths << QStringLiteral(u"目录/报告-%1.txt").arg(index);
        listing += "Path = " + expectedPaths.last().toUtf8() + "\nSize = 12\nAttributes =  -rw-r--r--\n\n";
    }
    expectedPaths << legacyName;
    listing += "Path = " + LegacyArchives::gbk(legacyName) + "\nSize = 3\n";
    const QString file = m_tree.writeFile("listing.txt", listing);
    const QString archive = m_tree.writeFile("s.7z", "read by no tool");
    const QStringList scripts{
        "cat '" + file + "'",
        "dd if='" + file + "' bs=5 status=none",
        "head -c 2001 '" + file + "'; echo 'WARNING: odd' >&2; tail -c +2002 '" + file + "'",
    };
    for (qsizetype index = 0; index < scripts.size(); ++index) {
        m_programs.addTool("7zz", scripts[index]);
        const QList<ArchivePreviewEntry> entries =
            list(ArchivePreviewService(m_programs.programs()), archive);
        EXPECT_EQ(paths(entries), expectedPaths) << scripts[index].toStdString();
        if (entries.size() != expectedPaths.size()) continue;
        EXPECT_EQ(entries.last().toolPath, ToolText::escapedName(LegacyArchives::gbk(legacyName)));
        EXPECT_EQ(entries.first().byteSize, 12);
    }
}

TEST_F(ArchivePreviewListingTest, RarWithoutRarExtractorUsesThePlainSevenZipListing) {
    // The technical listing fails as for an archive 7-Zip cannot open; the plain one prints rows.
    const QString rule = "------------------- ----- ------------ ------------  ------------------------";
    const FakeTool sevenZip = m_programs.addTool(
        "7zz",
        "case \"$2\" in -slt) echo 'ERROR: cannot open' >&2; exit 2;; esac\n"
        "printf '%s\\n' 'Listing archive: s.rar' '" +
            rule + "' '2024-01-01 00:00:00 D....            0            0  docs' '" + rule + "'");
    m_programs.remove("unrar");
    const QString archive = m_tree.writeFile("s.rar", "not really");
    EXPECT_EQ(paths(list(ArchivePreviewService(m_programs.programs()), archive)), QStringList({"docs/"}));
    EXPECT_EQ(sevenZip.recordedRuns().last(), QStringList({"l", "-spd", "--", archive}));
}

// Listings ask the programs in extraction's one order: unrar before 7-Zip for a RAR; for a ZIP 7-Zip,
// then, when it cannot open the file, the ZIP reader.
TEST_F(ArchivePreviewListingTest, ListingFollowsTheProgramOrder) {
    const QString zip = sevenZipArchive("s.zip", {"-tzip"});
    const FakeTool sevenZip =
        m_programs.addTool("7zz", "echo 'ERROR: s : Cannot open the file as [zip] archive' >&2; exit 2");
    const FakeTool unrar = m_programs.addTool("unrar", "exit 0");
    const ArchivePreviewService service(m_programs.programs());
    EXPECT_TRUE(list(service, m_tree.writeFile("s.rar", "read by unrar only")).isEmpty());
    EXPECT_EQ(unrar.recordedRuns().size(), 1);
    EXPECT_TRUE(sevenZip.recordedRuns().isEmpty());
    EXPECT_EQ(sorted(paths(list(service, zip))), kSamplePaths);
    EXPECT_EQ(sevenZip.recordedRuns().size(), 2) << "the technical listing, then the plain one";
}

TEST_F(ArchivePreviewListingTest, RefusalsAndMissingTools) {
    m_programs.remove("7zz");
    const ArchivePreviewService service(m_programs.programs());
    EXPECT_EQ(failureKind(service, m_tree.path("missing.zip")), ArchiveError::Kind::fileNotFound);
    EXPECT_EQ(failureKind(service, m_tree.writeFile("notes.txt", "x")),
              ArchiveError::Kind::unsupportedFormat);
    // A volume is no unknown format: it wants the program that opens its set.
    EXPECT_EQ(failureKind(service, sevenZipArchive("v.7z", {"-v100k"}) + ".001"),
              ArchiveError::Kind::dependencyMissing);
    EXPECT_EQ(failureKind(service, m_tree.writeFile("a.zipx", "x")), ArchiveError::Kind::dependencyMissing);
    EXPECT_EQ(failureKind(service, sevenZipArchive("s.7z")), ArchiveError::Kind::dependencyMissing);
}

TEST_F(ArchivePreviewListingTest, FastListingOnlyForPlainReadableZips) {
    const ArchivePreviewService service;
    const std::optional<QList<ArchivePreviewEntry>> fast =
        service.fastPreviewEntriesIfAvailable(sevenZipArchive("s.zip", {"-tzip"}));
    ASSERT_TRUE(fast.has_value());
    EXPECT_EQ(sorted(paths(*fast)), kSamplePaths);
    EXPECT_FALSE(service.fastPreviewEntriesIfAvailable(sevenZipArchive("p.zip", {"-tzip", "-psecret"})));
    EXPECT_FALSE(service.fastPreviewEntriesIfAvailable(rarArchive("s.rar")));
    EXPECT_FALSE(service.fastPreviewEntriesIfAvailable(m_tree.path("missing.zip")));
    EXPECT_FALSE(service.fastPreviewEntriesIfAvailable(m_tree.writeFile("empty.zip", "")));
}

// The browser's failed runs read as an extraction's: the tool's words decide.
TEST(ArchivePreviewService, ToolFailuresReadAsInExtraction) {
    const QString fallback = "第三方预览工具返回错误。";
    constexpr ToolProgram kSevenZip = ToolProgram::sevenZip;
    constexpr ToolProgram kUnrar = ToolProgram::unrar;
    constexpr ToolProgram kInfoZip = ToolProgram::infoZip;
    // Each run is read for its own program's words alone; a result no driver made for none.
    const QList<std::tuple<std::optional<ToolProgram>, ProcessResult, ArchiveError>> cases{
        {kSevenZip, {2, "", "ERROR: Wrong password"}, ArchiveError::wrongPassword()},
        {kSevenZip,
         {255, "Enter password (will not be echoed):", "Break signaled"},
         ArchiveError::wrongPassword()},
        // The question alone, or a word such as "incorrect", names no password problem; a line that
        // names no known reason is never shown.
        {kSevenZip,
         {2, "Enter password (will not be echoed):", "Unsupported"},
         ArchiveError::extractFailed(fallback)},
        {kInfoZip, {1, "", "incorrect header"}, ArchiveError::extractFailed(fallback)},
        {kInfoZip, {1, "", "open: Permission denied"}, ArchiveError::permissionDenied()},
        {kSevenZip, {1, "Operation not permitted", ""}, ArchiveError::permissionDenied()},
        {kSevenZip, {2, "ERROR: Data Error : a.txt", ""}, ArchiveError::corruptedArchive()},
        {kInfoZip, {2, "", "aUT\t: bad extra field length (local)"}, ArchiveError::corruptedArchive()},
        {kSevenZip,
         {2, "", "ERROR: There are some data after the end of the payload data : test1.xml"},
         ArchiveError::corruptedArchive()},
        {kSevenZip, {2, "", "ERROR: No space left on device : a.txt"}, ArchiveError::diskFull()},
        // unrar's, 7-Zip's and unzip's words, whole lines where they print them: an entry's name echoed
        // inside another line is no missing volume, and each says what it is.
        {kUnrar,
         {11, "", "\nIncorrect password for Cannot find volume x.txt"},
         ArchiveError::wrongPassword()},
        {kSevenZip,
         {2, "", "ERROR: Data Error in encrypted file. Wrong password? : Missing volume : x.txt"},
         ArchiveError::wrongPassword()},
        {kSevenZip, {2, "", "\nERRORS:\nMissing volume : zs.z01\n"}, ArchiveError::missingVolume("zs.z01")},
        {kUnrar,
         {3, "", "\nCorrupt header is found\na - the file header is corrupt"},
         ArchiveError::corruptedArchive()},
        {kInfoZip,
         {1, "Archive:  a.zip", "warning [a.zip]:  zipfile is empty"},
         ArchiveError::corruptedArchive()},
        // 7-Zip's edit of an archive the user may not write names it.
        {kSevenZip,
         {2, "Updating archive: /d/arc.zip\n\nError:\nThe file is read-only\n/d/arc.zip\n",
          "\n\nSystem ERROR:\nerrno=13 : Permission denied\n"},
         ArchiveError::permissionDenied("/d/arc.zip", SystemErrorText::Access::write)},
        {kUnrar, {10, "\nExtracting from a.rar\n\nNo files to extract", ""}, ArchiveError::noFiles()},
        {kUnrar,
         {2, "Extracting from a.rar\nNo files to extract",
          "\nUnknown method in a.txt\nYou may need a newer version of RAR."},
         ArchiveError::extractFailed(u"第三方预览工具返回错误（无法解压“a.txt”：不支持它的压缩方法）。"_qs)},
        {kSevenZip,
         {2, "", "ERRORS:\nIs not archive\n\nSystem ERROR:\nerrno=1 : Operation not permitted"},
         ArchiveError::corruptedArchive()},
        // The reasons named before keep winning over the wording of the error number.
        {kSevenZip,
         {2, "",
          "ERROR: Cannot open output file : errno=30 : Read-only file system : /d/.velmoraExtraction-1/a"},
         ArchiveError::readOnlyFileSystem()},
        {kSevenZip, {1, "out", "err"}, ArchiveError::extractFailed(fallback)},
        {kSevenZip, {1, " \n", "\n\n"}, ArchiveError::extractFailed(fallback)},
        // Another program's words in a run, or any program's in a result no driver made, say nothing.
        {kSevenZip, {2, "", "\nCorrupt header is found"}, ArchiveError::extractFailed(fallback)},
        {kUnrar, {2, "", "ERROR: Wrong password"}, ArchiveError::extractFailed(fallback)},
        {kInfoZip, {2, "", "a.txt - checksum error"}, ArchiveError::extractFailed(fallback)},
        {std::nullopt, {2, "", "ERROR: Wrong password"}, ArchiveError::extractFailed(fallback)},
        {std::nullopt, {2, "", "ERROR: No space left on device : a.txt"}, ArchiveError::diskFull()},
    };
    for (auto [program, result, error] : cases) {
        result.program = program;
        EXPECT_EQ(ToolFailure::mapExternalError(result, fallback, {}).message().toStdString(),
                  error.message().toStdString())
            << result.error.toStdString();
    }
}

}  // namespace
