#pragma once

#include <QString>

// Stored texts (paths, scope keys, passwords) compare by Unicode canonical equivalence, so a name
// typed precomposed matches the same name decomposed, as file managers often write it.
namespace UnicodeText {
bool canonicallyEqual(const QString& lhs, const QString& rhs);
}  // namespace UnicodeText
