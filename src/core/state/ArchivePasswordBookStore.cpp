#include "core/state/ArchivePasswordBookStore.h"

#include "core/base/EnumRawValues.h"
#include "core/base/FileNameHelper.h"
#include "core/base/FileSystemError.h"
#include "core/base/SplitArchiveDetector.h"
#include "core/base/UnicodeText.h"
#include "core/state/PasswordImportFile.h"

#include <QFile>
#include <QSet>
#include <algorithm>

using Entry = ArchivePasswordBookEntry;
using JsonFields::DateForm;
using UnicodeText::canonicallyEqual;

namespace {

const QString kBookKey = QStringLiteral("archivePasswordBook");

QByteArray encodeBook(const QList<Entry>& entries, DateForm dates, QJsonDocument::JsonFormat format) {
    return JsonFields::encodeArray(
        entries, [dates](const Entry& entry) { return entry.toJson(dates); }, format);
}

QList<Entry> sorted(QList<Entry> entries) {
    std::stable_sort(entries.begin(), entries.end(), &Entry::displayOrder);
    return entries;
}

}  // namespace

ArchivePasswordBookStore::ArchivePasswordBookStore(DefaultsStore defaults, Clock clock)
    : m_defaults(std::move(defaults)), m_clock(std::move(clock)) {}

QList<Entry> ArchivePasswordBookStore::entries() const { return sorted(decodeEntries().entries); }

ArchivePasswordBookStore::Book ArchivePasswordBookStore::book() const {
    Book read = decodeEntries();
    read.entries = sorted(std::move(read.entries));
    return read;
}

QString ArchivePasswordBookStore::filePath() const { return m_defaults.filePath(kBookKey); }

QList<Entry> ArchivePasswordBookStore::entries(ArchivePasswordBookKind kind) const {
    QList<Entry> book = entries();
    book.removeIf([kind](const Entry& entry) { return entry.kind() != kind; });
    return book;
}

ArchivePasswordBookStore::Addition ArchivePasswordBookStore::addManualPassword(const QString& password,
                                                                               const QString& label,
                                                                               ArchivePasswordBookKind kind) {
    const QString trimmed = password.trimmed();
    if (trimmed.isEmpty()) return {};
    const Book read = decodeEntries();
    QList<Entry> entries = read.entries;
    const QString normalizedLabel = normalizedManualLabel(label, entries.size() + 1);
    const qsizetype index =
        refreshOrAppend(entries, manualScopeKey(normalizedLabel, kind), trimmed, normalizedLabel, false);
    if (std::optional<QString> failure = write(entries, read)) return {.entry = {}, .failure = failure};
    return {.entry = entries[index], .failure = {}};
}

std::optional<QString> ArchivePasswordBookStore::update(const QUuid& entryID, const QString& label,
                                                        const QString& password) {
    const QString trimmed = password.trimmed();
    if (trimmed.isEmpty()) return std::nullopt;
    const Book read = decodeEntries();
    QList<Entry> entries = read.entries;
    const auto found =
        std::find_if(entries.begin(), entries.end(), [&](const Entry& e) { return e.id == entryID; });
    if (found == entries.end()) return std::nullopt;
    const ArchivePasswordBookKind kind = found->kind();
    found->label = normalizedManualLabel(label, std::distance(entries.begin(), found) + 1);
    found->password = trimmed;
    if (found->scopeKey.startsWith(Entry::kManualScopePrefix) ||
        found->scopeKey.startsWith(Entry::kCompressionScopePrefix)) {
        found->scopeKey = manualScopeKey(found->label, kind);
    }
    return write(entries, read);
}

std::optional<QString> ArchivePasswordBookStore::removeEntry(const QUuid& id) {
    const Book read = decodeEntries();
    QList<Entry> entries = read.entries;
    entries.removeIf([&](const Entry& entry) { return entry.id == id; });
    return write(entries, read);
}

std::optional<QString> ArchivePasswordBookStore::removeAll() { return m_defaults.remove(kBookKey); }

ArchivePasswordBookStore::Import ArchivePasswordBookStore::importPasswords(const QString& fileURL,
                                                                           ArchivePasswordBookKind kind) {
    QFile file(fileURL);
    if (!file.open(QIODevice::ReadOnly)) {
        throw FileSystemError::fromFile(FileSystemError::Kind::openFailed, fileURL, file);
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        throw FileSystemError::fromFile(FileSystemError::Kind::readFailed, fileURL, file);
    }
    const QList<std::pair<QString, QString>> pairs = PasswordImportFile::pairs(bytes);

    const Book read = decodeEntries();
    QList<Entry> entries = read.entries;
    int count = 0;
    for (const auto& [label, password] : pairs) {
        const QString trimmed = password.trimmed();
        if (trimmed.isEmpty()) continue;
        const QString normalizedLabel = normalizedManualLabel(label, entries.size() + 1);
        refreshOrAppend(entries, manualScopeKey(normalizedLabel, kind), trimmed, normalizedLabel, false);
        ++count;
    }
    if (std::optional<QString> failure = write(entries, read)) return {.count = 0, .failure = failure};
    return {.count = count, .failure = {}};
}

QByteArray ArchivePasswordBookStore::exportData(ArchivePasswordBookKind kind) const {
    return encodeBook(entries(kind), DateForm::iso8601, QJsonDocument::Indented);
}

ArchivePasswordBookStore::Addition ArchivePasswordBookStore::remember(const QString& password,
                                                                      const QString& fileURL,
                                                                      const std::optional<QString>& label) {
    const QString trimmed = password.trimmed();
    if (trimmed.isEmpty()) return {};
    const Book read = decodeEntries();
    QList<Entry> entries = read.entries;
    const QString fileName = FileNameHelper::lastPathComponent(fileURL);
    QString entryLabel = label ? label->trimmed() : QString();
    if (entryLabel.isEmpty()) {
        const auto match = SplitArchiveDetector::detect(fileName);
        entryLabel = match ? match->displayName : fileName;
    }
    const qsizetype index = refreshOrAppend(entries, scopeKey(fileURL), trimmed, entryLabel, true);
    if (std::optional<QString> failure = write(entries, read)) return {.entry = {}, .failure = failure};
    return {.entry = entries[index], .failure = {}};
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

// Entry by entry, so one damaged entry costs only itself. Whatever could not be read is kept aside at
// once: the page names the copy, and no later write can replace the only copy of it.
ArchivePasswordBookStore::Book ArchivePasswordBookStore::decodeEntries() const {
    const DefaultsStore::Stored stored = m_defaults.read(kBookKey);
    Book read;
    if (stored.readFailure) {
        read.condition.unreadable = stored.readFailure;
        return read;
    }
    if (!stored.bytes || stored.bytes->isEmpty()) return read;
    const auto decoded = JsonFields::decodeEach<Entry>(*stored.bytes, [](const QJsonValue& value) {
        return Entry::fromJson(value, DateForm::referenceSeconds);
    });
    if (decoded) {
        read.entries = decoded->records;
        read.condition.skippedEntries = decoded->skipped;
    } else {
        read.condition.damaged = true;
    }
    if (read.condition.damaged || read.condition.skippedEntries > 0) {
        const DefaultsStore::KeptCopy kept = m_defaults.keepAside(kBookKey, *stored.bytes, m_clock());
        read.condition.keptCopy = kept.path;
        read.condition.keepFailure = kept.failure;
    }
    return read;
}

std::optional<QString> ArchivePasswordBookStore::write(const QList<Entry>& entries, const Book& read) {
    if (read.condition.keepFailure) {
        return QStringLiteral(u"无法另存无法读取的密码本（") + *read.condition.keepFailure +
               QStringLiteral(u"）");
    }
    const QByteArray bytes =
        encodeBook(deduplicated(entries), DateForm::referenceSeconds, QJsonDocument::Compact);
    return m_defaults.write(kBookKey, bytes);
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
        return EnumRawValues::rawValue(match->format) + QStringLiteral("::") + match->baseName.toLower();
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
