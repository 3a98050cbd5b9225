#include "core/base/FileNameHelper.h"
#include "core/base/InputItem.h"
#include "platform/ToolText.h"
#include "support/TempTree.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>

namespace {

// A typed "/a/src/" named no file and made "src" its own parent; every way in keeps paths so.
TEST(InputItem, NormalizedPathIsAbsoluteWithoutTrailingOrDotPieces) {
    const QString escaped = QStringLiteral(u"/tmp/") + QChar(0xDCD6) + QChar(0xDCD0) + QStringLiteral("/");
    const std::pair<QString, QString> cases[] = {
        {"/home/u/src/", "/home/u/src"},
        {"/home/u//src///", "/home/u/src"},
        {"/home/u/./a/../src", "/home/u/src"},
        {"/", "/"},
        {"src/", QDir::currentPath() + "/src"},
        {"", ""},
        // Bytes of a name that is not UTF-8, kept as lone surrogates, stay untouched.
        {escaped, escaped.chopped(1)},
    };
    for (const auto& [given, expected] : cases)
        EXPECT_EQ(InputItem::normalizedPath(given), expected) << given.toStdString();
    EXPECT_EQ(InputItem::normalizedPaths({"/a/", "/b/."}), (QStringList{"/a", "/b"}));
}

// "linkdir/" is the folder linkdir leads to, as the shell, tar and zip take it: the archive held only
// the link.
TEST(InputItem, ATrailingSlashAfterALinkNamesTheFolderItLeadsTo) {
    TempTree tree;
    const QString real = tree.makeFolder("data/real");
    tree.writeFile("notes.txt", "n");
    tree.makeFolder("links");
    QFile::link("../data/real", tree.path("links/linkdir"));
    QFile::link(tree.path("links/linkdir"), tree.path("links/chain"));
    QFile::link("../notes.txt", tree.path("links/linkfile"));
    QFile::link("nowhere", tree.path("links/dangling"));
    const std::pair<QString, QString> cases[] = {
        {"links/linkdir/", real},
        {"links/linkdir//", real},
        {"links/chain/", real},
        {"links/linkdir", "links/linkdir"},
        {"links/linkfile/", "links/linkfile"},
        {"links/dangling/", "links/dangling"},
        {"data/real/", real},
    };
    for (const auto& [given, expected] : cases) {
        const QString wanted = expected.startsWith('/') ? expected : tree.path(expected);
        EXPECT_EQ(InputItem::normalizedPath(tree.root() + "/" + given), wanted) << given.toStdString();
    }
}

TEST(FileNameHelper, UniqueDirectoryTakesTheFirstFreeName) {
    const std::tuple<QStringList, QString, QString> cases[] = {
        {{}, "photos", "photos"},
        {{"photos", "photos 1", "photos 2"}, "photos", "photos 3"},
        {{"photos 1"}, "photos", "photos"},
        {{"解压文件"}, "", "解压文件 1"},
        {{}, "", "解压文件"},
    };
    for (const auto& [existing, baseName, expected] : cases) {
        TempTree tree;
        for (const QString& folder : existing) tree.makeFolder(folder);
        EXPECT_EQ(FileNameHelper::uniqueDirectoryURL(baseName, tree.root()), tree.path(expected))
            << baseName.toStdString();
    }
}

TEST(FileNameHelper, AnyItemMakesANameTaken) {
    TempTree tree;
    tree.writeFile("a", "file, not folder");
    QFile::link(tree.path("nowhere"), tree.path("a 1"));  // dangling link
    EXPECT_EQ(FileNameHelper::uniqueDirectoryURL("a", tree.root() + "/"), tree.path("a 2"));
    EXPECT_FALSE(QFile::exists(tree.path("a 2")));
}

TEST(FileNameHelper, ArchiveBaseNames) {
    const std::pair<QString, QString> cases[] = {
        {"/x/report.zip", "report"}, {"/x/backup.TAR.GZ", "backup"},
        {"/x/data.tar", "data"},     {"/x/archive", "archive"},
        {"/x/.tar.gz", ".tar.gz"},   {"/x/movie.7z.001", "movie.7z"},
        {"/x/a.b.tar.bz2", "a.b"},   {"/x/.zip", ".zip"},
        {"/x/相册.rar", "相册"},
    };
    for (const auto& [url, expected] : cases) EXPECT_EQ(FileNameHelper::archiveBaseName(url), expected);
}

TEST(FileNameHelper, PathComponents) {
    const std::tuple<QString, QString, QString> cases[] = {
        {"/a/b.tar.gz", "b.tar.gz", "gz"}, {"/a/b/", "b", ""}, {"/a.d/b", "b", ""},
        {"b.Zip", "b.Zip", "Zip"},         {"/", "", ""},      {"/a/x.", "x.", ""},
    };
    for (const auto& [url, name, extension] : cases) {
        EXPECT_EQ(FileNameHelper::lastPathComponent(url), name) << url.toStdString();
        EXPECT_EQ(FileNameHelper::pathExtension(url), extension) << url.toStdString();
    }
}

// A name that is not UTF-8 keeps its bytes as escaped ones, but a text shows it as the browser shows a
// legacy name: GB18030 when it reads as Chinese, else code page 437; never lone surrogates or U+FFFD.
TEST(FileNameHelper, ShownTextDecodesLegacyNames) {
    const auto escaped = [](const char* bytes) { return ToolText::escapedName(QByteArray(bytes)); };
    const std::pair<QString, QString> cases[] = {
        {escaped("/tmp/\xD6\xD0\xCE\xC4.zip"), QStringLiteral(u"/tmp/中文.zip")},
        {QStringLiteral(u"找不到文件：") + escaped("/a/\xB1\xA8\xB8\xE6 v1/x.txt") + QStringLiteral(u"。"),
         QStringLiteral(u"找不到文件：/a/报告 v1/x.txt。")},
        {escaped("/a/caf\x82.txt"), QStringLiteral(u"/a/café.txt")},
        {QStringLiteral(u"/a/中文.zip"), QStringLiteral(u"/a/中文.zip")},
    };
    for (const auto& [text, shown] : cases) EXPECT_EQ(FileNameHelper::shownText(text), shown);
    EXPECT_EQ(FileNameHelper::shownName(escaped("/a/\xD6\xD0\xCE\xC4/")), QStringLiteral(u"中文"));
}

}  // namespace
