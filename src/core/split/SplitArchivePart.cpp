#include "core/split/SplitArchivePart.h"

#include "core/base/JsonFields.h"

QJsonObject SplitArchivePart::toJson() const {
    QJsonObject object{
        {QStringLiteral("id"), id},
        {QStringLiteral("index"), index},
        {QStringLiteral("displayNumber"), displayNumber},
        {QStringLiteral("expectedFileName"), expectedFileName},
        {QStringLiteral("byteSize"), byteSize},
        {QStringLiteral("isPrimary"), isPrimary},
        {QStringLiteral("status"), status.toJson()},
    };
    if (url) object.insert(QStringLiteral("url"), JsonFields::fileURLValue(*url));
    return object;
}

SplitArchivePart SplitArchivePart::fromJson(const QJsonValue& value) {
    using namespace JsonFields;
    const QJsonObject json = object(value);
    return {
        .id = string(json, QStringLiteral("id")),
        .index = integer(json, QStringLiteral("index")),
        .displayNumber = string(json, QStringLiteral("displayNumber")),
        .expectedFileName = string(json, QStringLiteral("expectedFileName")),
        .url = optionalFileURL(json, QStringLiteral("url")),
        .byteSize = integer(json, QStringLiteral("byteSize")),
        .isPrimary = boolean(json, QStringLiteral("isPrimary")),
        .status = SplitArchivePartStatus::fromJson(json.value(QStringLiteral("status"))),
    };
}
