#include "core/state/AppNotificationItem.h"

#include "core/base/JsonFields.h"
#include "core/base/UnicodeText.h"

using UnicodeText::canonicallyEqual;

bool AppNotificationItem::operator==(const AppNotificationItem& other) const {
    return id == other.id && canonicallyEqual(title, other.title) &&
           canonicallyEqual(message, other.message) && createdAt == other.createdAt && isRead == other.isRead;
}

QJsonObject AppNotificationItem::toJson() const {
    return {
        {QStringLiteral("id"), JsonFields::uuidText(id)},
        {QStringLiteral("title"), title},
        {QStringLiteral("message"), message},
        {QStringLiteral("createdAt"), JsonFields::dateValue(createdAt, JsonFields::DateForm::iso8601)},
        {QStringLiteral("isRead"), isRead},
    };
}

AppNotificationItem AppNotificationItem::fromJson(const QJsonValue& value) {
    using namespace JsonFields;
    const QJsonObject json = object(value);
    return {
        .id = uuid(json, QStringLiteral("id")),
        .title = string(json, QStringLiteral("title")),
        .message = string(json, QStringLiteral("message")),
        .createdAt = date(json, QStringLiteral("createdAt"), DateForm::iso8601),
        .isRead = boolean(json, QStringLiteral("isRead")),
    };
}
