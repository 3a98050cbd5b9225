#include "app/OutsideOperationPlan.h"
#include "support/TempTree.h"

#include <gtest/gtest.h>

namespace {

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

TEST(OutsideOperationPlanTest, DestinationIsDefaultFolderElseBesideFirstInput) {
    AppSettings settings;
    EXPECT_EQ(OutsideOperationPlan::destinationRoot({"/d/e/a.zip", "/f/b.zip"}, settings), "/d/e");
    settings.defaultExtractLocationPath = "/out";
    EXPECT_EQ(OutsideOperationPlan::destinationRoot({"/d/e/a.zip"}, settings), "/out");
}

}  // namespace
