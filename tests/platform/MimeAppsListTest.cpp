#include "platform/MimeAppsList.h"

#include <gtest/gtest.h>

namespace {

const QString kGroup = MimeAppsList::kDefaultApplications;

TEST(MimeAppsList, UnchangedFilesAreWrittenBackByteForByte) {
    const QList<QByteArray> files{
        "",
        "[Default Applications]\napplication/zip=ark.desktop;\n",
        "# comment\n\n[Added Associations]\ntext/plain=kate.desktop;\n\n[Default Applications]\nx=y\n",
        "[Default Applications]\r\napplication/zip = ark.desktop\r\n",
        "[Default Applications]\napplication/zip=ark.desktop",
        "  # indented comment\n[Default Applications]\nimage/png=gwenview.desktop;org.kde.okular.desktop;\n",
    };
    for (const QByteArray& bytes : files) {
        const std::optional<MimeAppsList> list = MimeAppsList::parse(bytes);
        ASSERT_TRUE(list) << bytes.constData();
        EXPECT_EQ(list->toBytes(), bytes);
    }
}

TEST(MimeAppsList, RefusesWhatItCannotEditSafely) {
    const QList<QByteArray> files{
        "application/zip=ark.desktop;\n",             // a key before any group
        "[Default Applications]\njust some words\n",  // neither a key nor a header
        "[Default Applications]\n=ark.desktop\n",     // no key
        "[]\n",                                       // no group name
        "[Default Applications]\nx=\xff\xfe\n",       // not UTF-8
        "<?xml version=\"1.0\"?>\n<plist/>\n",
    };
    for (const QByteArray& bytes : files) EXPECT_FALSE(MimeAppsList::parse(bytes)) << bytes.constData();
}

TEST(MimeAppsList, EditsKeepTheRestInPlace) {
    struct Case {
        QByteArray before;
        QStringList ids;
        QByteArray after;
    };
    const QList<Case> cases{
        {"", {"a.desktop"}, "[Default Applications]\napplication/zip=a.desktop;\n"},
        {"[Added Associations]\nx=y\n",
         {"a.desktop", "b.desktop"},
         "[Added Associations]\nx=y\n\n[Default Applications]\napplication/zip=a.desktop;b.desktop;\n"},
        {"[Default Applications]\nimage/png=g.desktop\n\n[Other]\nk=v\n",
         {"a.desktop"},
         "[Default Applications]\nimage/png=g.desktop\napplication/zip=a.desktop;\n\n[Other]\nk=v\n"},
        {"[Default Applications]\r\napplication/zip=old.desktop\r\napplication/zip=dup.desktop\r\nz=1\r\n",
         {"a.desktop"},
         "[Default Applications]\r\napplication/zip=a.desktop;\r\nz=1\r\n"},
    };
    for (const Case& c : cases) {
        std::optional<MimeAppsList> list = MimeAppsList::parse(c.before);
        ASSERT_TRUE(list);
        list->setDesktopIDs(kGroup, QStringLiteral("application/zip"), c.ids);
        EXPECT_EQ(list->toBytes(), c.after) << c.before.constData();
        EXPECT_EQ(list->desktopIDs(kGroup, QStringLiteral("application/zip")), c.ids);
    }
}

TEST(MimeAppsList, APrependedIDTakenAwayLeavesTheLineAsItWas) {
    const QList<QByteArray> files{
        "[Default Applications]\napplication/zip=other.desktop\n",
        "[Default Applications]\r\napplication/zip = a.desktop ; b.desktop\r\n",
        "[Default Applications]\napplication/zip=\n",
    };
    for (const QByteArray& bytes : files) {
        std::optional<MimeAppsList> list = MimeAppsList::parse(bytes);
        ASSERT_TRUE(list);
        const QStringList ids = list->desktopIDs(kGroup, QStringLiteral("application/zip"));
        list->prependDesktopID(kGroup, QStringLiteral("application/zip"), QStringLiteral("v.desktop"));
        EXPECT_EQ(list->desktopIDs(kGroup, QStringLiteral("application/zip")),
                  QStringList{"v.desktop"} + ids);
        EXPECT_TRUE(list->removeLeadingDesktopID(kGroup, QStringLiteral("application/zip"), "v.desktop"));
        EXPECT_EQ(list->toBytes(), bytes);
        EXPECT_FALSE(list->removeLeadingDesktopID(kGroup, QStringLiteral("application/zip"), "v.desktop"));
    }
}

TEST(MimeAppsList, ReadsIDsAndRemovesKeys) {
    std::optional<MimeAppsList> list = MimeAppsList::parse(
        "[Added Associations]\napplication/zip=other.desktop;\n[Default Applications]\n"
        "application/zip = ark.desktop; ;file-roller.desktop\n# note\n");
    ASSERT_TRUE(list);
    EXPECT_EQ(list->desktopIDs(kGroup, QStringLiteral("application/zip")),
              QStringList({"ark.desktop", "file-roller.desktop"}));
    list->remove(kGroup, QStringLiteral("application/zip"));
    EXPECT_EQ(list->toBytes(),
              "[Added Associations]\napplication/zip=other.desktop;\n[Default Applications]\n# note\n");
}

}  // namespace
