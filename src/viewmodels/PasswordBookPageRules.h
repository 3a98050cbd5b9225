#pragma once

#include "core/state/ArchivePasswordBookEntry.h"
#include "core/state/ArchivePasswordBookKind.h"
#include "core/state/ArchivePasswordBookStore.h"

#include <QList>
#include <QString>
#include <QUuid>
#include <optional>

// What the password book page shows and allows, apart from the widgets: one implementation shared by
// the page, its filter proxy and the tests.
namespace PasswordBookPageRules {

// "解压密码本" / "压缩密码本".
QString bookTitle(ArchivePasswordBookKind kind);
// The password column's header.
QString passwordColumnTitle(ArchivePasswordBookKind kind);
// The file name the export proposes.
QString exportFileName(ArchivePasswordBookKind kind);

// The search text as the filter compares it: trimmed, lower-cased.
QString normalizedQuery(const QString& search);
// The entry is in the shown book and its label, password or scope key contains the query.
bool isShown(const ArchivePasswordBookEntry& entry, ArchivePasswordBookKind kind, const QString& query);
// The entries the table lists, in their stored order.
QList<ArchivePasswordBookEntry> filteredEntries(const QList<ArchivePasswordBookEntry>& entries,
                                                ArchivePasswordBookKind kind, const QString& search);

// "12 条": the number of listed entries.
QString countText(qsizetype count);
// One "•" per character, so a masked cell tells the length and nothing else.
QString maskedPassword(const QString& password);

// "删除" needs a selected entry, which may be hidden by the search.
bool canDelete(const std::optional<QUuid>& selectedEntryID);
// "批量导出" needs a stored entry in the shown book, whatever the search hides.
bool canExport(qsizetype storedEntriesOfKind);
// The add sheet's "保存" needs a password that is not blank.
bool canSave(const QString& newPassword);

// What the page says about a stored book that could not be read whole (bookPath is its file): how many
// entries were left out and where the file was kept, or why nothing can be saved. Empty for a sound book.
QString conditionText(const ArchivePasswordBookStore::Condition& condition, const QString& bookPath);

}  // namespace PasswordBookPageRules
