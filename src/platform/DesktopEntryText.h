#pragma once

#include <QString>
#include <QStringList>

// Values written into desktop entries (and the key files that follow their rules).
namespace DesktopEntryText {

// One Exec argument: wrapped in double quotes, with ", `, $ and \ escaped, when it holds a character the
// Exec key reserves; every % doubled.
QString execArgument(const QString& argument);

// An Exec value as stored in the file: the quoted arguments, then the field code (say "%F") unless it
// is empty, with the string escapes (\\, \n, \t, \r) applied.
QString execValue(const QStringList& arguments, const QString& fieldCode = {});

// A string value with the escapes \\, \n, \t and \r, and a leading space as \s.
QString escapedString(const QString& value);

}  // namespace DesktopEntryText
