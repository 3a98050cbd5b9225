#include "core/base/UnicodeText.h"

#include <QCollator>
#include <QLocale>
#include <QSet>
#include <QTextBoundaryFinder>

namespace UnicodeText {

namespace {

// The user's collation (LC_COLLATE before LANG). The C locale has neither a numeric order nor an
// order for Chinese (it would sort names by code point), so it collates as the interface reads:
// Simplified Chinese, by pinyin, with Latin names in alphabetical order after them.
QLocale collationLocale() {
    const QLocale user = QLocale::system().collation();
    if (user.language() != QLocale::C) return user;
    return QLocale(QLocale::Chinese, QLocale::SimplifiedHanScript, QLocale::China);
}

QCollator makeCollator() {
    QCollator collator(collationLocale());
    collator.setNumericMode(true);
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    return collator;
}

}  // namespace

bool canonicallyEqual(const QString& a, const QString& b) {
    return a == b || canonicalKey(a) == canonicalKey(b);
}

bool canonicallyEqual(const QStringList& a, const QStringList& b) {
    if (a.size() != b.size()) return false;
    for (qsizetype i = 0; i < a.size(); ++i) {
        if (!canonicallyEqual(a[i], b[i])) return false;
    }
    return true;
}

QString canonicalKey(const QString& text) { return text.normalized(QString::NormalizationForm_C); }

QStringList uniqued(const QStringList& texts) {
    QStringList kept;
    QSet<QString> seen;
    for (const QString& text : texts) {
        if (seen.contains(canonicalKey(text))) continue;
        seen.insert(canonicalKey(text));
        kept << text;
    }
    return kept;
}

QString leadingGraphemes(const QString& text, int count, bool* truncated) {
    if (truncated) *truncated = false;
    if (count <= 0) {
        if (truncated) *truncated = !text.isEmpty();
        return {};
    }
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    int clusters = 0;
    while (finder.toNextBoundary() != -1) {
        if (++clusters < count) continue;
        const qsizetype end = finder.position();
        if (end >= text.size()) return text;
        if (truncated) *truncated = true;
        return text.left(end);
    }
    return text;
}

namespace {
// A collator is not safe to share between threads; each thread keeps its own.
const QCollator& threadCollator() {
    thread_local const QCollator collator = makeCollator();
    return collator;
}
}  // namespace

int localizedStandardCompare(const QString& a, const QString& b) { return threadCollator().compare(a, b); }

QCollatorSortKey localizedStandardSortKey(const QString& text) { return threadCollator().sortKey(text); }

}  // namespace UnicodeText
