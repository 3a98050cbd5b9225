#include "platform/DesktopEntryText.h"

#include <gtest/gtest.h>

namespace {

TEST(DesktopEntryText, ExecValuesQuoteAndEscapeByTheDesktopEntryRules) {
    struct Case {
        QString path;
        QString exec;
    };
    const QList<Case> cases{
        {"/usr/bin/velmoraFinderSync", "/usr/bin/velmoraFinderSync extract %F"},
        {"/opt/my apps/velmoraFinderSync", "\"/opt/my apps/velmoraFinderSync\" extract %F"},
        {"/opt/say \"hi\"/h", "\"/opt/say \\\\\"hi\\\\\"/h\" extract %F"},
        {"/opt/it's/h", "\"/opt/it's/h\" extract %F"},
        {"/opt/$HOME/h", "\"/opt/\\\\$HOME/h\" extract %F"},
        {"/opt/100%/h", "/opt/100%%/h extract %F"},
        {"/opt/back\\slash/h", "\"/opt/back\\\\\\\\slash/h\" extract %F"},
        {"/opt/`x`/h", "\"/opt/\\\\`x\\\\`/h\" extract %F"},
        {QStringLiteral(u"/opt/压缩 工具/h"), QStringLiteral(u"\"/opt/压缩 工具/h\" extract %F")},
        {"/opt/new\nline/h", "\"/opt/new\\nline/h\" extract %F"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DesktopEntryText::execValue({c.path, "extract"}, "%F"), c.exec) << c.path.toStdString();
    }
    EXPECT_EQ(DesktopEntryText::execValue({"/a", ""}), "/a \"\"");
}

TEST(DesktopEntryText, StringValuesEscapeBackslashesAndControlCharacters) {
    EXPECT_EQ(DesktopEntryText::escapedString(" a\\b\tc\r\nd "), "\\sa\\\\b\\tc\\r\\nd ");
}

}  // namespace
