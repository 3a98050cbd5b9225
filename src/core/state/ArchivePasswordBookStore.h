#pragma once

#include "core/state/ArchivePasswordBookEntry.h"
#include "core/state/Clock.h"
#include "platform/DefaultsStore.h"

#include <QList>
#include <QStringList>
#include <optional>

// The password book: both books in one stored JSON array, in the order entries were added. Every
// operation reads the list afresh, changes it and writes it back whole; nothing is cached, so several
// stores over one defaults folder see each other's writes. GUI thread only.
class ArchivePasswordBookStore {
public:
    explicit ArchivePasswordBookStore(DefaultsStore defaults, Clock clock = systemNow);

    // In book order.
    QList<ArchivePasswordBookEntry> entries() const;
    QList<ArchivePasswordBookEntry> entries(ArchivePasswordBookKind kind) const;

    // Adds the trimmed password under a "manual::" or "compression::" key made from the label, or
    // refreshes the entry that already holds that key and password. Nothing when the password is blank.
    std::optional<ArchivePasswordBookEntry> addManualPassword(const QString& password, const QString& label,
                                                              ArchivePasswordBookKind kind);
    // An entry never changes book by editing; an archive key stays as it is.
    void update(const QUuid& entryID, const QString& label, const QString& password);
    // False when the book could not be written; what is stored is then unchanged.
    bool removeEntry(const QUuid& id);
    // Both books.
    void removeAll();

    // A JSON export (either date form) or text lines "label,password" / "password", into the given book.
    // Returns the number of non-blank passwords taken. Throws FileSystemError when the file cannot be read.
    int importPasswords(const QString& fileURL, ArchivePasswordBookKind kind);
    // One book in book order: indented JSON, members sorted by name, ISO 8601 dates, clear-text passwords.
    QByteArray exportData(ArchivePasswordBookKind kind) const;

    // Records a password that opened the archive under the archive's key (shared by all volumes of a
    // set). False, and nothing written, when the password is blank.
    bool remember(const QString& password, const QString& fileURL,
                  const std::optional<QString>& label = std::nullopt);
    // Extraction passwords to try on the archive: its own first, then the others, each group in book
    // order, without repetitions.
    QStringList candidatePasswords(const QString& fileURL) const;

private:
    struct StoredEntries {
        QList<ArchivePasswordBookEntry> entries;
        // The stored value did not decode: it is kept aside before the next write replaces it.
        bool undecodable = false;
    };

    StoredEntries decodeEntries() const;
    // False when the defaults could not be written.
    bool write(const QList<ArchivePasswordBookEntry>& entries, const StoredEntries& read);
    // The index of the refreshed or appended entry.
    qsizetype refreshOrAppend(QList<ArchivePasswordBookEntry>& entries, const QString& scopeKey,
                              const QString& password, const QString& label, bool countsAsUse) const;

    static QList<ArchivePasswordBookEntry> deduplicated(const QList<ArchivePasswordBookEntry>& entries);
    static QString scopeKey(const QString& fileURL);
    static QString manualScopeKey(const QString& label, ArchivePasswordBookKind kind);
    static QString normalizedManualLabel(const QString& label, qsizetype fallbackIndex);

    DefaultsStore m_defaults;
    Clock m_clock;
};
