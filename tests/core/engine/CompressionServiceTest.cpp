#include "EngineFixtures.h"

#include "core/base/EnumRawValues.h"
#include "core/engine/ArchiveError.h"
#include "core/engine/CompressionService.h"
#include "support/FakePrograms.h"
#include "support/FullDisk.h"
#include "support/ReadOnlyMount.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>

#include <cerrno>

#include <sys/stat.h>
#include <unistd.h>

namespace {

using Contents = QMap<QString, QByteArray>;

const QByteArray kText = QByteArray("velmora compresses this line again and again.\n").repeated(400);

class CompressionServiceTest : public CompressionTest {
protected:
    // Docs/ with a nested folder and dot-files at two depths, and notes.txt beside it.
    QStringList makeInputs() {
        tree.writeFile("in/Docs/report.txt", kText);
        tree.writeFile("in/Docs/sub/data.bin", QByteArray(3000, '\x07'));
        tree.writeFile("in/Docs/.DS_Store", "finder");
        tree.writeFile("in/Docs/._report.txt", "fork");
        tree.writeFile("in/Docs/.git/config", "[core]");
        tree.writeFile("in/Docs/__MACOSX/x", "mac");
        tree.writeFile("in/notes.txt", "notes");
        return {tree.path("in/Docs"), tree.path("in/notes.txt")};
    }

    static Contents withoutHidden() {
        return {{"Docs/", {}},
                {"Docs/report.txt", kText},
                {"Docs/sub/", {}},
                {"Docs/sub/data.bin", QByteArray(3000, '\x07')},
                {"notes.txt", "notes"}};
    }

    static Contents withHidden() {
        Contents contents = withoutHidden();
        contents.insert("Docs/.DS_Store", "finder");
        contents.insert("Docs/._report.txt", "fork");
        contents.insert("Docs/.git/", {});
        contents.insert("Docs/.git/config", "[core]");
        contents.insert("Docs/__MACOSX/", {});
        contents.insert("Docs/__MACOSX/x", "mac");
        return contents;
    }

    CompressionService service;
};

const std::pair<CompressionFormat, QString> kFormats[] = {
    {CompressionFormat::zip, "out.zip"},
    {CompressionFormat::sevenZip, "out.7z"},
    {CompressionFormat::tarGzip, "out.tar.gz"},
};

TEST_F(CompressionServiceTest, EveryFormatAndLevelRoundTrips) {
    const QStringList inputs = makeInputs();
    for (const auto& [format, name] : kFormats) {
        for (CompressionLevel level : CompressionLevels::all()) {
            const QString archive = tree.path("levels/" + EnumRawValues::rawValue(level) + "/" + name);
            service.compress(inputs, archive, format, level, std::nullopt, 2, false, {}, {});
            EXPECT_EQ(extractedContents(archive), withHidden()) << name.toStdString();
        }
    }
    EXPECT_TRUE(stagingFolders().isEmpty());
}

// Kept when not asked: the level round trip above compares against withHidden().
TEST_F(CompressionServiceTest, ExcludingHiddenFilesDropsDotFilesAndMacFolders) {
    const QStringList inputs = makeInputs();
    for (const auto& [format, name] : kFormats) {
        service.compress(inputs, tree.path(name), format, CompressionLevel::fastest, std::nullopt, 1, true,
                         {}, {});
        EXPECT_EQ(extractedContents(tree.path(name)), withoutHidden()) << name.toStdString();
    }
}

TEST_F(CompressionServiceTest, EncryptedArchivesNeedTheirPasswordAndTarRefusesOne) {
    const QStringList inputs = makeInputs();
    const QString password = QStringLiteral(u"秘密 -pw");
    for (const auto& [format, name] : kFormats) {
        const QString archive = tree.path(name);
        const auto compress = [&, format = format] {
            service.compress(inputs, archive, format, CompressionLevel::standard, password, 2, true, {}, {});
        };
        if (format == CompressionFormat::tarGzip) {
            // TAR.GZ has no encryption: refused rather than written in the clear.
            EXPECT_EQ(thrownMessage(compress),
                      QStringLiteral(u"压缩失败：TAR.GZ 格式不支持加密，请改用 ZIP 或 7Z。"));
            EXPECT_FALSE(QFileInfo::exists(archive));
            continue;
        }
        compress();
        EXPECT_NE(toolStatus("/usr/bin/7zz", {"t", "-pwrong", archive}), 0) << name.toStdString();
        EXPECT_EQ(extractedContents(archive, password), withoutHidden()) << name.toStdString();
    }
}

TEST_F(CompressionServiceTest, NamesThatLookLikeSwitchesAreFiles) {
    // In place: no folder, one parent, hidden files kept.
    QStringList inputs;
    Contents expected;
    for (const QString name : {"-v1b", "@list", "--checkpoint-action=exec=touch PWNED", "-x", "*"}) {
        inputs << tree.writeFile("odd/" + name, name.toUtf8());
        expected.insert(name, name.toUtf8());
    }
    tree.writeFile("odd/list", "should not be read as a list file");
    for (const auto& [format, name] : kFormats) {
        const QString archive = tree.path("out/" + name);
        service.compress(inputs, archive, format, CompressionLevel::fastest, std::nullopt, 1, false, {}, {});
        EXPECT_EQ(extractedContents(archive), expected) << name.toStdString();
        EXPECT_FALSE(QFile::exists(archive + ".001"));
    }
    EXPECT_FALSE(QFile::exists(tree.path("odd/PWNED")));
}

// 7-Zip's exclusions are wildcards: with them a folder called "photos?" took in photosA and photos1.
TEST_F(CompressionServiceTest, NamesHoldingWildcardCharactersAreOnlyThoseNames) {
    for (const QString name : {"photosA", "photos1", "xa", "x1"}) tree.writeFile("in/" + name + "/s.txt", "s");
    tree.writeFile("in/photos?/p.txt", "p");
    tree.writeFile("in/photos?/.hidden", "h");
    tree.writeFile("in/photos?/__MACOSX/m", "m");
    const QStringList inputs{tree.path("in/photos?"), tree.writeFile("in/x*", "x")};
    FakePrograms withoutSevenZip;
    withoutSevenZip.remove("7zz");
    CompressionService zipOnly(withoutSevenZip.programs());
    for (const bool excludeHidden : {true, false}) {
        Contents expected{{"photos?/", {}}, {"photos?/p.txt", "p"}, {"x*", "x"}};
        if (!excludeHidden) {
            expected.insert("photos?/.hidden", "h");
            expected.insert("photos?/__MACOSX/", {});
            expected.insert("photos?/__MACOSX/m", "m");
        }
        for (const auto& [format, name] : kFormats) {
            const QString archive = tree.path(QString("out/%1/%2").arg(excludeHidden).arg(name));
            service.compress(inputs, archive, format, CompressionLevel::fastest, std::nullopt, 1, excludeHidden,
                             {}, {});
            EXPECT_EQ(extractedContents(archive), expected) << name.toStdString();
        }
        const QString plainZip = tree.path(QString("zip/%1/out.zip").arg(excludeHidden));
        zipOnly.compress(inputs, plainZip, CompressionFormat::zip, CompressionLevel::fastest, std::nullopt, 1,
                         excludeHidden, {}, {});
        EXPECT_EQ(extractedContents(plainZip), expected);
        for (const auto& [format, volume] : {std::pair{CompressionFormat::sevenZip, qint64(1) << 20},
                                             std::pair{CompressionFormat::zip, qint64(1) << 20}}) {
            const QString folder = tree.path(QString("split/%1").arg(excludeHidden));
            const SplitCompressionResult set = service.compressSplit(
                {.files = inputs,
                 .destinationDirectoryURL = folder,
                 .baseName = CompressionFormats::fileExtension(format),
                 .format = format,
                 .level = CompressionLevel::fastest,
                 .password = std::nullopt,
                 .threadCount = 1,
                 .excludeHiddenFiles = excludeHidden,
                 .splitEnabled = true,
                 .splitSizeBytes = volume,
                 .overwriteExisting = false,
                 .validateAfterCompletion = false},
                {}, {});
            EXPECT_EQ(extractedContents(set.outputURLs.first()), expected) << set.outputURLs.first().toStdString();
        }
    }
    EXPECT_TRUE(stagingFolders().isEmpty());
}

TEST_F(CompressionServiceTest, StagedNameCollisionsReachTheArchive) {
    const QStringList inputs{tree.writeFile("a/notes.txt", "a"), tree.writeFile("b/notes.txt", "b"),
                             tree.writeFile("c/notes.txt", "c")};
    service.compress(inputs, tree.path("out.7z"), CompressionFormat::sevenZip, CompressionLevel::fastest,
                     std::nullopt, 1, false, {}, {});
    EXPECT_EQ(extractedContents(tree.path("out.7z")),
              (Contents{{"notes.txt", "a"}, {"notes 1.txt", "b"}, {"notes 2.txt", "c"}}));
}

TEST_F(CompressionServiceTest, ProgressStaysStrictlyBetweenZeroAndOne) {
    QByteArray noise(6 << 20, Qt::Uninitialized);
    for (qsizetype i = 0; i < noise.size(); ++i) noise[i] = char((i * 7919) ^ (i >> 9));
    const QStringList inputs{tree.writeFile("p/big.bin", noise)};
    for (const auto& [format, name] : kFormats) {
        for (const std::optional<QString>& password :
             {std::optional<QString>(), std::optional<QString>("pw")}) {
            if (format == CompressionFormat::tarGzip && password) continue;
            std::vector<double> values;
            service.compress(inputs, tree.path((password ? "enc-" : "") + name), format,
                             CompressionLevel::maximum, password, 1, false,
                             [&](double value) { values.push_back(value); }, {});
            for (double value : values) {
                EXPECT_GT(value, 0.0);
                EXPECT_LT(value, 1.0);
            }
            if (format == CompressionFormat::tarGzip) {
                EXPECT_EQ(values, (std::vector<double>{0.12, 0.95})) << name.toStdString();
            } else {
                EXPECT_FALSE(values.empty()) << name.toStdString();
            }
        }
    }
}

TEST_F(CompressionServiceTest, RefusalsComeBeforeAnythingIsWritten) {
    const QString present = tree.writeFile("in/a.txt", "a");
    const QString missing = tree.path("in/missing.txt");
    const QString archive = tree.path("new/folder/out.zip");
    const struct {
        QStringList files;
        CompressionFormat format;
        std::optional<QString> password;
        ArchiveError expected;
    } cases[] = {
        {{present, missing}, CompressionFormat::zip, {}, ArchiveError::fileNotFound(missing)},
        {{}, CompressionFormat::zip, {}, ArchiveError::noInputFiles()},
        {{present},
         CompressionFormat::tarGzip,
         QStringLiteral("pw"),
         ArchiveError::compressFailed(QStringLiteral(u"TAR.GZ 格式不支持加密，请改用 ZIP 或 7Z。"))},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(thrownArchiveError([&] {
                      service.compress(c.files, archive, c.format, CompressionLevel::standard, c.password, 1,
                                       false, {}, {});
                  }),
                  c.expected);
    }
    EXPECT_FALSE(QFileInfo::exists(tree.path("new")));
}

// Each format's run on a read-only destination, a full disk, and an input gone by the time the tool
// reads it: the kind of failure, never the tool's output. The mounts need root; without them those
// cases are skipped.
TEST_F(CompressionServiceTest, ToolFailuresNameTheirReason) {
    QByteArray noise(1 << 20, Qt::Uninitialized);
    QRandomGenerator(3).fillRange(reinterpret_cast<quint32*>(noise.data()), noise.size() / 4);
    const QStringList inputs{tree.writeFile("in/noise.bin", noise)};
    const QString readOnly = tree.makeFolder("readonly");
    const ReadOnlyMount readOnlyMount(readOnly);
    const FullDisk disk;
    for (const auto& [format, name] : kFormats) {
        SCOPED_TRACE(name.toStdString());
        const auto compressInto = [&, format = format, name = name](const QString& folder) {
            return thrownArchiveError([&] {
                service.compress(inputs, folder + '/' + name, format, CompressionLevel::fastest, {}, 1, false,
                                 {}, {});
            });
        };
        if (readOnlyMount.mounted()) {
            EXPECT_EQ(compressInto(readOnly), ArchiveError::unwritable(readOnly, EROFS));
        }
        if (disk.mounted()) {
            EXPECT_EQ(compressInto(disk.path()), ArchiveError::unwritable(disk.path(), ENOSPC));
            EXPECT_TRUE(QDir(disk.path()).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));
        }
    }
    // An input gone by the time the tool reads it: 7-Zip's ZIP, zip's (without 7-Zip), tar's TAR.GZ.
    FakePrograms withoutSevenZip;
    withoutSevenZip.remove("7zz");
    const QString gone = tree.path("in/gone.txt");
    for (const CompressionService& tool : {service, CompressionService(withoutSevenZip.programs())}) {
        EXPECT_EQ(thrownArchiveError([&] {
                      tool.compressZip({gone}, tree.path("gone.zip"), CompressionLevel::fastest, {}, 1, false,
                                       {}, {});
                  }),
                  ArchiveError::fileNotFound("gone.txt"));
    }
    EXPECT_EQ(
        thrownArchiveError([&] { service.compressTarGzip({gone}, tree.path("gone.tar.gz"), false, {}, {}); }),
        ArchiveError::fileNotFound("gone.txt"));
    if (!readOnlyMount.mounted() || !disk.mounted()) GTEST_SKIP() << "no mounts here";
}

// An input the user may not read, a file or a folder, fails every format naming it and the permission
// it lacked, in the words of the tool that read it.
TEST_F(CompressionServiceTest, AnUnreadableInputIsNamed) {
    if (::geteuid() == 0) GTEST_SKIP() << "root reads every file";
    const QString file = tree.writeFile("in/Docs/secret.txt", "s");
    const auto failure = [&](CompressionFormat format, const QString& name, std::optional<QString> password) {
        return thrownArchiveError([&] {
            service.compress({tree.path("in/Docs")}, tree.path(name), format, CompressionLevel::fastest,
                             password, 1, false, {}, {});
        });
    };
    // A file is named by the tool that read it; a folder is found before any tool runs, since zip would
    // store it empty without a word.
    const QString folder = tree.makeFolder("in/Docs/locked");
    for (const auto& [locked, shown] :
         {std::pair{file, QStringLiteral("Docs/secret.txt")}, {folder, folder}}) {
        const ArchiveError named = ArchiveError::permissionDenied(shown, SystemErrorText::Access::read);
        ::chmod(QFile::encodeName(locked).constData(), 0);
        for (const auto& [format, name] : kFormats)
            EXPECT_EQ(failure(format, name, {}), named) << name.toStdString();
        // zip, which makes a ZIP whose password 7-Zip refuses, names it too.
        EXPECT_EQ(failure(CompressionFormat::zip, "pw.zip", QStringLiteral(u"密码")), named);
        ::chmod(QFile::encodeName(locked).constData(), 0700);
    }
}

TEST_F(CompressionServiceTest, RarIsRefusedAfterStagingWhichIsRemoved) {
    const QStringList inputs{tree.writeFile("in/.env", "x"), tree.writeFile("in/a.txt", "a")};
    const QString archive = tree.path("made/out.rar");
    EXPECT_EQ(
        thrownArchiveError([&] {
            service.compress(inputs, archive, CompressionFormat::rar, CompressionLevel::standard, {}, 1, true,
                             {}, {});
        }),
        ArchiveError::dependencyMissing(QStringLiteral(u"RAR 创建格式受官方授权和闭源命令行组件限制，"
                                                       u"当前版本暂未接入压缩能力，后续开发会继续完善。")));
    EXPECT_TRUE(QFileInfo(tree.path("made")).isDir());
    EXPECT_FALSE(QFileInfo::exists(archive));
    EXPECT_TRUE(stagingFolders().isEmpty());
}

// Tool runs checked through a stand-in for 7-Zip.
class FakeSevenZipTest : public CompressionServiceTest {
protected:
    // Writes an empty archive where it is told to, as 7-Zip would, then runs body; the service runs it.
    FakeTool fakeSevenZip(const QString& body) {
        const FakeTool tool = programs.addTool(
            "7zz",
            "pwd > \"$0.pwd\"\nprev=\nfor a; do [ \"$prev\" = -- ] && : > \"$a\"; prev=$a; done\n" + body);
        service = CompressionService(programs.programs());
        return tool;
    }

    // The recorded runs with the hidden work folder the archive is written in taken out of its path.
    static QList<QStringList> runsBesideWorkFolder(QList<QStringList> runs) {
        static const QRegularExpression workFolder(QStringLiteral("/\\.velmoraCompression-[^/]+/"));
        for (QStringList& run : runs) run.replaceInStrings(workFolder, QStringLiteral("/"));
        return runs;
    }

    static QString workingFolderOf(const FakeTool& tool) {
        QFile file(tool.path() + ".pwd");
        file.open(QIODevice::ReadOnly);
        return QString::fromUtf8(file.readAll()).trimmed();
    }

    FakePrograms programs;
};

TEST_F(FakeSevenZipTest, ZipInPlaceRunsInTheInputsFolder) {
    const FakeTool tool = fakeSevenZip("exit 0");
    const QStringList inputs{tree.writeFile("in/a.txt", "a"), tree.writeFile("in/b.txt", "b")};
    const QString archive = tree.path("out.zip");
    service.compress(inputs, archive, CompressionFormat::zip, CompressionLevel::maximum, {}, 8, false, {},
                     {});
    EXPECT_EQ(runsBesideWorkFolder(tool.recordedRuns()),
              (QList<QStringList>{{"a", "-tzip", "-mx=9", "-mmt=8", "-snl", "-bsp1", "-spd", "--", archive,
                                   "a.txt", "b.txt"}}));
    EXPECT_EQ(workingFolderOf(tool), QFileInfo(tree.path("in")).canonicalFilePath());
}

TEST_F(FakeSevenZipTest, SevenZipArgumentsWithPasswordAndExclusions) {
    const FakeTool tool = fakeSevenZip("exit 0");
    tree.writeFile("in/Docs/a.txt", "a");
    const QStringList inputs{tree.path("in/Docs")};
    const QString archive = tree.path("out.7z");
    service.compress(inputs, archive, CompressionFormat::sevenZip, CompressionLevel::fastest, "pw", 0, true,
                     {}, {});
    service.compress(inputs, archive, CompressionFormat::sevenZip, CompressionLevel::standard, "", -3, false,
                     {}, {});
    EXPECT_EQ(runsBesideWorkFolder(tool.recordedRuns()),
              (QList<QStringList>{{"a", "-t7z", "-mx=1", "-mmt=1", "-snl", "-bsp1", "-m0=lzma2", "-xr!.*",
                                   "-xr!__MACOSX", "-p", "-mhe=off", "--", archive, "Docs"},
                                  {"a", "-t7z", "-mx=5", "-mmt=1", "-snl", "-bsp1", "-m0=lzma2", "-spd", "--",
                                   archive, "Docs"}}));
    EXPECT_EQ(tool.recordedInputs(), (QStringList{"pw\n", ""}));
    EXPECT_TRUE(stagingFolders().isEmpty());
}

TEST_F(FakeSevenZipTest, OutputPercentagesBecomeProgress) {
    fakeSevenZip("printf '  0%%\\r 45%% 3 + a.txt\\r100%%\\n'");
    const QStringList inputs{tree.writeFile("in/a.txt", "a")};
    std::vector<double> values;
    service.compress(inputs, tree.path("out.7z"), CompressionFormat::sevenZip, CompressionLevel::standard, {},
                     1, false, [&](double value) { values.push_back(value); }, {});
    EXPECT_EQ(values, (std::vector<double>{0.01, 0.45, 0.95}));
}

TEST_F(FakeSevenZipTest, FailedRunsMapToErrorsAndRemoveTheStaging) {
    const std::pair<QString, ArchiveError> cases[] = {
        {"exit 2", ArchiveError::compressFailed(QStringLiteral(u"7-Zip 压缩工具返回错误。"))},
        {"echo 'ERROR: Operation: Permission Denied' >&2; exit 2", ArchiveError::permissionDenied()},
        {"printf 'System ERROR:\\nerrno=28 : No space left on device\\n' >&2; echo 'partial'; exit 2",
         *ArchiveError::unwritable(QFileInfo(tree.path("out.7z")).path(), ENOSPC)},
        // Neither the banner, the progress nor a line that names no known reason reaches the user.
        {"echo '7-Zip (z) 26.02 (x64) : Copyright (c) 1999-2026 Igor Pavlov'; echo 'Scanning the drive:'; "
         "echo ' 45% 3 + a.txt'; printf '\\nERROR: Unexpected end\\n' >&2; exit 2",
         ArchiveError::compressFailed(QStringLiteral(u"7-Zip 压缩工具返回错误。"))},
        // The archive is named as the user will know it, not inside the hidden work folder.
        {"for a; do case \"$a\" in *.7z) f=\"$a\";; esac; done; "
         "echo \"ERROR: Cannot open output file : errno=36 : File name too long : $f\" >&2; exit 2",
         ArchiveError::compressFailed(
             QStringLiteral(u"7-Zip 压缩工具返回错误（无法写入“out.7z”：文件名太长）。"))},
    };
    tree.writeFile("in/Docs/a.txt", "a");
    const QStringList inputs{tree.path("in/Docs")};
    for (const auto& [body, expected] : cases) {
        fakeSevenZip(body);
        EXPECT_EQ(thrownArchiveError([&] {
                      service.compress(inputs, tree.path("out.7z"), CompressionFormat::sevenZip,
                                       CompressionLevel::standard, {}, 1, false, {}, {});
                  }),
                  expected)
            << body.toStdString();
        EXPECT_TRUE(stagingFolders().isEmpty());
    }
}

TEST_F(FakeSevenZipTest, CancellationStopsTheToolAndRemovesTheStaging) {
    const FakeTool tool = fakeSevenZip("exec sleep 60");
    tree.writeFile("in/Docs/a.txt", "a");
    const QStringList inputs{tree.path("in/Docs")};
    EXPECT_TRUE(stopsWithCancellation(tool, [&](const CancellationToken& token) {
        service.compress(inputs, tree.path("out.7z"), CompressionFormat::sevenZip, CompressionLevel::standard,
                         {}, 1, false, {}, token);
    }));
    EXPECT_TRUE(stagingFolders().isEmpty());
}

TEST_F(FakeSevenZipTest, TestReadsThePasswordOnlyWhenGiven) {
    const FakeTool tool = fakeSevenZip("exit 0");
    const QString archive = tree.writeFile("v/set.7z.001", "x");
    EXPECT_TRUE(service.testArchive(archive, QString(), {}));
    EXPECT_TRUE(service.testArchive(archive, "pw", {}));
    EXPECT_EQ(tool.recordedRuns(),
              (QList<QStringList>{{"t", "-spd", "--", archive}, {"t", "-spd", "--", archive}}));
    EXPECT_EQ(tool.recordedInputs(), (QStringList{"", "pw\n"}));
}

// Each format is made by the programs the service was given: a ZIP by zip when 7-Zip is missing, and
// a program that is missing is named. Each program's failure has its own sentence, which tells who ran.
TEST_F(CompressionServiceTest, FormatsRunTheProgramsGivenAndNameAMissingOne) {
    const QStringList inputs{tree.writeFile("in/a.txt", "alpha")};
    const auto ran = [](const char16_t* sentence) {
        return ArchiveError::compressFailed(QString::fromUtf16(sentence));
    };
    const auto missing = [](const char16_t* words) {
        return ArchiveError::dependencyMissing(QString::fromUtf16(words) +
                                               QStringLiteral(u"请重新安装 velmora。"));
    };
    const struct {
        CompressionFormat format;
        QStringList installed;
        ArchiveError outcome;
    } cases[] = {
        {CompressionFormat::zip, {"7zz", "zip", "tar"}, ran(u"7-Zip 压缩工具返回错误。")},
        {CompressionFormat::zip, {"zip", "tar"}, ran(u"系统 ZIP 工具返回错误。")},
        {CompressionFormat::zip, {"tar"}, missing(u"创建 ZIP 压缩包需要 zip 工具，")},
        {CompressionFormat::sevenZip, {"zip", "tar"}, missing(u"创建 7Z 压缩包需要 7-Zip 工具，")},
        {CompressionFormat::tarGzip, {"7zz", "zip", "tar"}, ran(u"GNU tar 压缩工具返回错误。")},
        {CompressionFormat::tarGzip, {"7zz", "zip"}, missing(u"创建 TAR.GZ 压缩包需要 tar 工具，")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.installed.join(' ').toStdString());
        FakePrograms programs;
        for (const QString name : {"7zz", "zip", "tar"}) {
            if (c.installed.contains(name))
                programs.addTool(name, "echo " + name + " ran >&2; exit 3");
            else
                programs.remove(name);
        }
        EXPECT_EQ(thrownArchiveError([&] {
                      CompressionService(programs.programs())
                          .compress(inputs, tree.path("out"), c.format, CompressionLevel::standard, {}, 1,
                                    false, {}, {});
                  }),
                  c.outcome);
    }
    EXPECT_TRUE(stagingFolders().isEmpty());
}

TEST(CompressionErrorMapping, TheToolsWordsGiveTheKindAndOtherwiseTheFixedText) {
    constexpr ToolProgram kSevenZip = ToolProgram::sevenZip;
    constexpr ToolProgram kInfoZip = ToolProgram::infoZip;
    constexpr ToolProgram kTar = ToolProgram::tar;
    const std::tuple<ToolProgram, ProcessResult, ArchiveError> cases[] = {
        {kSevenZip, {1, "", ""}, ArchiveError::compressFailed("fallback")},
        {kSevenZip, {1, " \n", "\t"}, ArchiveError::compressFailed("fallback")},
        {kSevenZip, {1, "out", "err"}, ArchiveError::compressFailed("fallback")},
        {kSevenZip, {1, "Scanning the drive:\n 12% 4", ""}, ArchiveError::compressFailed("fallback")},
        {kInfoZip, {1, "zip I/O error: PERMISSION denied", ""}, ArchiveError::permissionDenied()},
        {kTar,
         {2, "", "tar: x: Cannot open: Permission denied"},
         ArchiveError::permissionDenied("x", SystemErrorText::Access::read)},
        {kTar,
         {2, "", "tar: out.tar.gz: Cannot open: Read-only file system"},
         ArchiveError::readOnlyFileSystem()},
        {kTar,
         {2, "", "tar: Exiting with failure status due to previous errors\ntar: odd: Unknown file type"},
         ArchiveError::compressFailed("fallback")},
        {kSevenZip,
         {2, "Archives with Errors: 1\n", "\nSystem ERROR:\nE_NOTIMPL\n"},
         ArchiveError::compressFailed("fallback")},
        // tar's form of a refused item, in a run of another program, is no refusal of that item.
        {kSevenZip, {2, "", "tar: x: Cannot open: Permission denied"}, ArchiveError::permissionDenied()},
    };
    for (auto [program, result, expected] : cases) {
        result.program = program;
        EXPECT_EQ(thrownArchiveError([&, result = result] {
                      CompressionService::throwCompressionError(result, "fallback");
                  }),
                  expected)
            << result.output.toStdString() << result.error.toStdString();
    }
}

}  // namespace
