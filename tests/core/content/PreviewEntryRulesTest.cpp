#include "ContentFixture.h"
#include "core/content/PreviewEntryRules.h"

#include <gtest/gtest.h>

namespace {

using namespace PreviewEntryRules;

ArchivePreviewEntry row(const QString& path, qint64 size = 0, const QString& modified = {}) {
    return listedEntry(path, size, modified);
}

TEST(PreviewEntryRules, KindTexts) {
    const QList<std::pair<QString, QString>> cases{
        {"docs/", "文件夹"},
        {"Tools/Demo.app/", "文件夹"},
        {"Report.Pages", "PAGES 文件"},
        {"a/Photo.JPEG", "图像文件"},
        {"Makefile", "文件"},
        {".profile", "文件"},
        {"archive.tar.gz", "GZ 文件"},
        {"notes.rtf", "多信息文本 (RTF)"},
        {"readme.TXT", "文本文件"},
        {"manual.pdf", "PDF 文档"},
        {"/", "文件夹"},
    };
    for (const auto& [path, kind] : cases) EXPECT_EQ(kindDescription(path), kind) << path.toStdString();
}

TEST(PreviewEntryRules, GarbledNames) {
    EXPECT_FALSE(containsMojibakePath({}));
    EXPECT_FALSE(containsMojibakePath({row("what?.txt")}));
    EXPECT_TRUE(containsMojibakePath({row("ok.txt"), row("a??b.txt")}));
    EXPECT_TRUE(containsMojibakePath({row(QString("x") + QChar(QChar::ReplacementCharacter))}));
}

}  // namespace
