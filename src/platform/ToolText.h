#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <optional>

// The bytes tools print and take as text, and file names on disk. Tools print names as an archive
// stores them and write them so, which need not be UTF-8: such bytes must neither empty a text nor be
// lost when a name goes back to a tool or a file of that name is moved.
namespace ToolText {

// Whether the bytes are valid UTF-8 as a whole.
bool isValidUtf8(QByteArrayView bytes);

// The bytes as UTF-8, each byte that is not part of a valid character shown as U+FFFD.
QString decode(QByteArrayView bytes);

// The bytes as UTF-8, each byte that is not part of a valid character shown as that byte's character
// in code page 437, the ZIP format's own: a name without a decoding that still reads, and names that
// differ only in such bytes still differ.
QString readableName(QByteArrayView bytes);

// The bytes as UTF-8 that keeps them all: each byte that is not part of a valid character becomes
// the lone surrogate U+DC00 + byte, which encodedName turns back into that byte.
QString escapedName(QByteArrayView bytes);

// Whether the unit at index of text is an escaped byte (escapedName): a lone surrogate U+DC80..U+DCFF.
bool isEscapedByte(QStringView text, qsizetype index);

// A text as a program argument or a file path: UTF-8, with escaped bytes (escapedName) written as
// themselves.
QByteArray encodedName(const QString& text);

// The bytes of a name a tool printed in C quoting (GNU tar's --quoting-style=c), from its opening quote
// at from to its closing quote: "\\" and "\"", the usual letters ("\n", "\t", ...) and octal bytes
// ("\326") stand for themselves. Nothing when no closing quote follows.
std::optional<QByteArray> cUnquoted(QByteArrayView line, qsizetype from = 0);

}  // namespace ToolText
