#include "core/state/ArchivePasswordBookEntry.h"

#include "core/base/UnicodeText.h"

using UnicodeText::canonicallyEqual;

ArchivePasswordBookKind ArchivePasswordBookEntry::kind() const {
    return scopeKey.startsWith(kCompressionScopePrefix) ? ArchivePasswordBookKind::compression
                                                        : ArchivePasswordBookKind::extraction;
}

bool ArchivePasswordBookEntry::operator==(const ArchivePasswordBookEntry& other) const {
    return id == other.id && canonicallyEqual(label, other.label) &&
           canonicallyEqual(scopeKey, other.scopeKey) && canonicallyEqual(password, other.password) &&
           createdAt == other.createdAt && lastUsedAt == other.lastUsedAt && useCount == other.useCount;
}

bool ArchivePasswordBookEntry::displayOrder(const ArchivePasswordBookEntry& a,
                                            const ArchivePasswordBookEntry& b) {
    if (a.lastUsedAt != b.lastUsedAt) return a.lastUsedAt > b.lastUsedAt;
    if (a.useCount != b.useCount) return a.useCount > b.useCount;
    return UnicodeText::localizedStandardCompare(a.label, b.label) < 0;
}

QJsonObject ArchivePasswordBookEntry::toJson(JsonFields::DateForm dates) const {
    return {
        {QStringLiteral("id"), JsonFields::uuidText(id)},
        {QStringLiteral("label"), label},
        {QStringLiteral("scopeKey"), scopeKey},
        {QStringLiteral("password"), password},
        {QStringLiteral("createdAt"), JsonFields::dateValue(createdAt, dates)},
        {QStringLiteral("lastUsedAt"), JsonFields::dateValue(lastUsedAt, dates)},
        {QStringLiteral("useCount"), useCount},
    };
}

ArchivePasswordBookEntry ArchivePasswordBookEntry::fromJson(const QJsonValue& value,
                                                            JsonFields::DateForm dates) {
    using namespace JsonFields;
    const QJsonObject json = object(value);
    return {
        .id = uuid(json, QStringLiteral("id")),
        .label = string(json, QStringLiteral("label")),
        .scopeKey = string(json, QStringLiteral("scopeKey")),
        .password = string(json, QStringLiteral("password")),
        .createdAt = date(json, QStringLiteral("createdAt"), dates),
        .lastUsedAt = date(json, QStringLiteral("lastUsedAt"), dates),
        .useCount = integer(json, QStringLiteral("useCount")),
    };
}
