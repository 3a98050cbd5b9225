#include "app/ActionUrl.h"

#include <gtest/gtest.h>

namespace {

struct UrlCase {
    const char* name;
    QString text;
    std::optional<ActionUrl> expected;
};

void PrintTo(const UrlCase& c, std::ostream* out) { *out << c.name; }

class ActionUrlTest : public testing::TestWithParam<UrlCase> {};

TEST_P(ActionUrlTest, ReadsActionAndPaths) {
    const std::optional<ActionUrl> url = ActionUrl::read(GetParam().text);
    ASSERT_EQ(url.has_value(), GetParam().expected.has_value());
    if (!url) return;
    EXPECT_EQ(url->action, GetParam().expected->action);
    EXPECT_EQ(url->paths, GetParam().expected->paths);
    EXPECT_EQ(url->relativePaths, GetParam().expected->relativePaths);
    EXPECT_EQ(url->pathsHoldingNul, GetParam().expected->pathsHoldingNul);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ActionUrlTest,
    testing::Values(
        UrlCase{"host_form", "velmora://extract?path=%2Fhome%2Fa.zip", ActionUrl{"extract", {"/home/a.zip"}}},
        UrlCase{"path_form", "velmora:///extract/?path=%2Fa.zip", ActionUrl{"extract", {"/a.zip"}}},
        UrlCase{"bare_path_form", "velmora:compress?path=/a", ActionUrl{"compress", {"/a"}}},
        UrlCase{"several_paths_in_order", "velmora://compress?path=%2Fb&path=%2Fa&other=%2Fc&path=%2Fb%2Fc",
                ActionUrl{"compress", {"/b", "/a", "/b/c"}}},
        UrlCase{"empty_value_skipped", "velmora://compress?path=&path", ActionUrl{"compress", {}}},
        UrlCase{"relative_value_skipped", "velmora://compress?path=docs%2Fa.txt&path=.&path=%2Fok",
                ActionUrl{"compress", {"/ok"}, {"docs/a.txt", "."}}},
        UrlCase{"no_query", "velmora://extract", ActionUrl{"extract", {}}},
        UrlCase{"unknown_action_with_path", "velmora://shred?path=%2Fa", ActionUrl{"shred", {"/a"}}},
        UrlCase{"unknown_action_without_path", "velmora://shred", ActionUrl{"shred", {}}},
        UrlCase{"action_case_kept", "velmora://Extract?path=%2Fa", ActionUrl{"Extract", {"/a"}}},
        UrlCase{"percent_plus_ampersand_hash", "velmora://compress?path=%2Fx%2F100%25%20%2B%26%23.txt",
                ActionUrl{"compress", {"/x/100% +&#.txt"}}},
        UrlCase{"plus_stays_plus", "velmora://compress?path=/a+b", ActionUrl{"compress", {"/a+b"}}},
        UrlCase{"encoded_letter", "velmora://compress?path=%2F%41", ActionUrl{"compress", {"/A"}}},
        UrlCase{"fragment_ignored", "velmora://compress?path=%2Fa#path=%2Fb", ActionUrl{"compress", {"/a"}}},
        UrlCase{"cjk_encoded", "velmora://extract?path=%2F%E7%85%A7%E7%89%87%2F%E6%96%87%E4%BB%B6.zip",
                ActionUrl{"extract", {QStringLiteral(u"/照片/文件.zip")}}},
        UrlCase{"cjk_raw", QStringLiteral(u"velmora://extract?path=/照片 1/a.zip"),
                ActionUrl{"extract", {QStringLiteral(u"/照片 1/a.zip")}}},
        // The system would read the name only up to the NUL: "a.txt" or "real.zip" instead.
        UrlCase{"nul_refused", "velmora://compress?path=%2Ftmp%2Fa.txt%00junk&path=%2Fok",
                ActionUrl{"compress", {"/ok"}, {}, {QStringLiteral("/tmp/a.txt") + QChar(0) + "junk"}}},
        UrlCase{"other_scheme", "https://extract?path=%2Fa", std::nullopt},
        UrlCase{"scheme_is_case_sensitive", "Velmora://extract?path=%2Fa", std::nullopt}),
    [](const testing::TestParamInfo<UrlCase>& info) { return std::string(info.param.name); });

}  // namespace
