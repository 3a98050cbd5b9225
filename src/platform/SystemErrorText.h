#pragma once

#include <QFileDevice>
#include <QString>

#include <optional>

// A failed system call's reason as the user reads it: in Chinese, whichever call failed and whatever
// the locale. Every message that carries a system error words it here.
namespace SystemErrorText {

// What the failed call was doing: a refusal (EACCES, EPERM) says which permission was missing.
enum class Access { read, write, run };

// "没有读取权限", "没有写入权限" or "没有运行权限" for EACCES and EPERM, by access; "磁盘空间不足" for ENOSPC
// and EDQUOT, ...; a number without its own wording still says what kind of failure it was, or at least
// its number.
QString reason(int errorNumber, Access access);

// The reason of a file's last failure: its error number's, recognised by the text Qt made of it; Qt's
// own text when no system call failed (a folder opened as a file).
QString reasonOf(const QFileDevice& file, Access access);

// The error number whose C-locale text the tools print ("Permission denied" is EACCES); nothing for
// other words.
std::optional<int> errorNumberOf(const QString& printedText);

}  // namespace SystemErrorText
