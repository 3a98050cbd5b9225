#include "viewmodels/BrowserFixture.h"

namespace {

// Rows as "path@depth", the way the table indents them.
QStringList shown(ArchivePreviewWindowModel& model) {
    QStringList rows;
    for (const ArchivePreviewEntry& entry : model.filteredEntries()) {
        rows << entry.path + u'@' + QString::number(model.depth(entry));
    }
    return rows;
}

struct OutlineCase {
    const char* name;
    QStringList listing;
    QStringList expand;  // folder rows toggled in order
    ArchivePreviewWindowModel::FilterOption filter;
    QStringList expected;
};

class OutlineTest : public BrowserFixture, public ::testing::WithParamInterface<OutlineCase> {};

TEST_P(OutlineTest, ShowsTheExpectedRows) {
    QList<ArchivePreviewEntry> entries;
    for (const QString& path : GetParam().listing) entries << row(path);
    ArchivePreviewWindowModel& browser = openListed(entries);
    for (const QString& folder : GetParam().expand) browser.toggleExpanded(row(folder));
    browser.setFilterOption(GetParam().filter);
    EXPECT_EQ(shown(browser), GetParam().expected);
}

using Filter = ArchivePreviewWindowModel::FilterOption;
const OutlineCase kOutlineCases[] = {
    {"SyntheticParentsOpenLevelByLevel", {"a/b/c.txt"}, {}, Filter::all, {"a/@0"}},
    {"SyntheticChildFolder", {"a/b/c.txt"}, {"a/"}, Filter::all, {"a/@0", "a/b/@1"}},
    {"FileTwoLevelsDown", {"a/b/c.txt"}, {"a/", "a/b/"}, Filter::all, {"a/@0", "a/b/@1", "a/b/c.txt@2"}},
    {"FoldersFirstNumbersByValue",
     {"file10.txt", "file2.txt", "Docs/"},
     {},
     Filter::all,
     {"Docs/@0", "file2.txt@0", "file10.txt@0"}},
    {"CaseIgnored", {"b.txt", "A.txt", "B/", "a/"}, {}, Filter::all, {"a/@0", "B/@0", "A.txt@0", "b.txt@0"}},
    {"PackageNameIsAPlainFolder",
     {"Demo.app/Contents/Info.plist"},
     {"Demo.app/"},
     Filter::all,
     {"Demo.app/@0", "Demo.app/Contents/@1"}},
    {"FoldersFilterKeepsNestedFolders",
     {"a/x.txt", "a/b/y.txt"},
     {"a/"},
     Filter::folders,
     {"a/@0", "a/b/@1"}},
    {"FilesFilterKeepsFilesOfExpandedFolders",
     {"a/x.txt", "a/b/y.txt", "z.txt"},
     {"a/"},
     Filter::files,
     {"a/x.txt@1", "z.txt@0"}},
    {"FolderWithoutChildrenStaysClosed",
     {"empty/", "f.txt"},
     {"empty/"},
     Filter::all,
     {"empty/@0", "f.txt@0"}},
    {"CollapsingDropsNestedFolders",
     {"a/b/c.txt"},
     {"a/", "a/b/", "a/", "a/"},
     Filter::all,
     {"a/@0", "a/b/@1"}},
};
INSTANTIATE_TEST_SUITE_P(Outline, OutlineTest, ::testing::ValuesIn(kOutlineCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(BrowserFixture, SyntheticFolderRowsAreFoldersOfNoSize) {
    ArchivePreviewWindowModel& browser = openListed({row("a/b/c.txt")});
    const ArchivePreviewEntry folder = browser.filteredEntries().value(0);
    EXPECT_EQ(folder.kindDescription, QStringLiteral(u"文件夹"));
    EXPECT_EQ(folder.byteSize, 0);
    browser.setSelectedEntryID(QStringLiteral("a/"));
    EXPECT_EQ(browser.selectedEntry(), folder);
}

// Folders were counted as files: 3 files and 2 folders read "5 个文件".
TEST_F(BrowserFixture, EntryCountTellsFilesFromFolders) {
    const std::pair<QStringList, QString> cases[] = {
        {{"a/", "a/x.txt", "a/b/y.txt", "z.txt"}, QStringLiteral(u"3 个文件，2 个文件夹")},
        {{"a/b/c.txt", "a/b/c.txt"}, QStringLiteral(u"1 个文件，2 个文件夹")},
        {{"z.txt"}, QStringLiteral(u"1 个文件")},
        {{"empty/"}, QStringLiteral(u"0 个文件，1 个文件夹")},
    };
    for (const auto& [listing, text] : cases) {
        QList<ArchivePreviewEntry> entries;
        for (const QString& path : listing) entries << row(path);
        EXPECT_EQ(openListed(entries).fileCountDescription(), text) << listing.join(' ').toStdString();
    }
}

TEST_F(BrowserFixture, AListedFolderReplacesItsSyntheticRowInAnyOrder) {
    ArchivePreviewWindowModel& browser = openListed({row("a/b.txt"), row("a/", "2024-01-02 03:04:05")});
    EXPECT_EQ(browser.filteredEntries().value(0).modifiedDescription, QStringLiteral("2024-01-02 03:04:05"));
}

TEST_F(BrowserFixture, ExpandAllOpensEveryFolderThenClosesThemAll) {
    ArchivePreviewWindowModel& browser = openListed({row("a/b/c.txt"), row("d/e.txt"), row("f/")});
    const QSet<QString> all{QStringLiteral("a/"), QStringLiteral("a/b/"), QStringLiteral("d/")};
    browser.toggleExpandCollapseAll();
    EXPECT_EQ(browser.expandedFolderPaths(), all);
    browser.toggleExpandCollapseAll();
    EXPECT_TRUE(browser.expandedFolderPaths().isEmpty());
    browser.toggleExpanded(row("d/"));
    browser.toggleExpandCollapseAll();
    EXPECT_EQ(browser.expandedFolderPaths(), all);
}

TEST_F(BrowserFixture, GoingUpFromTheRootChangesNothing) {
    ArchivePreviewWindowModel& browser = openListed({row("a.txt")});
    browser.setSelectedEntryID(QStringLiteral("a.txt"));
    browser.goUpFolder();
    EXPECT_EQ(browser.selectedEntryID(), QStringLiteral("a.txt"));
    EXPECT_EQ(browser.currentFolderDisplayPath(), QStringLiteral("a.zip"));
}

}  // namespace
