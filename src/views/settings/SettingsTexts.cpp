#include "views/settings/SettingsTexts.h"

#include "viewmodels/DateFormattingHelper.h"

namespace SettingsTexts {

QString defaultLocation(const QString& path) {
    return path.isEmpty() ? QStringLiteral(u"跟随文件当前位置") : path;
}

QString defaultExtractorExplanation(bool isDefault) {
    return isDefault
               ? QStringLiteral(u"当前默认打开方式已指向 velmora。")
               : QStringLiteral(u"开启后 ZIP、RAR、7Z 双击会交给 velmora；关闭后恢复系统默认打开方式。");
}

Theme::Colour defaultExtractorColour(bool isDefault) {
    return isDefault ? Theme::Colour::secondary : Theme::Colour::orange;
}

QString passwordCount(qsizetype count) {
    return QStringLiteral(u"已保存 ") + QString::number(count) + QStringLiteral(u" 个密码");
}

QString passwordLabel(const ArchivePasswordBookEntry& entry) {
    return entry.label.isEmpty() ? QStringLiteral(u"未命名密码") : entry.label;
}

QString passwordUsage(const ArchivePasswordBookEntry& entry) {
    return QStringLiteral(u"最后使用：") + DateFormattingHelper::dateTime(entry.lastUsedAt) +
           QStringLiteral(u" · 次数：") + QString::number(entry.useCount);
}

QString launchAtLoginReminderTitle(bool enabled) {
    return enabled ? QStringLiteral(u"开机后台自启动已开启") : QStringLiteral(u"建议开启开机后台自启动");
}

Theme::Colour launchAtLoginReminderColour(bool enabled) {
    return enabled ? Theme::Colour::green : Theme::Colour::orange;
}

QString launchAtLoginReminderIcon(bool enabled) {
    return enabled ? QStringLiteral("shield-check-filled") : QStringLiteral("warning-triangle-filled");
}

}  // namespace SettingsTexts
