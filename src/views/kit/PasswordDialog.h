#pragma once

#include <QString>
#include <functional>
#include <optional>

class QDialog;
class QWidget;

// The main window's question for an archive's password, worded as the archive browser's sheet: the
// title "输入压缩包密码", the message that names the archive, a password field, 取消 and 确定 (enabled
// once something but blanks is typed). Window-modal to `parent` (or the active window); opened, never
// run in a loop of its own. `answered` gets the typed text, trimmed, or none when it was cancelled.
namespace PasswordDialog {

QDialog* ask(const QString& message, QWidget* parent,
             std::function<void(const std::optional<QString>& password)> answered);

}  // namespace PasswordDialog
