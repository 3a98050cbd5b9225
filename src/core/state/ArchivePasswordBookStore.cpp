#include "core/state/ArchivePasswordBookStore.h"

#include "core/engine/FileNameHelper.h"
#include "core/engine/FileSystemError.h"
#include "core/split/SplitArchiveDetector.h"
#include "core/state/UnicodeText.h"

#include <QFile>
#include <QSet>
#include <algorithm>

using Entry = ArchivePasswordBookEntry;
using JsonFields::DateForm;
using UnicodeText::canonicallyEqual;

namespace {

const QString kBookKey = QStringLiteral("archivePasswordBook");

bool isLineBreak(QChar character) {
    switch (character.unicode()) {
        case 0x000A:
        case 0x000B:
        case 0x000C:
        case 0x000D:
        case 0x0085:
        case 0x2028:
        case 0x2029:
            return true;
        default:
            return false;
    }
}

// Every line-break character ends a piece, so "\r\n" leaves an empty piece between two lines.
QStringList linePieces(const QString& text) {
    QStringList pieces{QString()};
    for (QChar character : text) {
        if (isLineBreak(character)) {
            pieces << QString();
        } else {
            pieces.last() += character;
        }
    }
    return pieces;
}

// At most two parts at commas, never an empty one: leading commas are skipped, the first comma after
// some text ends the first part, and all that follows it, further commas included, is the second.
QStringList commaParts(const QString& text) {
    qsizetype start = 0;
    while (start < text.size() && text[start] == QLatin1Char(',')) ++start;
    if (start == text.size()) return {};
    const qsizetype comma = text.indexOf(QLatin1Char(','), start);
    if (comma < 0) return {text.mid(start)};
    const QString rest = text.mid(comma + 1);
    if (rest.isEmpty()) return {text.mid(start, comma - start)};
    return {text.mid(start, comma - start), rest};
}

QList<std::pair<QString, QString>> textLinePairs(const QByteArray& bytes) {
    QList<std::pair<QString, QString>> pairs;
    const QStringList pieces = linePieces(QString::fromUtf8(bytes));
    for (qsizetype i = 0; i < pieces.size(); ++i) {
        const QString line = pieces[i].trimmed();
        if (line.isEmpty()) continue;
        const QStringList parts = commaParts(line);
        if (parts.size() == 2) {
            pairs.append({parts[0].trimmed(), parts[1].trimmed()});
        } else {
            pairs.append({QStringLiteral(u"导入密码 ") + QString::number(i + 1), line});
        }
    }
    return pairs;
}

std::optional<QList<Entry>> decodeBook(const QByteArray& bytes, DateForm dates) {
    return JsonFields::decodeArray<Entry>(
        bytes, [dates](const QJsonValue& value) { return Entry::fromJson(value, dates); });
}

QByteArray encodeBook(const QList<Entry>& entries, DateForm dates, QJsonDocument::JsonFormat format) {
    return JsonFields::encodeArray(
        entries, [dates](const Entry& entry) { return entry.toJson(dates); }, format);
}

QList<Entry> sorted(QList<Entry> entries) {
    std::stable_sort(entries.begin(), entries.end(), &Entry::displayOrder);
    return entries;
}

// A JSON export (ISO 8601 dates, else stored-book dates) with at least one entry gives its labels and
// passwords; anything else is read as text lines.
QList<std::pair<QString, QString>> importedPairs(const QByteArray& bytes) {
    std::optional<QList<Entry>> exported = decodeBook(bytes, DateForm::iso8601);
    if (!exported) exported = decodeBook(bytes, DateForm::referenceSeconds);
    if (!exported || exported->isEmpty()) return textLinePairs(bytes);
    QList<std::pair<QString, QString>> pairs;
    for (const Entry& entry : *exported) {
        pairs.append({entry.label.isEmpty() ? QStringLiteral(u"未命名密码") : entry.label, entry.password});
    }
    return pairs;
}

}  // namespace

ArchivePasswordBookStore::ArchivePasswordBookStore(DefaultsStore defaults, Clock clock)
    : m_defaults(std::move(defaults)), m_clock(std::move(clock)) {}

QList<Entry> ArchivePasswordBookStore::entries() const { return sorted(decodeEntries().entries); }

QList<Entry> ArchivePasswordBookStore::entries(ArchivePasswordBookKind kind) const {
    QList<Entry> book = entries();
    book.removeIf([kind](const Entry& entry) { return entry.kind() != kind; });
    return book;
}

std::optional<Entry> ArchivePasswordBookStore::addManualPassword(const QString& password,
                                                                 const QString& label,
                                                                 ArchivePasswordBookKind kind) {
    const QString trimmed = password.trimmed();
    if (trimmed.isEmpty()) return std::nullopt;
    const StoredEntries read = decodeEntries();
    QList<Entry> entries = read.entries;
    const QString normalizedLabel = normalizedManualLabel(label, entries.size() + 1);
    const qsizetype index =
        refreshOrAppend(entries, manualScopeKey(normalizedLabel, kind), trimmed, normalizedLabel, false);
    const Entry result = entries[index];
    write(entries, read);
    return result;
}

void ArchivePasswordBookStore::update(const QUuid& entryID, const QString& label, const QString& password) {
    const QString trimmed = password.trimmed();
    if (trimmed.isEmpty()) return;
    const StoredEntries read = decodeEntries();
    QList<Entry> entries = read.entries;
    const auto found =
        std::find_if(entries.begin(), entries.end(), [&](const Entry& e) { return e.id == entryID; });
    if (found == entries.end()) return;
    const ArchivePasswordBookKind kind = found->kind();
    found->label = normalizedManualLabel(label, std::distance(entries.begin(), found) + 1);
    found->password = trimmed;
    if (found->scopeKey.startsWith(Entry::kManualScopePrefix) ||
        found->scopeKey.startsWith(Entry::kCompressionScopePrefix)) {
        found->scopeKey = manualScopeKey(found->label, kind);
    }
    write(entries, read);
}

bool ArchivePasswordBookStore::removeEntry(const QUuid& id) {
    const StoredEntries read = decodeEntries();
    QList<Entry> entries = read.entries;
    entries.removeIf([&](const Entry& entry) { return entry.id == id; });
    return write(entries, read);
}

void ArchivePasswordBookStore::removeAll() { m_defaults.remove(kBookKey); }

int ArchivePasswordBookStore::importPasswords(const QString& fileURL, ArchivePasswordBookKind kind) {
    QFile file(fileURL);
    if (!file.open(QIODevice::ReadOnly)) {
        throw FileSystemError(FileSystemError::Kind::openFailed, fileURL, file.errorString());
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        throw FileSystemError(FileSystemError::Kind::readFailed, fileURL, file.errorString());
    }

    const StoredEntries read = decodeEntries();
    QList<Entry> entries = read.entries;
    int count = 0;
    for (const auto& [label, password] : importedPairs(bytes)) {
        const QString trimmed = password.trimmed();
        if (trimmed.isEmpty()) continue;
        const QString normalizedLabel = normalizedManualLabel(label, entries.size() + 1);
        refreshOrAppend(entries, manualScopeKey(normalizedLabel, kind), trimmed, normalizedLabel, false);
        ++count;
    }
    write(entries, read);
    return count;
}

QByteArray ArchivePasswordBookStore::exportData(ArchivePasswordBookKind kind) const {
    return encodeBook(entries(kind), DateForm::iso8601, QJsonDocument::Indented);
}

bool ArchivePasswordBookStore::remember(const QString& password, const QString& fileURL,
                                        const std::optional<QString>& label) {
    const QString trimmed = password.trimmed();
    if (trimmed.isEmpty()) return false;
    const StoredEntries read = decodeEntries();
    QList<Entry> entries = read.entries;
    const QString fileName = FileNameHelper::lastPathComponent(fileURL);
    QString entryLabel = label ? label->trimmed() : QString();
    if (entryLabel.isEmpty()) {
        const auto match = SplitArchiveDetector::detect(fileName);
        entryLabel = match ? match->displayName : fileName;
    }
    refreshOrAppend(entries, scopeKey(fileURL), trimmed, entryLabel, true);
    write(entries, read);
    return true;
}

QStringList ArchivePasswordBookStore::candidatePasswords(const QString& fileURL) const {
    const QString archiveKey = scopeKey(fileURL);
    QStringList own;
    QStringList others;
    for (const Entry& entry : entries(ArchivePasswordBookKind::extraction)) {
        (canonicallyEqual(entry.scopeKey, archiveKey) ? own : others) << entry.password;
    }
    return UnicodeText::uniqued(own + others);
}

ArchivePasswordBookStore::StoredEntries ArchivePasswordBookStore::decodeEntries() const {
    const std::optional<QByteArray> bytes = m_defaults.data(kBookKey);
    if (!bytes || bytes->isEmpty()) return {};
    const std::optional<QList<Entry>> entries = decodeBook(*bytes, DateForm::referenceSeconds);
    if (!entries) return {.entries = {}, .undecodable = true};
    return {.entries = *entries, .undecodable = false};
}

bool ArchivePasswordBookStore::write(const QList<Entry>& entries, const StoredEntries& read) {
    const QByteArray bytes =
        encodeBook(deduplicated(entries), DateForm::referenceSeconds, QJsonDocument::Compact);
    if (read.undecodable) m_defaults.keepUndecodableValue(kBookKey);
    return m_defaults.setData(kBookKey, bytes);
}

qsizetype ArchivePasswordBookStore::refreshOrAppend(QList<Entry>& entries, const QString& scopeKey,
                                                    const QString& password, const QString& label,
                                                    bool countsAsUse) const {
    const QDateTime now = m_clock();
    for (qsizetype i = 0; i < entries.size(); ++i) {
        Entry& entry = entries[i];
        if (!canonicallyEqual(entry.scopeKey, scopeKey) || !canonicallyEqual(entry.password, password))
            continue;
        entry.label = label;
        entry.lastUsedAt = now;
        if (countsAsUse) entry.useCount += 1;
        return i;
    }
    entries.append({
        .id = QUuid::createUuid(),
        .label = label,
        .scopeKey = scopeKey,
        .password = password,
        .createdAt = now,
        .lastUsedAt = now,
        .useCount = countsAsUse ? 1 : 0,
    });
    return entries.size() - 1;
}

QList<Entry> ArchivePasswordBookStore::deduplicated(const QList<Entry>& entries) {
    QList<Entry> kept;
    QSet<std::pair<QString, QString>> seen;
    for (const Entry& entry : entries) {
        const std::pair<QString, QString> key{UnicodeText::canonicalKey(entry.scopeKey),
                                              UnicodeText::canonicalKey(entry.password)};
        if (seen.contains(key)) continue;
        seen.insert(key);
        kept << entry;
    }
    return kept;
}

QString ArchivePasswordBookStore::scopeKey(const QString& fileURL) {
    const QString fileName = FileNameHelper::lastPathComponent(fileURL);
    if (const auto match = SplitArchiveDetector::detect(fileName)) {
        return SplitArchiveFormats::rawValue(match->format) + QStringLiteral("::") +
               match->baseName.toLower();
    }
    return FileNameHelper::pathExtension(fileURL).toLower() + QStringLiteral("::") +
           FileNameHelper::archiveBaseName(fileURL).toLower();
}

QString ArchivePasswordBookStore::manualScopeKey(const QString& label, ArchivePasswordBookKind kind) {
    QString slug = label.toLower();
    slug.replace(QLatin1Char(' '), QLatin1Char('-'));
    qsizetype start = 0;
    qsizetype end = slug.size();
    while (start < end && slug[start] == QLatin1Char('-')) ++start;
    while (end > start && slug[end - 1] == QLatin1Char('-')) --end;
    slug = slug.mid(start, end - start);
    // A label of blanks and hyphens only gets a key of its own that no later label can produce.
    if (slug.isEmpty()) slug = JsonFields::uuidText(QUuid::createUuid());
    const QString prefix = kind == ArchivePasswordBookKind::compression ? Entry::kCompressionScopePrefix
                                                                        : Entry::kManualScopePrefix;
    return prefix + slug;
}

QString ArchivePasswordBookStore::normalizedManualLabel(const QString& label, qsizetype fallbackIndex) {
    const QString trimmed = label.trimmed();
    if (!trimmed.isEmpty()) return trimmed;
    return QStringLiteral(u"密码 ") + QString::number(fallbackIndex);
}
