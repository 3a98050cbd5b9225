#include "viewmodels/PasswordBookPageRules.h"

namespace PasswordBookPageRules {

QString bookTitle(ArchivePasswordBookKind kind) {
    return kind == ArchivePasswordBookKind::compression ? QStringLiteral(u"压缩密码本")
                                                        : QStringLiteral(u"解压密码本");
}

QString passwordColumnTitle(ArchivePasswordBookKind kind) {
    return kind == ArchivePasswordBookKind::compression ? QStringLiteral(u"压缩密码（单击编辑）")
                                                        : QStringLiteral(u"密码（单击编辑）");
}

QString exportFileName(ArchivePasswordBookKind kind) {
    return kind == ArchivePasswordBookKind::compression ? QStringLiteral("velmora-compress-passwords.json")
                                                        : QStringLiteral("velmora-extract-passwords.json");
}

QString normalizedQuery(const QString& search) { return search.trimmed().toLower(); }

bool isShown(const ArchivePasswordBookEntry& entry, ArchivePasswordBookKind kind, const QString& query) {
    if (entry.kind() != kind) return false;
    if (query.isEmpty()) return true;
    return entry.label.toLower().contains(query) || entry.password.toLower().contains(query) ||
           entry.scopeKey.toLower().contains(query);
}

QList<ArchivePasswordBookEntry> filteredEntries(const QList<ArchivePasswordBookEntry>& entries,
                                                ArchivePasswordBookKind kind, const QString& search) {
    const QString query = normalizedQuery(search);
    QList<ArchivePasswordBookEntry> shown;
    for (const ArchivePasswordBookEntry& entry : entries) {
        if (isShown(entry, kind, query)) shown << entry;
    }
    return shown;
}

QString countText(qsizetype count) { return QString::number(count) + QStringLiteral(u" 条"); }

QString maskedPassword(const QString& password) { return QString(password.toUcs4().size(), QChar(0x2022)); }

bool canDelete(const std::optional<QUuid>& selectedEntryID) { return selectedEntryID.has_value(); }

bool canExport(qsizetype storedEntriesOfKind) { return storedEntriesOfKind > 0; }

bool canSave(const QString& newPassword) { return !newPassword.trimmed().isEmpty(); }

QString conditionText(const ArchivePasswordBookStore::Condition& condition, const QString& bookPath) {
    if (condition.unreadable) {
        return QStringLiteral(u"无法读取密码本文件 ") + bookPath + QStringLiteral(u"（") +
               *condition.unreadable + QStringLiteral(u"）。在它能被读取之前，对密码本的更改都无法保存。");
    }
    QString text;
    if (condition.damaged) {
        text = QStringLiteral(u"密码本文件已损坏，其中的密码都无法读取。");
    } else if (condition.skippedEntries > 0) {
        text = QStringLiteral(u"密码本中有 ") + QString::number(condition.skippedEntries) +
               QStringLiteral(u" 条记录无法读取，已跳过。");
    } else {
        return {};
    }
    if (condition.keepFailure) {
        return text + QStringLiteral(u"原文件无法另存（") + *condition.keepFailure +
               QStringLiteral(u"），在另存成功之前，对密码本的更改都不会保存。");
    }
    return text + QStringLiteral(u"原文件已另存为 ") + condition.keptCopy.value_or(QString()) +
           QStringLiteral(u"。");
}

}  // namespace PasswordBookPageRules
