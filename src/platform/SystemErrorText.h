#pragma once

#include <QFileDevice>
#include <QString>

// A failed system call's reason as the user reads it: in Chinese, whichever call failed and whatever
// the locale. Every message that carries a system error words it here.
namespace SystemErrorText {

// "没有写入权限" for EACCES and EPERM, "磁盘空间不足" for ENOSPC and EDQUOT, ...; a number without its
// own wording still says what kind of failure it was, or at least its number.
QString reason(int errorNumber);

// The reason of a file's last failure: its error number's, recognised by the text Qt made of it; Qt's
// own text when no system call failed (a folder opened as a file).
QString reasonOf(const QFileDevice& file);

}  // namespace SystemErrorText
