#include "ContentFixture.h"
#include "core/engine/ToolFailureText.h"
#include "support/FakePrograms.h"
#include "support/FakeTool.h"
#include "support/LegacyArchives.h"
#include "support/ZipBytes.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUuid>

#include <unistd.h>

namespace {

class ArchivePreviewExtractionTest : public ContentFixture {
protected:
    static QByteArray contents(const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    QString preview(const ArchivePreviewService& service, const QString& path, const QString& archive,
                    const std::optional<QString>& password = std::nullopt) {
        return service.extractedPreviewFile(entry(path), archive, password, m_token);
    }

    QString previewsFolder() const { return m_tree.path("tmp/velmora-%1/velmoraPreviews").arg(::getuid()); }
};

TEST(ArchivePreviewService, SafeRelativePaths) {
    const QList<std::pair<QString, QString>> accepted{
        {"docs\\readme.txt", "docs/readme.txt"},
        {"a//b.txt", "a/b.txt"},
        {"./a.txt", "./a.txt"},
        {"..a/b", "..a/b"},
        {"a../b/", "a../b"},
        {"-x.txt", "-x.txt"},
    };
    for (const auto& [path, safe] : accepted) EXPECT_EQ(ArchivePreviewService::safeRelativePath(path), safe);

    const QStringList refused{
        "../x",        "a/../../b", "a/..", "..\\x", "/etc/hosts", "\\etc\\hosts",
        "~/notes.txt", "~",         "",     "/",     "//",         QString::fromUtf16(u"a\0b", 3)};
    for (const QString& path : refused) {
        try {
            ArchivePreviewService::safeRelativePath(path);
            ADD_FAILURE() << "accepted " << path.toStdString();
        } catch (const ArchiveError& error) {
            EXPECT_EQ(error, ArchiveError::extractFailed("压缩包内路径不安全，无法预览：" + path));
        }
    }
}

// Each row keeps the name its entry is stored under, whatever it holds: a line feed (which 7-Zip
// prints as "_" and unrar as it is), a "\" that Unix keeps as a character, or "//". The tools are
// asked for that entry exactly, and an extraction that writes nothing fails.
TEST_F(ArchivePreviewExtractionTest, OddNamesAreListedPreviewedAndExtractedAsStored) {
    const QString zip = m_tree.writeFile("odd.zip", LegacyArchives::zip({{"a\nb.txt", "newline"},
                                                                         {"docs\\readme.txt", "backslash"},
                                                                         {"a//b.txt", "doubled"},
                                                                         {"snake_case.txt", "snake"}},
                                                                        LegacyArchives::Host::unix));
    m_tree.writeFile("odd/nl\nname", "newline");
    m_tree.writeFile("odd/back\\slash", "backslash");
    m_tree.writeFile("odd/snake_case.txt", "snake");
    runTool("/usr/bin/7zz", {"a", "-bd", m_tree.path("odd.7z"), "."}, m_tree.path("odd"));
    runTool("/usr/bin/rar", {"a", "-idq", m_tree.path("odd.rar"), "."}, m_tree.path("odd"));
    const ArchiveError notWritten = ArchiveError::extractFailed("未能提取压缩包内文件：missing.txt");
    const struct {
        QString archive;
        QList<std::pair<QString, QByteArray>> names;
        ArchiveError nothingExtracted;  // for a name the archive does not hold
    } archives[] = {
        {zip,
         {{"a\nb.txt", "newline"},
          {"docs\\readme.txt", "backslash"},
          {"a//b.txt", "doubled"},
          {"snake_case.txt", "snake"}},
         notWritten},
        {m_tree.path("odd.7z"),
         {{"nl\nname", "newline"}, {"back\\slash", "backslash"}, {"snake_case.txt", "snake"}},
         notWritten},
        {m_tree.path("odd.rar"),
         {{"nl\nname", "newline"}, {"back\\slash", "backslash"}, {"snake_case.txt", "snake"}},
         ArchiveError::noFiles()},  // unrar says so itself
    };
    const ArchivePreviewService service;
    for (const auto& [archive, names, nothingExtracted] : archives) {
        const QList<ArchivePreviewEntry> rows = service.previewEntries(archive, std::nullopt, m_token);
        for (const auto& [name, data] : names) {
            SCOPED_TRACE((archive + " " + name).toStdString());
            const auto row = std::find_if(rows.begin(), rows.end(), [&](const ArchivePreviewEntry& listed) {
                return listed.path == name;
            });
            ASSERT_NE(row, rows.end()) << paths(rows).join('|').toStdString();
            EXPECT_EQ(contents(service.extractedPreviewFile(*row, archive, std::nullopt, m_token)), data);
            const QString destination =
                m_tree.path("out/" + QUuid::createUuid().toString(QUuid::WithoutBraces));
            const QStringList extracted =
                service.extractEntries({*row}, archive, destination, std::nullopt, m_token).outputs;
            ASSERT_EQ(extracted.size(), 1);
            EXPECT_EQ(contents(extracted.first()), data);
        }
        const QString destination = m_tree.path("out/none");
        EXPECT_EQ(failure([&] {
                      service.extractEntries({entry("missing.txt")}, archive, destination, {}, m_token);
                  }),
                  nothingExtracted);
        EXPECT_FALSE(QFileInfo::exists(destination)) << "no empty folder is left for a selection of nothing";
    }
}

// A ZIP only unzip reads, with its warning of a comment cut short: every entry of a selection is written,
// each by a run of its own.
TEST_F(ArchivePreviewExtractionTest, ASelectionUnzipWarnsOfIsWrittenWhole) {
    m_tree.writeFile("sample/docs/readme.txt", "readme");
    m_tree.writeFile("sample/a.txt", "alpha");
    for (const QString level : {"0", "6"})
        runTool("/usr/bin/zip", {"-q", "-r", "-" + level, m_tree.path(level + ".zip"), "docs", "a.txt"},
                m_tree.path("sample"));
    const auto zips = ZipBytes::readByUnzipOnly(m_tree.readFile("0.zip"), m_tree.readFile("6.zip"));
    const auto comment = std::find_if(
        zips.begin(), zips.end(), [](const auto& zip) { return zip.first == QLatin1String("comment.zip"); });
    ASSERT_NE(comment, zips.end());
    const QString archive = m_tree.writeFile(comment->first, comment->second);
    const QString destination = m_tree.path("out");
    const QStringList extracted =
        ArchivePreviewService()
            .extractEntries({entry("docs/readme.txt"), entry("a.txt")}, archive, destination, {}, m_token)
            .outputs;
    EXPECT_EQ(extracted.size(), 2);
    EXPECT_EQ(contents(destination + "/docs/readme.txt"), "readme");
    EXPECT_EQ(contents(destination + "/a.txt"), "alpha");
}

TEST_F(ArchivePreviewExtractionTest, PreviewExtractsOneEntryIntoAPrivateFolder) {
    const ArchivePreviewService service;
    const QList<QString> archives{sevenZipArchive("s.zip", {"-tzip"}), sevenZipArchive("s.7z"),
                                  rarArchive("s.rar")};
    for (const QString& archive : archives) {
        SCOPED_TRACE(archive.toStdString());
        const QString star = preview(service, "*.txt", archive);
        EXPECT_EQ(contents(star), "star");
        EXPECT_EQ(QDir(QFileInfo(star).path()).entryList(QDir::Files), QStringList({"*.txt"}))
            << "only the one entry, not every .txt";
        EXPECT_EQ(contents(preview(service, "-x.txt", archive)), "dash");
        const QString readme = preview(service, "docs/r.txt", archive);
        EXPECT_EQ(contents(readme), "readme");
        EXPECT_TRUE(readme.endsWith("/docs/r.txt"));
    }
    const QString first = preview(service, "a.txt", archives[0]);
    const QString second = preview(service, "a.txt", archives[0]);
    EXPECT_NE(QFileInfo(first).path(), QFileInfo(second).path());
    EXPECT_EQ(QFileInfo(first).path().section('/', 0, -2), previewsFolder());
    EXPECT_EQ(fileMode(QFileInfo(first).path()), 0700);
    EXPECT_EQ(fileMode(previewsFolder()), 0700);
}

TEST_F(ArchivePreviewExtractionTest, PasswordsReachTheTools) {
    const ArchivePreviewService service;
    const QString zip = sevenZipArchive("p.zip", {"-tzip", "-psecret"});
    const QString rar = rarArchive("p.rar", {"-psecret"});
    m_programs.remove("7zz");
    const ArchivePreviewService withoutSevenZipService(m_programs.programs());
    for (const QString& archive : {zip, rar}) {
        SCOPED_TRACE(archive.toStdString());
        EXPECT_EQ(contents(preview(service, "a.txt", archive, "secret")), "alpha");
        EXPECT_EQ(failure([&] { preview(service, "a.txt", archive, "wrong"); }).kind(),
                  ArchiveError::Kind::wrongPassword);
        EXPECT_EQ(failure([&] { preview(service, "a.txt", archive); }).kind(),
                  ArchiveError::Kind::wrongPassword);
    }
    EXPECT_EQ(contents(preview(withoutSevenZipService, "a.txt", zip, "secret")), "alpha");
    EXPECT_EQ(failure([&] { preview(withoutSevenZipService, "a.txt", zip, "wrong"); }).kind(),
              ArchiveError::Kind::wrongPassword);
}

TEST_F(ArchivePreviewExtractionTest, PreviewRefusals) {
    const ArchivePreviewService service;
    const QString zip = sevenZipArchive("s.zip", {"-tzip"});
    EXPECT_EQ(failure([&] { preview(service, "a.txt", m_tree.path("missing.zip")); }),
              ArchiveError::fileNotFound(m_tree.path("missing.zip")));
    EXPECT_EQ(failure([&] { preview(service, "docs/", zip); }),
              ArchiveError::extractFailed("文件夹不能直接预览。"));
    EXPECT_EQ(failure([&] { preview(service, "a.txt", m_tree.writeFile("a.doc", "x")); }),
              ArchiveError::unsupportedFormat("doc"));
    EXPECT_EQ(failure([&] { preview(service, "../a.txt", zip); }),
              ArchiveError::extractFailed("压缩包内路径不安全，无法预览：../a.txt"));
    EXPECT_FALSE(QFileInfo::exists(previewsFolder())) << "refused before a preview folder is made";
    EXPECT_EQ(failure([&] { preview(service, "nothing.txt", zip); }),
              ArchiveError::extractFailed("未能读取压缩包内文件：nothing.txt"));
}

TEST_F(ArchivePreviewExtractionTest, FallbacksWithoutSevenZip) {
    const QString zip = sevenZipArchive("s.zip", {"-tzip"});
    const QString sevenZip = sevenZipArchive("s.7z");
    m_programs.remove("7zz");
    m_programs.remove("unrar");
    const ArchivePreviewService noTools(m_programs.programs());
    const QString star = preview(noTools, "*.txt", zip);
    EXPECT_EQ(contents(star), "star");
    EXPECT_EQ(QDir(QFileInfo(star).path()).entryList(QDir::Files), QStringList({"*.txt"}));
    EXPECT_EQ(failure([&] { preview(noTools, "-x.txt", zip); }),
              ArchiveError::extractFailed("压缩包内路径不安全，无法预览：-x.txt"));
    EXPECT_EQ(failure([&] { preview(noTools, "a.txt", sevenZip); }),
              ArchiveError::dependencyMissing("7Z 预览工具不可用，请重新安装 velmora。"));
    EXPECT_EQ(
        failure([&] { noTools.extractEntries({entry("a.txt")}, sevenZip, m_tree.path("out"), {}, m_token); }),
        ArchiveError::dependencyMissing("提取 7Z 内文件需要 7-Zip 工具，请重新安装 velmora。"));
    EXPECT_EQ(failure([&] { preview(noTools, "a.txt", rarArchive("s.rar")); }),
              ArchiveError::dependencyMissing("RAR 预览工具不可用，请重新安装 velmora。"));
}

// 7-Zip goes first. A ZIP it cannot open as an archive, whose method it lacks or whose data it calls
// damaged goes on to Info-ZIP for a preview, a selection and a deletion alike; a wrong password is the
// outcome, and the archive and the destination stay as they were. A folder named as the entry where
// velmora runs does not turn zip's deletion into that folder's.
TEST_F(ArchivePreviewExtractionTest, ZipGoesToInfoZipUnlessSevenZipNamesAReason) {
    const QString runningIn = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(m_tree.makeFolder("cwd")));
    m_tree.makeFolder("cwd/a.txt");
    const struct {
        const char* sevenZipSays;
        std::optional<ArchiveError> failure;
    } cases[] = {
        {"Can't open as archive: 1", std::nullopt},
        {"ERROR: Unsupported Method : a.txt", std::nullopt},
        {"ERROR: Data Error : a.txt", std::nullopt},
        {"ERROR: Wrong password : a.txt", ArchiveError::wrongPassword()},
    };
    const auto outcome = [](const std::function<void()>& operation) -> std::optional<ArchiveError> {
        try {
            operation();
        } catch (const ArchiveError& error) {
            return error;
        }
        return std::nullopt;
    };
    int index = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.sevenZipSays);
        FakePrograms programs;
        const FakeTool sevenZip =
            programs.addTool("7zz", QStringLiteral("echo \"%1\"; exit 2").arg(c.sevenZipSays));
        const ArchivePreviewService service(programs.programs());
        const QString zip = sevenZipArchive(QStringLiteral("s%1.zip").arg(++index), {"-tzip"});
        const QString destination = m_tree.path(QStringLiteral("out%1").arg(index));

        QString previewed;
        EXPECT_EQ(outcome([&] { previewed = preview(service, "docs/r.txt", zip); }), c.failure);
        EXPECT_EQ(outcome([&] { service.extractEntries({entry("a.txt")}, zip, destination, {}, m_token); }),
                  c.failure);
        const std::optional<ArchiveError> deletion =
            outcome([&] { service.deleteEntries({entry("a.txt")}, zip, {}, m_token); });
        EXPECT_EQ(deletion, c.failure) << (deletion ? deletion->message().toStdString() : std::string());
        EXPECT_EQ(sevenZip.recordedRuns().size(), 3) << "7-Zip tried first each time";
        EXPECT_EQ(listedPaths(zip).contains("a.txt"), c.failure.has_value());
        if (c.failure) {
            EXPECT_FALSE(QFileInfo::exists(destination));
        } else {
            EXPECT_EQ(contents(previewed), "readme");
            EXPECT_EQ(contents(destination + "/a.txt"), "alpha");
        }
    }
    QDir::setCurrent(runningIn);
}

TEST_F(ArchivePreviewExtractionTest, RarUsesTheRarExtractorFirst) {
    const FakeTool rar = m_programs.addTool("unrar", "mkdir -p \"$8\" && printf found > \"$8/$7\"");
    const ArchivePreviewService bothTools(m_programs.programs());
    m_programs.remove("7zz");
    const ArchivePreviewService service(m_programs.programs());
    const QString archive = m_tree.writeFile("s.rar", "x");
    EXPECT_EQ(contents(preview(service, "a.txt", archive)), "found");
    const QList<QStringList> runs = rar.recordedRuns();
    ASSERT_EQ(runs.size(), 2) << "the extraction, then the listing of its links";
    EXPECT_EQ(runs[0].mid(0, 6), QStringList({"x", "-o+", "-y", "-p-", "--", archive}));
    EXPECT_EQ(runs[1].value(0), "lt");

    preview(bothTools, "a.txt", archive, QString());
    EXPECT_EQ(rar.recordedRuns().size(), 4) << "the RAR extractor, not 7-Zip";
}

TEST_F(ArchivePreviewExtractionTest, RarWithAWildcardNameExtractsFromItselfAlone) {
    // unrar would read "r?.rar" as a mask that also takes in rr.rar, whose hidden names it cannot read.
    rarArchive("rr.rar", {"-hpsecret"});
    const QString archive = rarArchive("r?.rar");
    EXPECT_EQ(contents(preview(ArchivePreviewService(), "a.txt", archive)), "alpha");
    const QString destination = m_tree.path("out");
    EXPECT_EQ(ArchivePreviewService()
                  .extractEntries({entry("a.txt"), entry("docs/r.txt")}, archive, destination, {}, m_token)
                  .outputs,
              QStringList({destination + "/a.txt", destination + "/docs/r.txt"}));
    EXPECT_EQ(rarAliasFolders(), QStringList());
}

TEST_F(ArchivePreviewExtractionTest, PreviewFindsAFileTheToolPutElsewhere) {
    // This 7-Zip stores every entry under "elsewhere/" by its file name alone.
    m_programs.addTool("7zz",
                       "dest=${2#-o}; for entry; do :; done; mkdir -p \"$dest/elsewhere\"; "
                       "printf moved > \"$dest/elsewhere/$(basename \"$entry\")\"");
    const ArchivePreviewService service(m_programs.programs());
    const QString archive = m_tree.writeFile("s.7z", "x");
    const QString moved = preview(service, "docs/report.txt", archive);
    EXPECT_TRUE(moved.endsWith("/elsewhere/report.txt"));
    EXPECT_EQ(contents(moved), "moved");
    EXPECT_EQ(failure([&] { preview(service, "docs/.hidden", archive); }),
              ArchiveError::extractFailed("未能读取压缩包内文件：docs/.hidden"));
}

TEST_F(ArchivePreviewExtractionTest, PreviewDoesNotFollowALinkOutOfItsFolder) {
    // unzip (unlike 7-Zip) makes the links an archive holds; this one, named like a file, leads from
    // the preview folder <tree>/tmp/velmora-<uid>/velmoraPreviews/<UUID>/ to a file outside it.
    m_tree.writeFile("outside.txt", "private");
    const QString linkFolder = m_tree.makeFolder("links");
    ASSERT_TRUE(QFile::link("../../../../outside.txt", linkFolder + "/notes.txt"));
    runTool("/usr/bin/zip", {"-q", "--symlinks", m_tree.path("l.zip"), "notes.txt"}, linkFolder);
    m_programs.remove("7zz");
    EXPECT_EQ(failure([&] {
                  preview(ArchivePreviewService(m_programs.programs()), "notes.txt", m_tree.path("l.zip"));
              }),
              ToolFailureText::linkOutsideDestination("notes.txt"));
}

// A preview refused for an entry 7-Zip cannot write names the entry as the archive holds it, never
// the preview's private folders. TARs go to 7-Zip alone here, as without GNU tar.
TEST_F(ArchivePreviewExtractionTest, PreviewRefusalsNameTheEntryAsTheArchiveHoldsIt) {
    m_tree.writeFile("src/note.txt", "note");
    ASSERT_TRUE(QFile::link(m_tree.makeFolder("outside"), m_tree.path("src/lnk")));
    ASSERT_EQ(::link(QFile::encodeName(m_tree.path("src/note.txt")).constData(),
                     QFile::encodeName(m_tree.path("src/h")).constData()),
              0);
    m_tree.writeFile("through/lnk/through.txt", "through");
    m_tree.writeFile("second/h", "second");
    const auto tar = [&](const QString& name, const QStringList& names, const QString& appended) {
        runTool("/usr/bin/tar", QStringList{"-cf", m_tree.path(name), "--"} + names, m_tree.path("src"));
        runTool("/usr/bin/tar", {"-rf", m_tree.path(name), "--", appended},
                m_tree.path(appended.contains('/') ? "through" : "second"));
        return m_tree.path(name);
    };
    m_programs.remove("tar");
    const ArchivePreviewService sevenZipAlone(m_programs.programs());
    const QString through = tar("through.tar", {"lnk"}, "lnk/through.txt");
    const QString twice = tar("twice.tar", {"note.txt", "h"}, "h");
    for (const ArchivePreviewService& service : {ArchivePreviewService(), sevenZipAlone}) {
        EXPECT_EQ(failure([&] { preview(service, "lnk", through); }),
                  ToolFailureText::entryUnderLinkOrFile("lnk/through.txt"));
    }
    EXPECT_EQ(failure([&] { preview(ArchivePreviewService(), "h", twice); }),
              ToolFailureText::linkOverwritten(true, "h"));
}

TEST_F(ArchivePreviewExtractionTest, NumberedVolumesGoToSevenZip) {
    addSampleFile("noise.bin", QUuid::createUuid().toByteArray().repeated(300));
    const QString first = sevenZipArchive("v.7z", {"-v2k", "-mx0"}) + ".001";
    ASSERT_TRUE(QFileInfo::exists(m_tree.path("v.7z.002")));
    EXPECT_EQ(contents(preview(ArchivePreviewService(), "docs/r.txt", first)), "readme");
    m_programs.remove("7zz");
    EXPECT_EQ(failure([&] { preview(ArchivePreviewService(m_programs.programs()), "docs/r.txt", first); }),
              ArchiveError::dependencyMissing("7Z 预览工具不可用，请重新安装 velmora。"));
}

TEST_F(ArchivePreviewExtractionTest, SelectionGoesToTheChosenFolder) {
    const QList<ArchivePreviewEntry> selection{entry("docs/"), entry("*.txt"), entry("docs/r.txt"),
                                               entry("-x.txt")};
    for (const QString& archive : {sevenZipArchive("s.7z"), rarArchive("s.rar")}) {
        SCOPED_TRACE(archive.toStdString());
        const QString destination = m_tree.path(QFileInfo(archive).suffix() + "/new/folder");
        const QStringList extracted =
            ArchivePreviewService().extractEntries(selection, archive, destination, {}, m_token).outputs;
        EXPECT_EQ(extracted, QStringList({destination + "/*.txt", destination + "/docs/r.txt",
                                          destination + "/-x.txt"}));
        EXPECT_FALSE(QFileInfo::exists(destination + "/a.txt"));
    }
}

// 7-Zip refuses a link of the selection through another link, or climbing up to the folder it extracts
// into; the archive's links all stay inside, so the selection is extracted again with the checks off.
TEST_F(ArchivePreviewExtractionTest, SelectionRestoresLinksSevenZipRefuses) {
    const QString source = m_tree.makeFolder("chain");
    m_tree.writeFile("chain/real/f.txt", "f");
    ASSERT_TRUE(QFile::link("real", source + "/dirlink"));
    ASSERT_TRUE(QFile::link("dirlink/f.txt", source + "/vialink"));
    runTool("/usr/bin/7zz", {"a", "-snl", m_tree.path("c.7z"), "real", "dirlink", "vialink"}, source);
    runTool("/usr/bin/7zz", {"a", "-snl", "-tzip", m_tree.path("c.zip"), "real", "dirlink", "vialink"},
            source);
    runTool("/usr/bin/tar", {"-cf", m_tree.path("c.tar"), "real", "dirlink", "vialink"}, source);
    const QList<ArchivePreviewEntry> selection{entry("dirlink"), entry("vialink"), entry("real/f.txt")};
    for (const char* archive : {"c.7z", "c.zip", "c.tar"}) {
        SCOPED_TRACE(archive);
        const QString destination = m_tree.path(QStringLiteral("out-") + archive);
        const QStringList extracted =
            ArchivePreviewService()
                .extractEntries(selection, m_tree.path(archive), destination, {}, m_token)
                .outputs;
        EXPECT_EQ(extracted.size(), 3);
        EXPECT_EQ(QFile::symLinkTarget(destination + "/vialink"), destination + "/dirlink/f.txt");
        EXPECT_EQ(contents(destination + "/vialink"), "f");
    }
    ASSERT_TRUE(QFile::link("..", source + "/real/up"));
    runTool("/usr/bin/7zz", {"a", "-snl", m_tree.path("u.7z"), "real"}, source);
    runTool("/usr/bin/zip", {"-q", "-r", "-y", m_tree.path("u.zip"), "real"}, source);
    for (const QString archive : {"u.7z", "u.zip"}) {
        const QString destination = m_tree.path("out-" + archive);
        ArchivePreviewService().extractEntries({entry("real/up")}, m_tree.path(archive), destination, {},
                                               m_token);
        EXPECT_EQ(QFile::symLinkTarget(destination + "/real/up"), destination) << archive.toStdString();
    }
}

TEST_F(ArchivePreviewExtractionTest, SelectionRefusals) {
    const ArchivePreviewService service;
    const QString zip = sevenZipArchive("s.zip", {"-tzip"});
    const QString destination = m_tree.path("out");
    EXPECT_EQ(failure([&] { service.extractEntries({entry("docs/")}, zip, destination, {}, m_token); }),
              ArchiveError::extractFailed("请选择要提取的文件。"));
    EXPECT_EQ(failure([&] { service.extractEntries({}, zip, destination, {}, m_token); }),
              ArchiveError::extractFailed("请选择要提取的文件。"));
    EXPECT_EQ(
        failure([&] {
            service.extractEntries({entry("a.txt"), entry("/etc/hosts")}, zip, destination, {}, m_token);
        }).kind(),
        ArchiveError::Kind::extractFailed);
    // unrar skips a selected link leading out and calls the run a success.
    m_tree.writeFile("links/ok.txt", "ok");
    ASSERT_TRUE(QFile::link("../../../../../../tmp/outside", m_tree.path("links/r")));
    const QString rar = m_tree.path("l.rar");
    runTool("/usr/bin/rar", {"a", "-idq", "-ol", rar, "r", "ok.txt"}, m_tree.path("links"));
    EXPECT_EQ(failure([&] {
                  service.extractEntries({entry("ok.txt"), entry("r")}, rar, destination, {}, m_token);
              }),
              ToolFailureText::linkOutsideDestination("r"));
    EXPECT_FALSE(QFileInfo::exists(destination));
    EXPECT_EQ(failure([&] { service.extractEntries({entry("nothing.txt")}, zip, destination, {}, m_token); }),
              ArchiveError::extractFailed("未能提取压缩包内文件：nothing.txt"))
        << "7-Zip succeeds without a match, having written nothing";
    EXPECT_EQ(failure([&] { service.extractEntries({entry("../x.txt")}, zip, destination, {}, m_token); }),
              ArchiveError::extractFailed("压缩包内路径不安全，无法提取：../x.txt"));
    service.extractEntries({entry("ok.txt")}, rar, destination, {}, m_token);
    EXPECT_EQ(contents(destination + "/ok.txt"), "ok") << "a selection without the link is extracted";
}

}  // namespace
