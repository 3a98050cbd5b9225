#include "views/settings/SettingsTexts.h"

#include <gtest/gtest.h>

namespace {

TEST(SettingsTexts, TextsAndColoursFollowTheState) {
    EXPECT_EQ(SettingsTexts::defaultLocation({}), QStringLiteral(u"跟随文件当前位置"));
    EXPECT_EQ(SettingsTexts::defaultLocation("/data/解压"), QStringLiteral(u"/data/解压"));

    EXPECT_EQ(SettingsTexts::defaultExtractorExplanation(false),
              QStringLiteral(u"开启后 ZIP、RAR、7Z 双击会交给 velmora；关闭后恢复系统默认打开方式。"));
    EXPECT_EQ(SettingsTexts::defaultExtractorColour(false), Theme::Colour::orange);
    EXPECT_EQ(SettingsTexts::defaultExtractorExplanation(true),
              QStringLiteral(u"当前默认打开方式已指向 velmora。"));
    EXPECT_EQ(SettingsTexts::defaultExtractorColour(true), Theme::Colour::secondary);

    ArchivePasswordBookEntry entry;
    entry.lastUsedAt = QDateTime(QDate(2026, 3, 5), QTime(9, 7), Qt::LocalTime);
    entry.useCount = 12;
    EXPECT_EQ(SettingsTexts::passwordLabel(entry), QStringLiteral(u"未命名密码"));
    EXPECT_EQ(SettingsTexts::passwordUsage(entry),
              QStringLiteral(u"最后使用：2026年3月5日 09点07分 · 次数：12"));
    EXPECT_EQ(SettingsTexts::passwordCount(0), QStringLiteral(u"已保存 0 个密码"));

    EXPECT_EQ(SettingsTexts::launchAtLoginReminderColour(true), Theme::Colour::green);
    EXPECT_EQ(SettingsTexts::launchAtLoginReminderTitle(false), QStringLiteral(u"建议开启开机后台自启动"));
}

}  // namespace
