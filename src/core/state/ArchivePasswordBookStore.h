#pragma once

#include "core/state/ArchivePasswordBookEntry.h"
#include "core/state/Clock.h"
#include "platform/DefaultsStore.h"

#include <QList>
#include <QStringList>
#include <optional>

// The password book: both books in one stored JSON array, in the order entries were added. Every
// operation reads the list afresh, changes it and writes it back whole; nothing is cached, so several
// stores over one defaults folder see each other's writes. Entries are read one by one: an entry that
// does not decode is left out, and the stored file is then kept aside (DefaultsStore::keepAside) before
// anything can be written over it. A change that cannot be saved leaves the stored book as it was and
// says why. GUI thread only.
class ArchivePasswordBookStore {
public:
    // What reading the stored book found besides its entries.
    struct Condition {
        // The system's reason the stored file cannot be read; nothing can be saved over it.
        std::optional<QString> unreadable;
        // The stored value is not a JSON array, so none of its entries could be read.
        bool damaged = false;
        // Entries left out because they did not decode.
        qsizetype skippedEntries = 0;
        // Where the stored file was kept when anything of it could not be read.
        std::optional<QString> keptCopy;
        // Why it could not be kept; nothing is saved until it can be.
        std::optional<QString> keepFailure;
    };
    struct Book {
        QList<ArchivePasswordBookEntry> entries;
        Condition condition;
    };
    // The entry added or refreshed, or why none was: the save's failure, or nothing for a blank password.
    struct Addition {
        std::optional<ArchivePasswordBookEntry> entry;
        std::optional<QString> failure;
    };
    // How many passwords an import took, or why it saved none.
    struct Import {
        int count = 0;
        std::optional<QString> failure;
    };

    explicit ArchivePasswordBookStore(DefaultsStore defaults, Clock clock = systemNow);

    // In book order.
    QList<ArchivePasswordBookEntry> entries() const;
    QList<ArchivePasswordBookEntry> entries(ArchivePasswordBookKind kind) const;
    // Every entry in book order, with what reading the stored file found.
    Book book() const;
    // The stored book's file.
    QString filePath() const;

    // Adds the trimmed password under a "manual::" or "compression::" key made from the label, or
    // refreshes the entry that already holds that key and password.
    Addition addManualPassword(const QString& password, const QString& label, ArchivePasswordBookKind kind);
    // An entry never changes book by editing; an archive key stays as it is. The reason when the book
    // could not be written; nothing otherwise (a blank password or an unknown id changes nothing).
    std::optional<QString> update(const QUuid& entryID, const QString& label, const QString& password);
    // The reason when the book could not be written; what is stored is then unchanged.
    std::optional<QString> removeEntry(const QUuid& id);
    // Both books. The reason when they could not be removed; what is stored is then unchanged.
    std::optional<QString> removeAll();

    // A JSON export (either date form) or text lines "label,password" / "password", into the given book
    // (PasswordImportFile). Counts the non-blank passwords taken. Throws FileSystemError when the file
    // cannot be read and PasswordImportError when it holds no passwords in either form.
    Import importPasswords(const QString& fileURL, ArchivePasswordBookKind kind);
    // One book in book order: indented JSON, members sorted by name, ISO 8601 dates, clear-text passwords.
    QByteArray exportData(ArchivePasswordBookKind kind) const;

    // Records a password that opened the archive under the archive's key (shared by all volumes of a
    // set). No entry when nothing was written: the password is blank, or the book could not be written
    // (the failure says why).
    Addition remember(const QString& password, const QString& fileURL,
                      const std::optional<QString>& label = std::nullopt);
    // Extraction passwords to try on the archive: its own first, then the others, each group in book
    // order, without repetitions.
    QStringList candidatePasswords(const QString& fileURL) const;

private:
    // In stored order.
    Book decodeEntries() const;
    // The reason when the book could not be written.
    std::optional<QString> write(const QList<ArchivePasswordBookEntry>& entries, const Book& read);
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
