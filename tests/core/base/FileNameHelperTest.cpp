#include "core/base/FileNameHelper.h"
#include "support/TempTree.h"

#include <gtest/gtest.h>
#include <QFile>

namespace {

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

}  // namespace
