#include "EngineFixtures.h"
#include "core/base/CancellationError.h"
#include "core/engine/ArchiveService.h"
#include "support/XdgEnvironment.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>

namespace {

ExtractionOptions settingsWith(bool separateFolder, bool deleteSource) {
    ExtractionOptions settings;
    settings.extractToSeparateFolder = separateFolder;
    settings.deleteSourceAfterExtract = deleteSource;
    return settings;
}

// Renames a rar part-number set name.partN.rar to the older scheme name.rar, name.r00, ...; rar 7 only
// writes the former, and unrar follows either from the names.
void renameToOldRarScheme(TempTree& tree, const QString& stem) {
    ASSERT_TRUE(QFile::rename(tree.path(stem + ".part1.rar"), tree.path(stem + ".rar")));
    for (int part = 2; QFile::exists(tree.path(QStringLiteral("%1.part%2.rar").arg(stem).arg(part)));
         ++part) {
        ASSERT_TRUE(QFile::rename(
            tree.path(QStringLiteral("%1.part%2.rar").arg(stem).arg(part)),
            tree.path(QStringLiteral("%1.r%2").arg(stem).arg(part - 2, 2, 10, QLatin1Char('0')))));
    }
}

class ArchiveServiceTest : public SampleArchiveTest {
protected:
    // Runs a fixture tool inside the sample folder; the archive lands in in/.
    QString make(const QString& program, const QStringList& arguments, const QString& name) {
        m_tree.makeFolder(QStringLiteral("in"));
        runTool(program, arguments, m_tree.path(QStringLiteral("src")));
        return in(name);
    }
    QString in(const QString& name) const { return m_tree.path(QStringLiteral("in/") + name); }
    QString out(const QString& relative = {}) const { return m_tree.path(QStringLiteral("out/") + relative); }

    QString zip(const QString& name) { return archiveOfSample(kZip, {"-q", "-r"}, "in/" + name); }
    QString sevenZip(const QString& name) { return archiveOfSample(kSevenZip, {"a"}, "in/" + name); }

    QStringList extract(const QStringList& archives, const ExtractionOptions& settings) {
        return m_service.extract(archives, out(), std::nullopt, settings, 2, {}).outputs;
    }

    ArchiveService m_service{ArchiveService::standardExtractors(), nullptr};
};

TEST_F(ArchiveServiceTest, EveryKindAndVolumeSchemeExtracts) {
    // Big enough to span several volumes of 64 KiB; stored, so the sizes are predictable.
    m_tree.writeFile(QStringLiteral("src/big.bin"), QByteArray(150 * 1024, 'v') + QByteArray::number(3));
    const QStringList volumes7z = {"a", "-mx=0", "-v64k"};
    const QStringList rarVolumes = {"a", "-idq", "-r", "-m0", "-v64k"};
    const struct {
        QString archive;
        QString folder;
    } cases[] = {
        {zip("plain.zip"), "plain"},
        {make(kSevenZip, {"a", "-tzip", in("modern.zipx"), "."}, "modern.zipx"), "modern"},
        {make(kZip, {"-q", "-r", "-0", "-s", "64k", in("split.zip"), "."}, "split.zip"), "split"},
        {sevenZip("seven.7z"), "seven"},
        {make(kSevenZip, volumes7z + QStringList{in("movie.7z"), "."}, "movie.7z.001"), "movie.7z"},
        {make(kTar, {"-cf", in("plain.tar"), "."}, "plain.tar"), "plain 1"},
        {make(kTar, {"-czf", in("photos.tar.gz"), "."}, "photos.tar.gz"), "photos"},
        {make(kTar, {"-czf", in("short.tgz"), "."}, "short.tgz"), "short"},
        {make(kTar, {"-cjf", in("Bz.TAR.BZ2"), "."}, "Bz.TAR.BZ2"), "Bz"},
        {make(kTar, {"-cJf", in("xz.tar.xz"), "."}, "xz.tar.xz"), "xz"},
        {make(kRar, {"a", "-idq", "-r", in("plain.rar"), "."}, "plain.rar"), "plain 2"},
        {make(kRar, rarVolumes + QStringList{in("show.rar"), "."}, "show.part1.rar"), "show.part1"},
        // Renamed to old.rar, old.r00, ... below.
        {make(kRar, rarVolumes + QStringList{in("old.rar"), "."}, "old.rar"), "old"},
    };
    renameToOldRarScheme(m_tree, QStringLiteral("in/old"));
    ASSERT_TRUE(QFile::exists(in(QStringLiteral("movie.7z.003"))));
    ASSERT_TRUE(QFile::exists(in(QStringLiteral("split.z02"))));
    ASSERT_TRUE(QFile::exists(in(QStringLiteral("show.part3.rar"))));
    ASSERT_TRUE(QFile::exists(in(QStringLiteral("old.r01"))));

    for (const auto& c : cases) {
        EXPECT_EQ(extract({c.archive}, settingsWith(true, false)), QStringList{out(c.folder)});
        expectSample(out(c.folder));
        EXPECT_EQ(m_tree.readFile("out/" + c.folder + "/big.bin"),
                  m_tree.readFile(QStringLiteral("src/big.bin")))
            << c.folder.toStdString();
    }
}

// Every way in hands the engine whichever volume the user picked: the whole set extracts from its main
// volume, and a set missing a volume fails naming it before any tool runs.
TEST_F(ArchiveServiceTest, AnyVolumeExtractsTheWholeSetOrNamesTheMissingOne) {
    m_tree.writeFile(QStringLiteral("src/big.bin"), QByteArray(150 * 1024, 'v') + QByteArray::number(5));
    const QStringList volumes7z = {"a", "-mx=0", "-v64k"};
    const QStringList rarVolumes = {"a", "-idq", "-r", "-m0", "-v64k"};
    make(kSevenZip, volumes7z + QStringList{in("movie.7z"), "."}, "movie.7z.001");
    make(kSevenZip, volumes7z + QStringList{"-tzip", in("pieces.zip"), "."}, "pieces.zip.001");
    make(kZip, {"-q", "-r", "-0", "-s", "64k", in("split.zip"), "."}, "split.zip");
    make(kRar, rarVolumes + QStringList{in("show.rar"), "."}, "show.part1.rar");
    make(kRar, rarVolumes + QStringList{in("old.rar"), "."}, "old.rar");
    renameToOldRarScheme(m_tree, QStringLiteral("in/old"));
    const struct {
        QString given;
        QString folder;
    } cases[] = {
        {"movie.7z.002", "movie.7z"}, {"pieces.zip.003", "pieces.zip"},
        {"split.z01", "split"},       {"show.part3.rar", "show.part1"},
        {"old.r00", "old"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.given.toStdString());
        EXPECT_EQ(extract({in(c.given)}, settingsWith(true, false)), QStringList{out(c.folder)});
        EXPECT_EQ(m_tree.readFile("out/" + c.folder + "/big.bin"),
                  m_tree.readFile(QStringLiteral("src/big.bin")));
    }

    QDir(out()).removeRecursively();
    const struct {
        QString removed;
        QString given;
    } gaps[] = {
        {"movie.7z.002", "movie.7z.003"}, {"pieces.zip.001", "pieces.zip.002"},
        {"split.zip", "split.z02"},       {"show.part2.rar", "show.part1.rar"},
        {"old.r00", "old.r01"},
    };
    for (const auto& gap : gaps) {
        SCOPED_TRACE(gap.given.toStdString());
        ASSERT_TRUE(QFile::remove(in(gap.removed)));
        EXPECT_EQ(thrownArchiveError([&] { extract({in(gap.given)}, settingsWith(true, false)); }),
                  ArchiveError::missingVolume(gap.removed));
        EXPECT_FALSE(QFile::exists(out()));
    }
}

TEST_F(ArchiveServiceTest, SingleGzipFileExtractsToItsContent) {
    const QString archive =
        make(kSevenZip, {"a", "-tgzip", in("readme.txt.gz"), "readme.txt"}, "readme.txt.gz");
    EXPECT_EQ(extract({archive}, settingsWith(true, false)), QStringList{out("readme.txt")});
    EXPECT_EQ(m_tree.readFile(QStringLiteral("out/readme.txt/readme.txt")), QByteArray("top level\n"));
}

TEST_F(ArchiveServiceTest, SameBaseNamesGetNumberedFoldersAndSourcesGoToTheTrash) {
    const XdgEnvironment xdg;
    QStringList archives = {zip("a.zip"), sevenZip("a.7z"),
                            make(kTar, {"-czf", in("a.tar.gz"), "."}, "a.tar.gz")};
    m_tree.makeFolder(QStringLiteral("out/a 1"));
    EXPECT_EQ(extract(archives, settingsWith(true, true)), (QStringList{out("a"), out("a 2"), out("a 3")}));
    for (const char* folder : {"a", "a 2", "a 3"}) expectSample(out(folder));
    for (const QString& source : archives) EXPECT_FALSE(QFile::exists(source)) << source.toStdString();
    archives.sort();
    EXPECT_EQ(xdg.trashedPaths(), archives);
}

// Every volume of an extracted set goes to the trash with it; other files beside it stay.
TEST_F(ArchiveServiceTest, EveryVolumeOfAnExtractedSetGoesToTheTrash) {
    const XdgEnvironment xdg;
    m_tree.writeFile(QStringLiteral("src/big.bin"), QByteArray(150 * 1024, 'v'));
    const QStringList primaries = {
        make(kSevenZip, {"a", "-mx=0", "-v64k", in("movie.7z"), "."}, "movie.7z.001"),
        make(kRar, {"a", "-idq", "-r", "-m0", "-v64k", in("show.rar"), "."}, "show.part1.rar"),
        make(kZip, {"-q", "-r", "-0", "-s", "64k", in("split.zip"), "."}, "split.zip"),
    };
    const QString other = m_tree.writeFile(QStringLiteral("in/movie.txt"), "not a volume");
    QStringList volumes = QDir(m_tree.path(QStringLiteral("in"))).entryList(QDir::Files);
    volumes.removeAll(QStringLiteral("movie.txt"));
    ASSERT_GE(volumes.size(), 9);

    const OperationOutputs result =
        m_service.extract(primaries, out(), std::nullopt, settingsWith(true, true), 2, {});
    EXPECT_EQ(result.outputs, (QStringList{out("movie.7z"), out("show.part1"), out("split")}));
    EXPECT_TRUE(result.untrashed.isEmpty());
    QStringList expected;
    for (const QString& volume : volumes) expected << in(volume);
    expected.sort();
    EXPECT_EQ(xdg.trashedPaths(), expected);
    QStringList reported = result.trashed;
    reported.sort();
    EXPECT_EQ(reported, expected);
    EXPECT_TRUE(QFile::exists(other));
}

TEST_F(ArchiveServiceTest, ArchivesThatCannotGoToTheTrashStayAndAreNamed) {
    XdgEnvironment xdg;
    // A file where the trash folder belongs: nothing can be trashed, and nothing may be deleted instead.
    xdg.tree().writeFile(QStringLiteral("data/Trash"), "in the way");
    const QString archive = zip("kept.zip");
    const OperationOutputs result =
        m_service.extract({archive}, out(), std::nullopt, settingsWith(true, true), 2, {});
    EXPECT_EQ(result.outputs, QStringList{out("kept")});
    EXPECT_EQ(result.untrashed, QStringList{archive});
    EXPECT_TRUE(result.trashed.isEmpty());
    EXPECT_TRUE(QFile::exists(archive));
}

TEST_F(ArchiveServiceTest, SeveralArchivesShareOneNewFolderAndAreKept) {
    m_tree.writeFile(QStringLiteral("out/解压文件"), "a file takes the name too");
    const QStringList archives = {zip("one.zip"), sevenZip("two.7z")};
    EXPECT_EQ(extract(archives, settingsWith(false, true)),
              (QStringList{out("解压文件 1"), out("解压文件 1")}));
    expectSample(out("解压文件 1"));
    for (const QString& source : archives) EXPECT_TRUE(QFile::exists(source));
}

TEST_F(ArchiveServiceTest, OneArchiveWithoutSeparateFolderGoesStraightIntoTheDestination) {
    m_tree.writeFile(QStringLiteral("out/kept.txt"), "already here");
    const QString archive = zip("one.zip");
    EXPECT_EQ(extract({archive}, settingsWith(false, true)), QStringList{out()});
    expectSample(out());
    EXPECT_EQ(m_tree.readFile(QStringLiteral("out/kept.txt")), QByteArray("already here"));
    EXPECT_TRUE(QFile::exists(archive));
}

TEST_F(ArchiveServiceTest, NamesThatLookLikeSwitchesOrListFilesExtractNormally) {
    const QStringList archives = {zip("-x.zip"), sevenZip("@list.7z"),
                                  make(kRar, {"a", "-idq", "-r", "--", in("-r.rar"), "."}, "-r.rar")};
    EXPECT_EQ(extract(archives, settingsWith(true, false)),
              (QStringList{out("-x"), out("@list"), out("-r")}));
    for (const char* folder : {"-x", "@list", "-r"}) expectSample(out(folder));
}

// One archive that fails costs the user none of the others: they are extracted and trashed, the failed
// one stays, without a folder, listed with its reason.
TEST_F(ArchiveServiceTest, AFailedArchiveIsListedAndTheOthersGoOn) {
    const struct {
        QString second;
        QString message;
    } cases[] = {
        {in("missing.zip"), QStringLiteral(u"文件不存在：") + in("missing.zip")},
        {m_tree.writeFile(QStringLiteral("in/notes.txt"), "text"), QStringLiteral(u"暂不支持 .txt 格式。")},
        {m_tree.writeFile(QStringLiteral("in/损坏.zip"), "not a zip at all"),
         QStringLiteral(u"压缩包可能已损坏，无法读取。")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.second.toStdString());
        const XdgEnvironment xdg;
        QDir(out()).removeRecursively();
        const QString first = zip("first.zip");
        const QString third = zip("third.zip");
        const OperationOutputs result =
            m_service.extract({first, c.second, third}, out(), std::nullopt, settingsWith(true, true), 2, {});
        EXPECT_EQ(result.outputs, (QStringList{out("first"), out("third")}));
        ASSERT_EQ(result.failures.size(), 1);
        EXPECT_EQ(result.failures.first().archive, c.second);
        EXPECT_EQ(thrownMessage([&] { std::rethrow_exception(result.failures.first().error); }), c.message);
        EXPECT_EQ(QDir(out()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
                  (QStringList{"first", "third"}));
        expectSample(out("third"));
        EXPECT_EQ(xdg.trashedPaths(), (QStringList{first, third}));
    }
}

// Several archives into one "解压文件": it stays once anything went in, and goes when nothing did.
TEST_F(ArchiveServiceTest, TheSharedFolderStaysOnlyWithSomethingInIt) {
    const QString damaged = m_tree.writeFile(QStringLiteral("in/damaged.zip"), "not a zip at all");
    EXPECT_EQ(extract({damaged, zip("good.zip")}, settingsWith(false, false)), QStringList{out("解压文件")});
    expectSample(out("解压文件"));
    EXPECT_TRUE(extract({damaged, damaged}, settingsWith(false, false)).isEmpty());
    EXPECT_FALSE(QFile::exists(out("解压文件 1")));
}

// The tools echo the archive's path in their messages; a word in that path must not decide the error.
TEST_F(ArchiveServiceTest, DamagedArchivesNamedAfterPasswordsAreNotPasswordProblems) {
    const struct {
        const char* name;
        ArchiveError::Kind kind;
    } cases[] = {
        {"wrong password.zip", ArchiveError::Kind::corruptedArchive},
        {"wrong password.7z", ArchiveError::Kind::corruptedArchive},
        {"wrong password.rar", ArchiveError::Kind::corruptedArchive},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QString archive = m_tree.writeFile(QStringLiteral("in/") + c.name, "not an archive at all");
        const std::optional<ArchiveError> error =
            thrownArchiveError([&] { extract({archive}, settingsWith(true, false)); });
        ASSERT_TRUE(error.has_value());
        EXPECT_EQ(error->kind(), c.kind);
    }
}

TEST_F(ArchiveServiceTest, EmptyListTouchesNothing) {
    EXPECT_TRUE(extract({}, settingsWith(false, false)).isEmpty());
    EXPECT_FALSE(QFile::exists(out()));
}

// Cancelling while one archive is extracted stops before the next one starts.
TEST_F(ArchiveServiceTest, CancellationStopsBeforeTheNextArchive) {
    class CancellingExtractor : public ArchiveExtractor {
    public:
        bool canHandle(const QString&) const override { return true; }
        int extract(const QString& fileURL, const QString&, const std::optional<QString>&, int,
                    const CancellationToken& token) override {
            extracted << fileURL;
            token.cancel();
            return 0;
        }
        QStringList extracted;
    };
    const auto extractor = std::make_shared<CancellingExtractor>();
    const ArchiveService service({extractor}, nullptr);
    const QStringList archives = {zip("one.zip"), zip("two.zip")};
    EXPECT_THROW(service.extract(archives, out(), std::nullopt, settingsWith(true, false), 1, {}),
                 CancellationError);
    EXPECT_EQ(extractor->extracted, QStringList{archives.first()});
}

}  // namespace
