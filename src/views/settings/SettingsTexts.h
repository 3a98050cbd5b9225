#pragma once

#include "core/state/ArchivePasswordBookEntry.h"
#include "views/kit/Theme.h"

#include <QString>

// What the settings page writes and colours from the model's state, apart from the widgets.
namespace SettingsTexts {

// "跟随文件当前位置" for an empty path, else the path.
QString defaultLocation(const QString& path);

// The explanation under the default-handler switch.
QString defaultExtractorExplanation(bool isDefault);
// The colour of that explanation and of the status text under it.
Theme::Colour defaultExtractorColour(bool isDefault);

// "已保存 N 个密码"
QString passwordCount(qsizetype count);
// "未命名密码" for an empty label.
QString passwordLabel(const ArchivePasswordBookEntry& entry);
// "最后使用：<date> · 次数：N"
QString passwordUsage(const ArchivePasswordBookEntry& entry);

QString launchAtLoginReminderTitle(bool enabled);
Theme::Colour launchAtLoginReminderColour(bool enabled);
QString launchAtLoginReminderIcon(bool enabled);

}  // namespace SettingsTexts
