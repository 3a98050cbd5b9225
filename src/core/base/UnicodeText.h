#pragma once

#include <QCollatorSortKey>
#include <QString>
#include <QStringList>

// The text rules the stored records share: equality is canonical equivalence, lengths are counted in
// user-perceived characters, and names sort the way a file manager lists them.
namespace UnicodeText {

// True when both texts are canonically equivalent (equal in their NFC forms).
bool canonicallyEqual(const QString& a, const QString& b);
bool canonicallyEqual(const QStringList& a, const QStringList& b);

// The form in which canonically equivalent texts are identical; a key for lookups.
QString canonicalKey(const QString& text);

// The same texts in the same order, every later repetition (canonically equivalent text) removed.
QStringList uniqued(const QStringList& texts);

// The first `count` extended grapheme clusters of text, or the whole text when it has no more.
QString leadingGraphemes(const QString& text, int count, bool* truncated = nullptr);

// File-manager order: case-insensitive, runs of digits compared by value, per the user's collation
// locale (Simplified Chinese when the system runs in the C locale, whose collation has neither a
// numeric order nor one for Chinese).
int localizedStandardCompare(const QString& a, const QString& b);
// A key that orders as localizedStandardCompare does, for sorting many names at once.
QCollatorSortKey localizedStandardSortKey(const QString& text);

}  // namespace UnicodeText
