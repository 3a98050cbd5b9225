#include "ContentFixture.h"
#include "core/content/PreviewEntryRules.h"

#include <gtest/gtest.h>

namespace {

using Style = ArchivePreviewEntry::PackagePresentationStyle;
using namespace PreviewEntryRules;

ArchivePreviewEntry row(const QString& path, qint64 size = 0, const QString& modified = {}) {
    return listedEntry(path, size, modified);
}

TEST(PreviewEntryRules, KindTexts) {
    const QList<std::pair<QString, QString>> cases{
        {"docs/", "文件夹"},
        {"Assets.xcassets/", "文件夹"},
        {"Assets.xcassets", "文件夹"},
        {"Tools/Demo.app/", "APP 文件"},
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

TEST(PreviewEntryRules, PackageNamesAndRoots) {
    EXPECT_TRUE(isFinderPackageName(u"Demo.APP"));
    EXPECT_TRUE(isFinderPackageName(u".app"));
    EXPECT_FALSE(isFinderPackageName(u"app"));
    EXPECT_FALSE(isFinderPackageName(u"Demo.xcassets"));
    EXPECT_EQ(packageRootPath("Tools/Demo.app/Contents/Info.plist"), QString("Tools/Demo.app"));
    EXPECT_EQ(packageRootPath("/A.app/B.framework/x"), QString("A.app"));
    EXPECT_EQ(packageRootPath("docs/readme.txt"), std::nullopt);
    EXPECT_EQ(packagePresentationStyle("Assets.xcassets/"), Style::folder);
    EXPECT_EQ(packagePresentationStyle("Demo.app/"), Style::file);
}

TEST(PreviewEntryRules, GarbledNames) {
    EXPECT_FALSE(containsMojibakePath({}));
    EXPECT_FALSE(containsMojibakePath({row("what?.txt")}));
    EXPECT_TRUE(containsMojibakePath({row("ok.txt"), row("a??b.txt")}));
    EXPECT_TRUE(containsMojibakePath({row(QString("x") + QChar(QChar::ReplacementCharacter))}));
}

TEST(PreviewEntryRules, ListingWithoutPackagesComesBackUnchanged) {
    const QList<ArchivePreviewEntry> entries{row("b.txt"), row("/"), row("a/"), row("b.txt", 5)};
    EXPECT_EQ(finderVisibleEntries(entries), entries);
}

TEST(PreviewEntryRules, PackageFoldsIntoItsOwnRow) {
    const QList<ArchivePreviewEntry> folded =
        finderVisibleEntries({row("Demo.app/", 0, "2024-01-02 03:04:05"), row("Demo.app/Contents/"),
                              row("Demo.app/Contents/Info.plist", 12), row("readme.txt", 3)});
    ASSERT_EQ(paths(folded), QStringList({"Demo.app/", "readme.txt"}));
    EXPECT_EQ(folded[0].modifiedDescription, "2024-01-02 03:04:05");
    EXPECT_EQ(folded[0].kindDescription, "APP 文件");
    EXPECT_EQ(folded[0].packagePresentationStyle, Style::file);
    EXPECT_EQ(folded[1], row("readme.txt", 3));
}

TEST(PreviewEntryRules, PackageWithoutOwnRowIsMadeAtTheEnd) {
    const QList<ArchivePreviewEntry> folded =
        finderVisibleEntries({row("x/alpha.app/Contents/Info.plist", 9), row("z.txt"), row("Zeta.app/x")});
    ASSERT_EQ(paths(folded), QStringList({"z.txt", "Zeta.app/", "x/alpha.app/"}));
    EXPECT_EQ(folded[2].byteSize, 0);
    EXPECT_TRUE(folded[2].sizeDescription.isEmpty());
    EXPECT_EQ(folded[2].packagePresentationStyle, Style::file);
}

TEST(PreviewEntryRules, PackageRowTakesThePlaceOfItsOwnEntry) {
    const QList<ArchivePreviewEntry> folded = finderVisibleEntries(
        {row("a.txt"), row("Demo.app/Contents/x"), row("b.txt"), row("Demo.app/", 0, "2020-01-01 00:00:00")});
    ASSERT_EQ(paths(folded), QStringList({"a.txt", "b.txt", "Demo.app/"}));
    EXPECT_EQ(folded[2].modifiedDescription, "2020-01-01 00:00:00");
}

TEST(PreviewEntryRules, FileStoredPackageAndDuplicatesWithPackagesPresent) {
    const QList<ArchivePreviewEntry> folded =
        finderVisibleEntries({row("Report.pages", 7), row("dup.txt", 1), row("/"), row("dup.txt", 2)});
    ASSERT_EQ(paths(folded), QStringList({"Report.pages/", "dup.txt"}));
    EXPECT_EQ(folded[0].byteSize, 7);
    EXPECT_EQ(folded[0].kindDescription, "PAGES 文件");
    EXPECT_EQ(folded[1].byteSize, 2);
}

TEST(PreviewEntryRules, MadeRowsSortByScalarValues) {
    // U+FF21 (a BMP letter) sorts before U+1F600 by scalar value, though its UTF-16 unit is larger.
    const QString emoji = QString::fromUcs4(U"\U0001F600.app/x");
    const QString wide = QString::fromUcs4(U"\uFF21.app/x");
    const QList<ArchivePreviewEntry> folded = finderVisibleEntries({row(emoji), row(wide), row("a.app/x")});
    EXPECT_EQ(paths(folded), QStringList({"a.app/", QString::fromUcs4(U"\uFF21.app/"),
                                          QString::fromUcs4(U"\U0001F600.app/")}));
}

}  // namespace
