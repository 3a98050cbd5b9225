#include "app/OutsideOperationPlan.h"
#include "support/TempTree.h"

#include <gtest/gtest.h>

namespace {

using OutsideOperationPlan::WorkItem;

TEST(OutsideOperationPlanTest, DuplicatesGoAndOrderStays) {
    EXPECT_EQ(OutsideOperationPlan::uniqueInOrder({"/b", "/a", "/b", "/c", "/a"}),
              (QStringList{"/b", "/a", "/c"}));
}

TEST(OutsideOperationPlanTest, OneEngineEntryPerSplitSet) {
    struct Case {
        QStringList archives;
        QStringList expected;
    };
    const QList<Case> cases = {
        {{"/d/a.7z.002", "/d/x.zip", "/d/a.7z.001", "/d/a.7z.003"}, {"/d/a.7z.001", "/d/x.zip"}},
        {{"/d/a.7z.003", "/d/a.7z.002"}, {"/d/a.7z.003"}},
        {{"/d/s.z01", "/d/s.zip"}, {"/d/s.zip"}},
        {{"/d/r.part2.rar", "/d/r.part1.rar", "/d/other.rar"}, {"/d/r.part1.rar", "/d/other.rar"}},
        {{"/d/a.7z.001", "/e/a.7z.002"}, {"/d/a.7z.001", "/e/a.7z.002"}},
        {{"/d/one.zip", "/d/two.zip", "/d/t.tar.gz"}, {"/d/one.zip", "/d/two.zip", "/d/t.tar.gz"}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(OutsideOperationPlan::archivesForEngine(c.archives), c.expected)
            << c.archives.join(' ').toStdString();
    }
}

TEST(OutsideOperationPlanTest, WorkItemsFollowTheSeparateSetting) {
    AppSettings separate;
    separate.compressToSeparateFolder = true;
    AppSettings together;
    together.compressToSeparateFolder = false;
    struct Case {
        QStringList inputs;
        const AppSettings& settings;
        QList<WorkItem> expected;
    };
    const QList<Case> cases = {
        {{"/d/Photos"}, separate, {{"Photos", {"/d/Photos"}}}},
        {{"/d/a.txt"}, together, {{"a", {"/d/a.txt"}}}},
        {{"/d/a.txt", "/d/b.tar.gz"}, separate, {{"a", {"/d/a.txt"}}, {"b.tar", {"/d/b.tar.gz"}}}},
        {{"/d/a.txt", "/d/b"}, together, {{"Archive", {"/d/a.txt", "/d/b"}}}},
        {{"/d/.hidden"}, together, {{".hidden", {"/d/.hidden"}}}},
        {{}, together, {}},
    };
    for (const Case& c : cases) EXPECT_EQ(OutsideOperationPlan::workItems(c.inputs, c.settings), c.expected);
}

TEST(OutsideOperationPlanTest, HiddenInputsLeaveOnlyWhenAsked) {
    AppSettings settings;
    const QStringList inputs{"/d/.git", "/d/._a", "/d/__MACOSX", "/d/a.txt"};
    settings.ignoreHiddenFilesWhenCompressing = true;
    EXPECT_EQ(OutsideOperationPlan::compressionInputs(inputs, settings), QStringList{"/d/a.txt"});
    settings.ignoreHiddenFilesWhenCompressing = false;
    EXPECT_EQ(OutsideOperationPlan::compressionInputs(inputs, settings), inputs);
}

TEST(OutsideOperationPlanTest, DestinationIsDefaultFolderElseBesideFirstInput) {
    AppSettings settings;
    EXPECT_EQ(OutsideOperationPlan::destinationRoot({"/d/e/a.zip", "/f/b.zip"}, settings), "/d/e");
    settings.defaultExtractLocationPath = "/out";
    EXPECT_EQ(OutsideOperationPlan::destinationRoot({"/d/e/a.zip"}, settings), "/out");
}

}  // namespace
