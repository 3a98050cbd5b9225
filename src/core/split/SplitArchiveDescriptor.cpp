#include "core/split/SplitArchiveDescriptor.h"

#include "core/base/EnumRawValues.h"
#include "core/base/JsonFields.h"

#include <QJsonArray>
#include <algorithm>

qsizetype SplitArchiveDescriptor::foundPartCount() const {
    return std::count_if(parts.cbegin(), parts.cend(),
                         [](const SplitArchivePart& part) { return part.url.has_value(); });
}

QJsonObject SplitArchiveDescriptor::toJson() const {
    using JsonFields::insert;
    QJsonArray partArray;
    for (const SplitArchivePart& part : parts) partArray.append(part.toJson());
    QJsonObject object{
        {QStringLiteral("originalURL"), JsonFields::fileURLValue(originalURL)},
        {QStringLiteral("directoryURL"), JsonFields::fileURLValue(directoryURL)},
        {QStringLiteral("archiveName"), archiveName},
        {QStringLiteral("format"), EnumRawValues::rawValue(format)},
        {QStringLiteral("parts"), partArray},
        {QStringLiteral("missingPartFileNames"), QJsonArray::fromStringList(missingPartFileNames)},
        {QStringLiteral("duplicatePartFileNames"), QJsonArray::fromStringList(duplicatePartFileNames)},
        {QStringLiteral("namingIssueMessages"), QJsonArray::fromStringList(namingIssueMessages)},
        {QStringLiteral("unreadablePartFileNames"), QJsonArray::fromStringList(unreadablePartFileNames)},
        {QStringLiteral("validationState"), EnumRawValues::rawValue(validationState)},
    };
    if (primaryPartURL)
        object.insert(QStringLiteral("primaryPartURL"), JsonFields::fileURLValue(*primaryPartURL));
    insert(object, QStringLiteral("validationMessage"), validationMessage);
    insert(object, QStringLiteral("estimatedRequiredBytes"), estimatedRequiredBytes);
    insert(object, QStringLiteral("freeBytesAvailable"), freeBytesAvailable);
    return object;
}

SplitArchiveDescriptor SplitArchiveDescriptor::fromJson(const QJsonValue& value) {
    using namespace JsonFields;
    const QJsonObject json = object(value);
    QList<SplitArchivePart> parts;
    for (const QJsonValue& part : array(json.value(QStringLiteral("parts"))))
        parts << SplitArchivePart::fromJson(part);
    return {
        .originalURL = fileURL(json, QStringLiteral("originalURL")),
        .directoryURL = fileURL(json, QStringLiteral("directoryURL")),
        .archiveName = string(json, QStringLiteral("archiveName")),
        .format = enumeration<SplitArchiveFormat>(json, QStringLiteral("format"),
                                                  EnumRawValues::fromRawValue<SplitArchiveFormat>),
        .primaryPartURL = optionalFileURL(json, QStringLiteral("primaryPartURL")),
        .parts = parts,
        .missingPartFileNames = stringList(json, QStringLiteral("missingPartFileNames")),
        .duplicatePartFileNames = stringList(json, QStringLiteral("duplicatePartFileNames")),
        .namingIssueMessages = stringList(json, QStringLiteral("namingIssueMessages")),
        .unreadablePartFileNames = stringList(json, QStringLiteral("unreadablePartFileNames")),
        .validationState = enumeration<SplitArchiveValidationState>(
            json, QStringLiteral("validationState"),
            EnumRawValues::fromRawValue<SplitArchiveValidationState>),
        .validationMessage = optionalString(json, QStringLiteral("validationMessage")),
        .estimatedRequiredBytes = optionalInteger(json, QStringLiteral("estimatedRequiredBytes")),
        .freeBytesAvailable = optionalInteger(json, QStringLiteral("freeBytesAvailable")),
    };
}
