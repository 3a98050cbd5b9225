// The check that lets 7-Zip restore links through other links: only archives whose links all stay
// inside, with nothing written through a link.

#include "EngineFixtures.h"
#include "core/engine/SevenZipLinkChains.h"
#include "support/RecordedListings.h"

#include <QFile>
#include <QProcess>

#include <algorithm>

namespace {

using SevenZipLinkChains::Entry;

Entry file(const char* path) {
    Entry entry;
    entry.path = QString::fromUtf8(path);
    return entry;
}
Entry folder(const char* path) {
    Entry entry = file(path);
    entry.isFolder = true;
    return entry;
}
Entry link(const char* path, const char* target) {
    Entry entry = file(path);
    entry.isLink = true;
    entry.target = QString::fromUtf8(target);
    return entry;
}
Entry hardLink(const char* path, const char* target) {
    Entry entry = file(path);
    entry.hardLinkTarget = QString::fromUtf8(target);
    return entry;
}

TEST(SevenZipLinkChainsTest, OnlyLinksThatStayInsidePass) {
    const struct {
        const char* name;
        QList<Entry> entries;
        bool inside;
    } cases[] = {
        {"chain",
         {folder("real"), file("real/f"), link("dirlink", "real"), link("vialink", "dirlink/f")},
         true},
        {"debian doc",
         {folder("d/bin"), link("d/ctf", "bin"), link("d/nobfd", "ctf"), link("d/c", "nobfd/x")},
         true},
        {"up through a link", {file("d/x"), link("d/l", "../dirlink/f"), link("dirlink", "d")}, true},
        {"loop", {link("loop1", "loop2"), link("loop2", "loop1")}, true},
        {"tar root", {file("./"), link("./a", "b"), link("./b", "c")}, true},
        {"up out of the root", {link("a", "../x")}, false},
        {"chain that climbs out", {link("in/up", "../in"), link("in/esc", "up/../..")}, false},
        {"absolute", {link("a", "b"), link("b", "/etc")}, false},
        {"through a folder link", {link("lnk", "sub"), file("lnk/evil")}, false},
        {"through a folder link listed as a folder", {link("lnk", "sub"), folder("lnk/evil")}, false},
        {"under a file", {link("a", "b"), file("b"), file("b/x")}, false},
        {"a file over a link", {link("a", "b"), file("a")}, false},
        {"climbing entry", {link("a", "b"), file("../x")}, false},
        {"hard link to a file", {file("d/f"), link("a", "d"), hardLink("e/h", "d/f")}, true},
        {"tar hard link", {file("./"), file("./d/f"), link("./a", "d"), hardLink("./d/h", "./d/f")}, true},
        {"hard link read from its own folder", {file("d/f"), hardLink("d/h", "f")}, false},
        {"hard link to no entry", {file("f"), hardLink("h", "g")}, false},
        {"hard link climbing out", {file("f"), hardLink("d/h", "../f")}, false},
        {"hard link to a link", {file("x"), link("a/b/s", "../../x"), hardLink("h", "a/b/s")}, false},
        {"hard link over a file", {file("f"), file("h"), hardLink("h", "f")}, false},
    };
    for (const auto& c : cases) EXPECT_EQ(SevenZipLinkChains::staysInside(c.entries), c.inside) << c.name;
}

// What 7-Zip shows: a link's mode in Attributes (ZIP, 7Z) or Mode with the target (TAR), and which
// entries are folders.
TEST(SevenZipLinkChainsTest, ListingGivesLinksAndTargets) {
    TempTree tree;
    tree.writeFile("src/real/f.txt", "f");
    QFile::link("real", tree.path("src/dirlink"));
    QFile::link("dirlink/f.txt", tree.path("src/vialink"));
    runTool(kSevenZip, {"a", "-snl", tree.path("a.7z"), "real", "dirlink", "vialink"}, tree.path("src"));
    runTool(kTar, {"-cf", tree.path("a.tar"), "real", "dirlink", "vialink"}, tree.path("src"));
    runTool(kZip, {"-q", "-r", "-y", tree.path("a.zip"), "real", "dirlink", "vialink"}, tree.path("src"));
    for (const char* archive : {"a.7z", "a.tar", "a.zip"}) {
        QProcess sevenZip;
        sevenZip.start(kSevenZip, {"l", "-slt", tree.path(archive)});
        ASSERT_TRUE(sevenZip.waitForFinished());
        QList<Entry> entries =
            SevenZipLinkChains::parseListing(QString::fromUtf8(sevenZip.readAllStandardOutput()));
        std::sort(entries.begin(), entries.end(),
                  [](const Entry& a, const Entry& b) { return a.path < b.path; });
        ASSERT_EQ(entries.size(), 4) << archive;
        EXPECT_EQ(entries[0].path, "dirlink");
        EXPECT_TRUE(entries[0].isLink);
        EXPECT_EQ(entries[0].size, 4);
        EXPECT_FALSE(entries[0].isFolder);
        EXPECT_FALSE(entries[1].isLink) << "real";
        EXPECT_TRUE(entries[1].isFolder);
        EXPECT_FALSE(entries[2].isFolder) << "real/f.txt";
        EXPECT_TRUE(entries[3].isLink) << "vialink";
        if (QString::fromUtf8(archive).endsWith("tar")) {
            EXPECT_EQ(entries[3].target, "dirlink/f.txt");
        }
    }
}

// How each listing field makes an entry a folder or a link (7Z shows only attribute letters).
TEST(SevenZipLinkChainsTest, AttributesGiveTheKindOfEntry) {
    const struct {
        const char* line;
        bool folder;
        bool link;
        bool reparsePoint;
    } cases[] = {
        {"Attributes = D drwxr-xr-x", true, false, false}, {"Attributes = A lrwxrwxrwx", false, true, false},
        {"Attributes = RHSDA", true, false, false},        {"Attributes = AL", false, false, true},
        {"Mode = lrwxrwxrwx", false, true, false},         {"Folder = +", true, false, false},
        {"Attributes =  -rw-r--r--", false, false, false},
    };
    for (const auto& c : cases) {
        const QList<Entry> entries = SevenZipLinkChains::parseListing(
            QStringLiteral("Path = a.7z\n----------\nPath = x\n") + QString::fromUtf8(c.line) + u'\n');
        ASSERT_EQ(entries.size(), 1) << c.line;
        EXPECT_EQ(entries[0].isFolder, c.folder) << c.line;
        EXPECT_EQ(entries[0].isLink, c.link) << c.line;
        EXPECT_EQ(entries[0].isReparsePoint, c.reparsePoint) << c.line;
    }
}

// The installed 7-Zip's recorded listings: the link is a link, the folder a folder, in each format.
TEST(SevenZipLinkChainsTest, RecordedListingsGiveLinksAndFolders) {
    for (const QString file : {"7zz-slt-zip.txt", "7zz-slt-7z.txt", "7zz-slt-tar.txt"}) {
        const QList<Entry> entries =
            SevenZipLinkChains::parseListing(QString::fromUtf8(RecordedListings::recorded(file)));
        ASSERT_EQ(entries.size(), 4) << file.toStdString();
        EXPECT_TRUE(entries[0].isFolder) << file.toStdString();
        EXPECT_FALSE(entries[1].isLink || entries[1].isFolder) << file.toStdString();
        EXPECT_TRUE(entries[2].isLink) << file.toStdString();
        EXPECT_EQ(entries[2].size, 15) << file.toStdString();
        EXPECT_EQ(entries[2].target, file.contains("tar") ? "docs/readme.txt" : "") << file.toStdString();
        EXPECT_TRUE(SevenZipLinkChains::staysInside(entries)) << file.toStdString();
    }
}

}  // namespace
