#pragma once

#include <QJsonObject>
#include <QJsonValue>
#include <QString>
#include <QStringList>
#include <optional>

// Optional details of a split-volume task. Every member is optional: an absent one is left out of the
// JSON, and any subset of keys (the empty object included) decodes.
struct ArchiveTaskMetadata {
    std::optional<QString> archiveFormat = std::nullopt;
    std::optional<QString> primaryPartPath = std::nullopt;
    std::optional<qint64> totalPartCount = std::nullopt;
    std::optional<qint64> foundPartCount = std::nullopt;
    std::optional<QString> destinationPath = std::nullopt;
    std::optional<QString> validationStatus = std::nullopt;
    std::optional<qint64> currentPartIndex = std::nullopt;
    std::optional<QStringList> sourcePaths = std::nullopt;
    std::optional<QString> outputBaseName = std::nullopt;
    std::optional<qint64> splitSizeBytes = std::nullopt;
    std::optional<qint64> estimatedPartCount = std::nullopt;
    std::optional<qint64> actualPartCount = std::nullopt;
    std::optional<QString> compressionLevel = std::nullopt;
    std::optional<bool> encryptionEnabled = std::nullopt;
    std::optional<bool> validationEnabled = std::nullopt;
    std::optional<QStringList> outputFilePaths = std::nullopt;

    // Texts compare by canonical equivalence.
    bool operator==(const ArchiveTaskMetadata& other) const;

    QJsonObject toJson() const;
    // Throws JsonDecodingError for a member of the wrong type.
    static ArchiveTaskMetadata fromJson(const QJsonValue& value);
    // The member `key` of a record that may carry metadata: absent when missing or null.
    static std::optional<ArchiveTaskMetadata> fromMember(const QJsonObject& owner, const QString& key);
};
