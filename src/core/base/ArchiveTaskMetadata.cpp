#include "core/base/ArchiveTaskMetadata.h"

#include "core/base/JsonFields.h"
#include "core/base/UnicodeText.h"

namespace {

bool sameText(const std::optional<QString>& a, const std::optional<QString>& b) {
    if (a.has_value() != b.has_value()) return false;
    return !a || UnicodeText::canonicallyEqual(*a, *b);
}

bool sameTexts(const std::optional<QStringList>& a, const std::optional<QStringList>& b) {
    if (a.has_value() != b.has_value()) return false;
    return !a || UnicodeText::canonicallyEqual(*a, *b);
}

}  // namespace

bool ArchiveTaskMetadata::operator==(const ArchiveTaskMetadata& other) const {
    return sameText(archiveFormat, other.archiveFormat) && sameText(primaryPartPath, other.primaryPartPath) &&
           totalPartCount == other.totalPartCount && foundPartCount == other.foundPartCount &&
           sameText(destinationPath, other.destinationPath) &&
           sameText(validationStatus, other.validationStatus) && currentPartIndex == other.currentPartIndex &&
           sameTexts(sourcePaths, other.sourcePaths) && sameText(outputBaseName, other.outputBaseName) &&
           splitSizeBytes == other.splitSizeBytes && estimatedPartCount == other.estimatedPartCount &&
           actualPartCount == other.actualPartCount && sameText(compressionLevel, other.compressionLevel) &&
           encryptionEnabled == other.encryptionEnabled && validationEnabled == other.validationEnabled &&
           sameTexts(outputFilePaths, other.outputFilePaths);
}

QJsonObject ArchiveTaskMetadata::toJson() const {
    using JsonFields::insert;
    QJsonObject object;
    insert(object, QStringLiteral("archiveFormat"), archiveFormat);
    insert(object, QStringLiteral("primaryPartPath"), primaryPartPath);
    insert(object, QStringLiteral("totalPartCount"), totalPartCount);
    insert(object, QStringLiteral("foundPartCount"), foundPartCount);
    insert(object, QStringLiteral("destinationPath"), destinationPath);
    insert(object, QStringLiteral("validationStatus"), validationStatus);
    insert(object, QStringLiteral("currentPartIndex"), currentPartIndex);
    insert(object, QStringLiteral("sourcePaths"), sourcePaths);
    insert(object, QStringLiteral("outputBaseName"), outputBaseName);
    insert(object, QStringLiteral("splitSizeBytes"), splitSizeBytes);
    insert(object, QStringLiteral("estimatedPartCount"), estimatedPartCount);
    insert(object, QStringLiteral("actualPartCount"), actualPartCount);
    insert(object, QStringLiteral("compressionLevel"), compressionLevel);
    insert(object, QStringLiteral("encryptionEnabled"), encryptionEnabled);
    insert(object, QStringLiteral("validationEnabled"), validationEnabled);
    insert(object, QStringLiteral("outputFilePaths"), outputFilePaths);
    return object;
}

ArchiveTaskMetadata ArchiveTaskMetadata::fromJson(const QJsonValue& value) {
    using namespace JsonFields;
    const QJsonObject json = object(value);
    return {
        .archiveFormat = optionalString(json, QStringLiteral("archiveFormat")),
        .primaryPartPath = optionalString(json, QStringLiteral("primaryPartPath")),
        .totalPartCount = optionalInteger(json, QStringLiteral("totalPartCount")),
        .foundPartCount = optionalInteger(json, QStringLiteral("foundPartCount")),
        .destinationPath = optionalString(json, QStringLiteral("destinationPath")),
        .validationStatus = optionalString(json, QStringLiteral("validationStatus")),
        .currentPartIndex = optionalInteger(json, QStringLiteral("currentPartIndex")),
        .sourcePaths = optionalStringList(json, QStringLiteral("sourcePaths")),
        .outputBaseName = optionalString(json, QStringLiteral("outputBaseName")),
        .splitSizeBytes = optionalInteger(json, QStringLiteral("splitSizeBytes")),
        .estimatedPartCount = optionalInteger(json, QStringLiteral("estimatedPartCount")),
        .actualPartCount = optionalInteger(json, QStringLiteral("actualPartCount")),
        .compressionLevel = optionalString(json, QStringLiteral("compressionLevel")),
        .encryptionEnabled = optionalBoolean(json, QStringLiteral("encryptionEnabled")),
        .validationEnabled = optionalBoolean(json, QStringLiteral("validationEnabled")),
        .outputFilePaths = optionalStringList(json, QStringLiteral("outputFilePaths")),
    };
}

std::optional<ArchiveTaskMetadata> ArchiveTaskMetadata::fromMember(const QJsonObject& owner,
                                                                   const QString& key) {
    const QJsonValue value = owner.value(key);
    if (value.isUndefined() || value.isNull()) return std::nullopt;
    return fromJson(value);
}
