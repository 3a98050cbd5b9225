#include "FinderSync.h"
#include "app/ActionUrl.h"
#include "platform/ToolText.h"
#include "support/FakeTool.h"
#include "support/TempTree.h"

#include <gtest/gtest.h>
#include <QFile>
#include <QProcess>
#include <QTest>
#include <QUrl>

namespace {

struct ExtractRuleCase {
    const char* name;
    QStringList paths;
    bool archives;
};

class ExtractRuleTest : public testing::TestWithParam<ExtractRuleCase> {};

TEST_P(ExtractRuleTest, LooksAtTheLowerCasedLastExtensionOfEveryName) {
    EXPECT_EQ(FinderSync::namesOnlyArchives(GetParam().paths), GetParam().archives);
}

INSTANTIATE_TEST_SUITE_P(
    Names, ExtractRuleTest,
    testing::Values(ExtractRuleCase{"UpperCaseAndSevenZip", {"/d/A.ZIP", "/d/b.7z"}, true},
                    ExtractRuleCase{"ArchiveAndPlainFile", {"/d/a.zip", "/d/notes.txt"}, false},
                    ExtractRuleCase{"RarVolumeName", {"/d/x.part1.rar"}, true},
                    ExtractRuleCase{"TarGz", {"/d/x.tar.gz"}, false},
                    ExtractRuleCase{"SevenZipVolume", {"/d/x.7z.001"}, false},
                    ExtractRuleCase{"Zipx", {"/d/x.zipx"}, false},
                    ExtractRuleCase{"DiskImage", {"/d/x.dmg"}, false},
                    ExtractRuleCase{"FolderNamedLikeAnArchive", {"/d/photos.zip/"}, true},
                    ExtractRuleCase{"NoExtension", {"/d/zip"}, false},
                    ExtractRuleCase{"DotInFolderOnly", {"/d/a.zip/readme"}, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FinderSyncActionUrl, EveryNameComesBackUnchangedThroughVelmorasReader) {
    // A GBK name (not UTF-8) goes as its own bytes.
    const QString gbk = "/tmp/" + ToolText::escapedName("\xD6\xD0\xCE\xC4") + ".zip";
    const QStringList paths = {"/tmp/with space.zip", "/tmp/中文 文件.7z", "/tmp/%41.zip", "/tmp/a+b.zip",
                               "/tmp/a&path=b.zip",   "/tmp/x#y.rar",      "/tmp/q?.zip",  "/tmp/100%", gbk};
    const QString text = FinderSync::actionUrl("extract", paths);
    EXPECT_TRUE(text.endsWith("path=%2Ftmp%2F%D6%D0%CE%C4.zip")) << text.toStdString();
    EXPECT_TRUE(QUrl(text, QUrl::StrictMode).isValid());
    const std::optional<ActionUrl> read = ActionUrl::read(text);
    ASSERT_TRUE(read);
    EXPECT_EQ(read->action, "extract");
    EXPECT_EQ(read->paths, paths);
}

struct SelectionCase {
    const char* name;
    QStringList arguments;
    QList<std::pair<QString, QString>> environment;
    QStringList expected;
};

class SelectionTest : public testing::TestWithParam<SelectionCase> {};

TEST_P(SelectionTest, ArgumentsThenScriptVariablesThenTheFolder) {
    QProcessEnvironment environment;
    for (const auto& [name, value] : GetParam().environment) environment.insert(name, value);
    EXPECT_EQ(FinderSync::currentSelection(GetParam().arguments, environment, "/work/dir"),
              GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Sources, SelectionTest,
    testing::Values(SelectionCase{"RelativeAndAbsoluteArguments",
                                  {"a.zip", "../b c.txt", "/x/y"},
                                  {},
                                  {"/work/dir/a.zip", "/work/b c.txt", "/x/y"}},
                    SelectionCase{"ArgumentsWinOverScriptVariables",
                                  {"a.zip"},
                                  {{"NAUTILUS_SCRIPT_SELECTED_FILE_PATHS", "/n/1\n"}},
                                  {"/work/dir/a.zip"}},
                    SelectionCase{"NautilusLines",
                                  {},
                                  {{"NAUTILUS_SCRIPT_SELECTED_FILE_PATHS", "/n/one two\n/n/三.7z\n"},
                                   {"CAJA_SCRIPT_SELECTED_FILE_PATHS", "/c/1\n"}},
                                  {"/n/one two", "/n/三.7z"}},
                    SelectionCase{"CajaWhenNautilusIsEmpty",
                                  {},
                                  {{"NAUTILUS_SCRIPT_SELECTED_FILE_PATHS", ""},
                                   {"CAJA_SCRIPT_SELECTED_FILE_PATHS", "/c/1\n/c/2"}},
                                  {"/c/1", "/c/2"}},
                    SelectionCase{"ScriptFolder",
                                  {},
                                  {{"NAUTILUS_SCRIPT_CURRENT_URI", "file:///home/u/%E6%96%87%20x"}},
                                  {"/home/u/文 x"}},
                    SelectionCase{"RemoteScriptFolderFallsBackToWorkingDirectory",
                                  {},
                                  {{"CAJA_SCRIPT_CURRENT_URI", "sftp://host/home"}},
                                  {"/work/dir"}},
                    SelectionCase{"NothingAtAll", {}, {}, {"/work/dir"}},
                    // After a link to a folder the "/" names the folder.
                    SelectionCase{"TrailingSlashKept", {"linkdir/", "/x//y/", "/"}, {}, {"/work/dir/linkdir/", "/x/y/", "/"}}),
    [](const auto& info) { return std::string(info.param.name); });

// Runs the real executable with a fake xdg-open first on PATH, and a fake xdg-mime that names a program
// for velmora:// links.
class FinderSyncProgramTest : public testing::Test {
protected:
    int run(const QStringList& arguments, const QString& program = VELMORA_FINDER_SYNC_PATH) {
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove("NAUTILUS_SCRIPT_SELECTED_FILE_PATHS");
        environment.remove("CAJA_SCRIPT_SELECTED_FILE_PATHS");
        environment.insert("PATH", m_tools.root() + ":" + environment.value("PATH"));
        process.setProcessEnvironment(environment);
        process.setWorkingDirectory(m_files.root());
        process.start(program, arguments);
        EXPECT_TRUE(process.waitForFinished(30000));
        m_standardError = QString::fromUtf8(process.readAllStandardError());
        return process.exitCode();
    }

    QList<QStringList> waitForOpenedUrls() {
        EXPECT_TRUE(QTest::qWaitFor([&] { return !m_xdgOpen.recordedRuns().isEmpty(); }, 30000));
        return m_xdgOpen.recordedRuns();
    }

    TempTree m_tools;
    TempTree m_files;
    FakeTool m_xdgOpen{m_tools.root(), "xdg-open", "exit 0"};
    FakeTool m_xdgMime{m_tools.root(), "xdg-mime", "echo com.velmora.pro.desktop"};
    QString m_standardError;
};

TEST_F(FinderSyncProgramTest, CompressHandsOneUrlAsOneArgument) {
    m_files.writeFile("a b.txt", "a");
    ASSERT_EQ(run({"compress", "a b.txt", m_files.path("c+d.zip")}), 0);
    const QString expected =
        FinderSync::actionUrl("compress", {m_files.path("a b.txt"), m_files.path("c+d.zip")});
    EXPECT_EQ(waitForOpenedUrls(), QList<QStringList>{{expected}});
}

TEST_F(FinderSyncProgramTest, ExtractOfArchivesOpensTheirUrl) {
    ASSERT_EQ(run({"extract", "a.ZIP", "b.rar"}), 0);
    const QString expected = FinderSync::actionUrl("extract", {m_files.path("a.ZIP"), m_files.path("b.rar")});
    EXPECT_EQ(waitForOpenedUrls(), QList<QStringList>{{expected}});
}

TEST_F(FinderSyncProgramTest, NothingIsOpenedWhenTheExtractRuleFailsOrTheCommandIsWrong) {
    const QString refused = QStringLiteral(u"不是 ZIP、RAR、7Z 压缩包：从文件管理器只能解压这几种，其他压缩包请在 "
                                           u"velmora 中打开。\n");
    EXPECT_EQ(run({"extract", "a.zip", "notes.txt"}), 1);
    EXPECT_EQ(m_standardError, QStringLiteral(u"“notes.txt”") + refused);
    EXPECT_EQ(run({"extract", QStringLiteral(u"备份.tar.xz")}), 1);
    EXPECT_EQ(m_standardError, QStringLiteral(u"“备份.tar.xz”") + refused);
    EXPECT_EQ(run({"extract"}), 1);  // the working folder is not an archive
    EXPECT_TRUE(m_standardError.endsWith(refused));
    EXPECT_EQ(run({}), 2);
    EXPECT_EQ(run({"preview", "a.zip"}), 2);
    EXPECT_TRUE(m_xdgOpen.recordedRuns().isEmpty());
}

// Without a program for the links, xdg-open would try web browsers: the velmora installed beside the
// helper gets the link, and says itself when it cannot be started.
TEST_F(FinderSyncProgramTest, WithoutAProgramForTheLinksTheVelmoraBesideGetsThem) {
    TempTree installed;
    const QString helper = installed.path("velmoraFinderSync");
    ASSERT_TRUE(QFile::copy(VELMORA_FINDER_SYNC_PATH, helper));
    const FakeTool noProgram(m_tools.root(), "xdg-mime", "exit 0");
    EXPECT_EQ(run({"extract", QStringLiteral(u"小.zip")}, helper), 1);
    EXPECT_EQ(m_standardError, QStringLiteral(u"无法启动 velmora：") + installed.path("velmora") + "\n");
    const FakeTool velmora(installed.root(), "velmora", "exit 0");
    ASSERT_EQ(run({"extract", QStringLiteral(u"小.zip")}, helper), 0);
    EXPECT_TRUE(m_standardError.isEmpty());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !velmora.recordedRuns().isEmpty(); }, 30000));
    EXPECT_EQ(velmora.recordedRuns(),
              QList<QStringList>{{FinderSync::actionUrl("extract", {m_files.path(QStringLiteral(u"小.zip"))})}});
    EXPECT_TRUE(m_xdgOpen.recordedRuns().isEmpty());
}

TEST(FinderSyncOpen, AnEmptySelectionOpensNothing) {
    EXPECT_EQ(FinderSync::openVelmora("compress", {}, "/nonexistent/velmora"),
              QStringLiteral(u"没有选中任何文件。"));
}

}  // namespace
