#include "EngineFixtures.h"
#include "core/engine/ZipExtractor.h"
#include "support/FakePrograms.h"
#include "support/LegacyArchives.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>

namespace {

// What 7-Zip prints for a file it cannot open as an archive.
const QString kCannotOpen = QStringLiteral(
    "echo 'Open ERROR: Cannot open the file as [zip] archive' >&2; "
    "echo \"Can't open as archive: 1\"; exit 2");

ZipExtractor makeExtractor(const ArchivePrograms& programs = ArchivePrograms::installed()) {
    return ZipExtractor(programs);
}

class ZipExtractorTest : public SampleArchiveTest {
protected:
    QString zip(const QString& name, const QStringList& options = {}) {
        return archiveOfSample(kZip, QStringList{QStringLiteral("-q"), QStringLiteral("-r")} + options, name);
    }
};

TEST(ZipExtractor, AcceptsZipNamesAndEveryZipVolume) {
    const ZipExtractor extractor = makeExtractor();
    const struct {
        const char* name;
        bool accepted;
    } cases[] = {{"/a/Photo.ZIP", true}, {"/a/x.zipx", true},    {"/a/backup.Z05", true},
                 {"/a/backup.z1", true}, {"/a/b.z001", true},    {"/a/x.7z", false},
                 {"/a/zip", false},      {"/a/x.zip.001", true}, {"/a/x.7z.001", false}};
    for (const auto& c : cases)
        EXPECT_EQ(extractor.canHandle(QString::fromUtf8(c.name)), c.accepted) << c.name;
}

TEST_F(ZipExtractorTest, PasswordDecides) {
    const QString archive =
        zip(QStringLiteral("locked.zip"), {QStringLiteral("-P"), QStringLiteral("秘密 pw")});
    makeExtractor().extract(archive, m_tree.path(QStringLiteral("out")), QStringLiteral("秘密 pw"), 2, {});
    expectSample(m_tree.path(QStringLiteral("out")));
    for (const std::optional<QString>& password :
         {std::optional<QString>(QStringLiteral("wrong")), std::optional<QString>(),
          std::optional<QString>(QString())}) {
        EXPECT_EQ(thrownArchiveError(
                      [&] { makeExtractor().extract(archive, m_tree.path("bad"), password, 1, {}); }),
                  ArchiveError::wrongPassword());
    }
}

TEST_F(ZipExtractorTest, DamagedZipIsCorrupted) {
    const QString archive = m_tree.writeFile(QStringLiteral("damaged.zip"), QByteArray(4096, 'x'));
    EXPECT_EQ(thrownArchiveError(
                  [&] { makeExtractor().extract(archive, m_tree.path("out"), std::nullopt, 1, {}); }),
              ArchiveError::corruptedArchive());
}

TEST_F(ZipExtractorTest, PassesSevenZipItsSwitchesThenTheName) {
    FakePrograms programs;
    const FakeTool sevenZip = programs.addTool(
        QStringLiteral("7zz"), QStringLiteral("for a; do case \"$a\" in -o*) : > \"${a#-o}/a.txt\";; esac; done"));
    const QString archive = zip(QStringLiteral("plain.zip"));
    const QString destination = m_tree.path(QStringLiteral("out"));
    makeExtractor(programs.programs()).extract(archive, destination, QString(), 0, {});
    makeExtractor(programs.programs()).extract(archive, destination, QStringLiteral("pw"), 4, {});
    const QList<QStringList> runs = sevenZip.recordedRuns();
    ASSERT_EQ(runs.size(), 2);
    EXPECT_EQ(
        (QList<QStringList>{withStagingAsDestination(runs[0], destination),
                            withStagingAsDestination(runs[1], destination)}),
        (QList<QStringList>{{"x", "-o" + destination, "-y", "-snld", "-mmt=1", "-spd", "--", archive},
                            {"x", "-o" + destination, "-y", "-snld", "-mmt=4", "-spd", "--", archive}}));
    EXPECT_EQ(sevenZip.recordedInputs(), (QStringList{"", "pw\n"}));
}

// 7-Zip failing to open the file hands a plain .zip, or any encrypted archive, to the system unzip.
TEST_F(ZipExtractorTest, SevenZipThatCannotOpenFallsBackToUnzip) {
    FakePrograms programs;
    const FakeTool sevenZip = programs.addTool(QStringLiteral("7zz"), kCannotOpen);
    const QString plain = zip(QStringLiteral("plain.zip"));
    makeExtractor(programs.programs())
        .extract(plain, m_tree.path(QStringLiteral("out1")), std::nullopt, 1, {});
    expectSample(m_tree.path(QStringLiteral("out1")));

    const QString locked =
        zip(QStringLiteral("locked.zipx"), {QStringLiteral("-P"), QStringLiteral("right")});
    makeExtractor(programs.programs())
        .extract(locked, m_tree.path(QStringLiteral("out2")), QStringLiteral("right"), 1, {});
    expectSample(m_tree.path(QStringLiteral("out2")));
    EXPECT_EQ(thrownArchiveError([&] {
                  makeExtractor(programs.programs())
                      .extract(locked, m_tree.path("out3"), QStringLiteral("wrong"), 1, {});
              }),
              ArchiveError::wrongPassword());
    EXPECT_EQ(sevenZip.recordedRuns().size(), 3);
}

// A wrong password is the outcome and never reaches unzip; data 7-Zip calls damaged goes to unzip,
// which extracts this sound archive, with nothing 7-Zip wrote left over.
TEST_F(ZipExtractorTest, OnlyAWrongPasswordFromSevenZipIsTheOutcome) {
    FakePrograms programs;
    const QString archive = zip(QStringLiteral("plain.zip"));
    const struct {
        const char* body;
        std::optional<ArchiveError> expected;
    } cases[] = {
        {"echo 'ERROR: Wrong password : a.txt' >&2; exit 2", ArchiveError::wrongPassword()},
        {"echo 'Enter password (will not be echoed):'; echo 'Break signaled' >&2; exit 255",
         ArchiveError::wrongPassword()},
        {"echo 'ERROR: Data Error in encrypted file. Wrong password? : a.txt' >&2; exit 2",
         ArchiveError::wrongPassword()},
        {"touch \"${2#-o}/partial.txt\"; echo 'ERROR: CRC Failed : a.txt' >&2; exit 2", std::nullopt},
        {"echo 'ERROR: Data Error : a.txt' >&2; exit 2", std::nullopt},
    };
    for (const auto& c : cases) {
        programs.addTool(QStringLiteral("7zz"), QString::fromUtf8(c.body));
        const QString destination = m_tree.makeFolder(QStringLiteral("out"));
        ZipExtractor extractor = makeExtractor(programs.programs());
        EXPECT_EQ(
            thrownArchiveError([&] { extractor.extract(archive, destination, QStringLiteral("pw"), 1, {}); }),
            c.expected)
            << c.body;
        if (!c.expected) expectSample(destination);
        EXPECT_FALSE(QFile::exists(destination + QStringLiteral("/partial.txt")));
        QDir(destination).removeRecursively();
    }
}

// 7-Zip is there and could not open it: a damaged archive, not a request to install it.
TEST_F(ZipExtractorTest, ZipxThatSevenZipCannotOpenIsDamaged) {
    FakePrograms programs;
    programs.addTool(QStringLiteral("7zz"), kCannotOpen);
    const QString archive = zip(QStringLiteral("modern.zipx"));
    EXPECT_EQ(thrownArchiveError([&] {
                  makeExtractor(programs.programs())
                      .extract(archive, m_tree.path(QStringLiteral("out")), QString(), 1, {});
              }),
              ArchiveError::corruptedArchive());
}

// The real 7-Zip finds the stored data does not match its CRC: reported as damaged, with nothing of
// the run left in the destination, and unzip never writes the damaged bytes.
TEST_F(ZipExtractorTest, EntryFailingItsCrcIsDamaged) {
    LegacyArchives::Item damaged("bad.txt", "damaged bytes");
    damaged.wrongCrc = true;
    const QString archive =
        m_tree.writeFile(QStringLiteral("crc.zip"), LegacyArchives::zip({{"good.txt", "fine"}, damaged}));
    m_tree.writeFile(QStringLiteral("out/kept.txt"), "kept");
    EXPECT_EQ(thrownArchiveError([&] {
                  makeExtractor().extract(archive, m_tree.path(QStringLiteral("out")), std::nullopt, 1, {});
              }),
              ArchiveError::corruptedArchive());
    EXPECT_EQ(QDir(m_tree.path(QStringLiteral("out")))
                  .entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
              QStringList{QStringLiteral("kept.txt")});
}

// unzip reads its archive name as a pattern; a[1].zip must not extract a1.zip instead.
TEST_F(ZipExtractorTest, UnzipTakesPatternCharactersLiterally) {
    FakePrograms programs;
    programs.addTool(QStringLiteral("7zz"), kCannotOpen);
    const QString wanted = zip(QStringLiteral("a[1]*?.zip"));
    m_tree.writeFile(QStringLiteral("other/decoy.txt"), "decoy");
    runTool(kZip,
            {QStringLiteral("-q"), m_tree.path(QStringLiteral("a1xy.zip")), QStringLiteral("decoy.txt")},
            m_tree.path(QStringLiteral("other")));
    makeExtractor(programs.programs())
        .extract(wanted, m_tree.path(QStringLiteral("out")), std::nullopt, 1, {});
    expectSample(m_tree.path(QStringLiteral("out")));
    EXPECT_FALSE(QFile::exists(m_tree.path(QStringLiteral("out/decoy.txt"))));
}

TEST_F(ZipExtractorTest, CancelledSevenZipRunStopsWithoutFallback) {
    FakePrograms programs;
    const FakeTool sevenZip = programs.addTool(QStringLiteral("7zz"), QStringLiteral("exec sleep 60"));
    const QString archive = zip(QStringLiteral("plain.zip"));
    EXPECT_TRUE(stopsWithCancellation(sevenZip, [&](const CancellationToken& token) {
        makeExtractor(programs.programs())
            .extract(archive, m_tree.path(QStringLiteral("out")), std::nullopt, 1, token);
    }));
    EXPECT_TRUE(QDir(m_tree.path(QStringLiteral("out"))).isEmpty());
}

}  // namespace
