#include "core/state/ArchiveTask.h"

#include "core/base/EnumRawValues.h"
#include "core/base/JsonFields.h"
#include "core/base/UnicodeText.h"

using UnicodeText::canonicallyEqual;

bool ArchiveTask::operator==(const ArchiveTask& other) const {
    return id == other.id && canonicallyEqual(name, other.name) && canonicallyEqual(path, other.path) &&
           kind == other.kind && status == other.status && progress == other.progress &&
           canonicallyEqual(sizeDescription, other.sizeDescription) &&
           canonicallyEqual(targetPath, other.targetPath) && createdAt == other.createdAt &&
           updatedAt == other.updatedAt && canonicallyEqual(message, other.message) &&
           metadata == other.metadata;
}

QJsonObject ArchiveTask::toJson() const {
    using JsonFields::DateForm;
    using JsonFields::dateValue;
    QJsonObject object{
        {QStringLiteral("id"), JsonFields::uuidText(id)},
        {QStringLiteral("name"), name},
        {QStringLiteral("path"), path},
        {QStringLiteral("kind"), EnumRawValues::rawValue(kind)},
        {QStringLiteral("status"), EnumRawValues::rawValue(status)},
        {QStringLiteral("progress"), progress},
        {QStringLiteral("sizeDescription"), sizeDescription},
        {QStringLiteral("targetPath"), targetPath},
        {QStringLiteral("createdAt"), dateValue(createdAt, DateForm::iso8601)},
        {QStringLiteral("updatedAt"), dateValue(updatedAt, DateForm::iso8601)},
        {QStringLiteral("message"), message},
    };
    if (metadata) object.insert(QStringLiteral("metadata"), metadata->toJson());
    return object;
}

ArchiveTask ArchiveTask::fromJson(const QJsonValue& value) {
    using namespace JsonFields;
    const QJsonObject json = object(value);
    return {
        .id = uuid(json, QStringLiteral("id")),
        .name = string(json, QStringLiteral("name")),
        .path = string(json, QStringLiteral("path")),
        .kind = enumeration<ArchiveActivityKind>(json, QStringLiteral("kind"),
                                                 EnumRawValues::fromRawValue<ArchiveActivityKind>),
        .status = enumeration<ArchiveActivityStatus>(json, QStringLiteral("status"),
                                                     EnumRawValues::fromRawValue<ArchiveActivityStatus>),
        .progress = number(json, QStringLiteral("progress")),
        .sizeDescription = string(json, QStringLiteral("sizeDescription")),
        .targetPath = string(json, QStringLiteral("targetPath")),
        .createdAt = date(json, QStringLiteral("createdAt"), DateForm::iso8601),
        .updatedAt = date(json, QStringLiteral("updatedAt"), DateForm::iso8601),
        .message = string(json, QStringLiteral("message")),
        .metadata = ArchiveTaskMetadata::fromMember(json, QStringLiteral("metadata")),
    };
}
