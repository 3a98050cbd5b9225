#pragma once

#include "core/base/JsonFields.h"
#include "core/state/ArchivePasswordBookKind.h"

#include <QDateTime>
#include <QJsonObject>
#include <QUuid>

// One stored password. Its book follows from the scope key: "compression::..." keys belong to the
// compression book, every other key (archive keys, "manual::...") to the extraction book.
struct ArchivePasswordBookEntry {
    QUuid id;
    QString label;
    QString scopeKey;
    QString password;
    QDateTime createdAt;
    QDateTime lastUsedAt;
    qint64 useCount = 0;

    static inline const QString kCompressionScopePrefix = QStringLiteral("compression::");
    static inline const QString kManualScopePrefix = QStringLiteral("manual::");

    ArchivePasswordBookKind kind() const;

    // Field by field; texts compare by canonical equivalence.
    bool operator==(const ArchivePasswordBookEntry& other) const;

    // The book order: later `lastUsedAt` first, then higher `useCount`, then `label` in file-manager
    // order. Use with a stable sort so full ties keep their stored order.
    static bool displayOrder(const ArchivePasswordBookEntry& a, const ArchivePasswordBookEntry& b);

    // All seven members; the stored book writes dates as seconds since 2001, export files as ISO 8601.
    QJsonObject toJson(JsonFields::DateForm dates) const;
    // Every member is required. Throws JsonDecodingError.
    static ArchivePasswordBookEntry fromJson(const QJsonValue& value, JsonFields::DateForm dates);
};
