#include "app/LaunchRequest.h"

#include <gtest/gtest.h>

namespace {

using Verb = LaunchRequest::Verb;

TEST(LaunchRequestTest, CommandLineGivesVerbAndArguments) {
    struct Case {
        QStringList arguments;
        Verb verb;
        QStringList kept;
        bool backgroundLogin;
    };
    const QList<Case> cases = {
        {{}, Verb::activate, {}, false},
        {{"a.zip", "b"}, Verb::open, {"a.zip", "b"}, false},
        {{"velmora://extract?path=%2Fa"}, Verb::open, {"velmora://extract?path=%2Fa"}, false},
        {{"--service-extract", "a.zip"}, Verb::serviceExtract, {"a.zip"}, false},
        {{"--service-compress"}, Verb::serviceCompress, {}, false},
        {{"--background-login"}, Verb::activate, {}, true},
    };
    for (const Case& c : cases) {
        const LaunchRequest request = LaunchRequest::fromCommandLine(c.arguments, "/work");
        EXPECT_EQ(request.verb, c.verb) << c.arguments.join(' ').toStdString();
        EXPECT_EQ(request.arguments, c.kept);
        EXPECT_EQ(request.backgroundLogin, c.backgroundLogin);
    }
}

TEST(LaunchRequestTest, ProblemNamesWhatCannotBeServed) {
    const std::pair<QStringList, std::optional<QString>> cases[] = {
        {{"velmora://extract?path=%2F"}, std::nullopt},
        {{"velmora://extract"}, std::nullopt},
        {{"velmora://extract?path=relative/t.zip"},
         QStringLiteral(u"链接中的路径不是绝对路径：relative/t.zip")},
        {{"velmora://preview?path=%2F&path=.%2Fa.zip"}, QStringLiteral(u"链接中的路径不是绝对路径：./a.zip")},
        // The files of a link are judged by the primary, which shows its reasons on screen.
        {{"velmora://extract?path=%2Fno%2Fsuch"}, std::nullopt},
        {{"file:///no/such.zip"}, std::nullopt},
        {{"/no/such.zip"}, QStringLiteral(u"找不到文件：/no/such.zip")},
        {{"velmora://shred?path=t.zip"}, QStringLiteral(u"未知操作：shred")},
        {{"velmora://extract?path=%2Ftmp%2Freal.zip%00.jpg"},
         QStringLiteral(u"链接中的路径含有空字符（%00），不是文件名：/tmp/real.zip%00.jpg")},
        {{"file:///tmp/a.txt%00junk"}, QStringLiteral(u"链接中的路径含有空字符（%00），不是文件名：/tmp/a.txt%00junk")},
        // The host is no folder of this computer.
        {{"file://tmp/a.txt"},
         QStringLiteral(u"链接指向其他电脑（tmp）上的文件，velmora 只能打开本机的文件：file://tmp/a.txt")},
        {{"file://localhost/no/such.zip"}, std::nullopt},
    };
    for (const auto& [arguments, expected] : cases) {
        EXPECT_EQ(LaunchRequest::fromCommandLine(arguments, "/").problem(), expected)
            << arguments.join(' ').toStdString();
    }
}

TEST(LaunchRequestTest, MessageRoundTripsAndRejectsGarbage) {
    const LaunchRequest request{
        .verb = Verb::serviceCompress, .arguments = {QStringLiteral(u"照片 1"), "a\nb"}, .cwd = "/home/u"};
    EXPECT_EQ(LaunchRequest::decoded(request.encoded()), request);
    EXPECT_FALSE(request.encoded().contains('\n'));
    EXPECT_FALSE(LaunchRequest::decoded("{\"verb\":\"format-disk\"}"));
    EXPECT_FALSE(LaunchRequest::decoded("not json"));
}

TEST(LaunchArgumentsTest, SortsUrlsAndPaths) {
    const LaunchArguments sorted = LaunchArguments::classify(
        {"file:///tmp/a%20b.zip", "docs/../x.txt", "/abs/y", "velmora://extract?path=%2Fa",
         "http://example.com/z", "sftp://host/f", "a:b.txt", "", "VELMORA://compress", "file://host/tmp/h",
         "file://LocalHost/tmp/l", "file:///tmp/n%00"},
        "/home/u");
    EXPECT_EQ(sorted.actionURLs, QStringList{"velmora://extract?path=%2Fa"});
    EXPECT_EQ(sorted.paths,
              (QStringList{"/tmp/a b.zip", "/home/u/x.txt", "/abs/y", "/home/u/a:b.txt", "/tmp/l"}));
}

}  // namespace
