#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <utility>

// The contents of a file chosen for a password import: a JSON export of a password book (ISO 8601
// dates, else stored-book dates) or UTF-8 text lines "label,password" / "password".
namespace PasswordImportFile {

// The labels and passwords in file order; text lines without a label are named "导入密码 <line>".
// Throws PasswordImportError for anything else: other JSON, bytes that are not text, a file without a
// single password.
QList<std::pair<QString, QString>> pairs(const QByteArray& bytes);

}  // namespace PasswordImportFile
