#include "core/state/ArchiveHistoryRecord.h"

#include "core/base/EnumRawValues.h"
#include "core/base/JsonFields.h"
#include "core/base/UnicodeText.h"

using UnicodeText::canonicallyEqual;

bool ArchiveHistoryRecord::operator==(const ArchiveHistoryRecord& other) const {
    return id == other.id && canonicallyEqual(fileName, other.fileName) &&
           canonicallyEqual(path, other.path) && kind == other.kind && status == other.status &&
           createdAt == other.createdAt && canonicallyEqual(sizeDescription, other.sizeDescription) &&
           canonicallyEqual(message, other.message) && metadata == other.metadata;
}

QJsonObject ArchiveHistoryRecord::toJson() const {
    QJsonObject object{
        {QStringLiteral("id"), JsonFields::uuidText(id)},
        {QStringLiteral("fileName"), fileName},
        {QStringLiteral("path"), path},
        {QStringLiteral("kind"), EnumRawValues::rawValue(kind)},
        {QStringLiteral("status"), EnumRawValues::rawValue(status)},
        {QStringLiteral("createdAt"), JsonFields::dateValue(createdAt, JsonFields::DateForm::iso8601)},
        {QStringLiteral("sizeDescription"), sizeDescription},
        {QStringLiteral("message"), message},
    };
    if (metadata) object.insert(QStringLiteral("metadata"), metadata->toJson());
    return object;
}

ArchiveHistoryRecord ArchiveHistoryRecord::fromJson(const QJsonValue& value) {
    using namespace JsonFields;
    const QJsonObject json = object(value);
    return {
        .id = uuid(json, QStringLiteral("id")),
        .fileName = string(json, QStringLiteral("fileName")),
        .path = string(json, QStringLiteral("path")),
        .kind = enumeration<ArchiveActivityKind>(json, QStringLiteral("kind"),
                                                 EnumRawValues::fromRawValue<ArchiveActivityKind>),
        .status = enumeration<ArchiveActivityStatus>(json, QStringLiteral("status"),
                                                     EnumRawValues::fromRawValue<ArchiveActivityStatus>),
        .createdAt = date(json, QStringLiteral("createdAt"), DateForm::iso8601),
        .sizeDescription = string(json, QStringLiteral("sizeDescription")),
        .message = string(json, QStringLiteral("message")),
        .metadata = ArchiveTaskMetadata::fromMember(json, QStringLiteral("metadata")),
    };
}
